#include "qt_catalogue.h"

#include "language_table.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

namespace {

// Qt's catalogue names per language row, best first. Portugal's Portuguese
// has only a partial catalogue, so Brazil's fills in for Qt's base texts.
QStringList CatalogueLocales(int languageIndex) {
    switch (languageIndex) {
    case 1:
        return {QStringLiteral("zh_CN")};
    case 2:
        return {QStringLiteral("zh_TW")};
    case 3:
        return {QStringLiteral("es")};
    case 4:
        return {QStringLiteral("ru")};
    case 5:
        return {QStringLiteral("pt_PT"), QStringLiteral("pt_BR")};
    case 6:
        return {QStringLiteral("ja")};
    case 7:
        return {QStringLiteral("de")};
    case 8:
        return {QStringLiteral("fr")};
    case 9:
        return {QStringLiteral("ko")};
    case 10:
        return {QStringLiteral("it")};
    case 11:
        return {QStringLiteral("lv")};
    case 12:
        return {QStringLiteral("pl")};
    case 13:
        return {QStringLiteral("ro")};
    case 14:
        return {QStringLiteral("sk")};
    case 15:
        return {QStringLiteral("uk")};
    default:
        return {};
    }
}

QString& Folder() {
    static QString folder;
    return folder;
}

QPointer<QTranslator>& Installed() {
    static QPointer<QTranslator> translator;
    return translator;
}

} // namespace

void SetQtCatalogueFolder(const QString& folder) {
    Folder() = folder;
}

bool InstallQtCatalogue(int languageIndex) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    if (QTranslator* old = Installed()) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    const QString folder =
        Folder().isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : Folder();
    auto translator = std::make_unique<QTranslator>(app);
    bool loaded = false;
    for (const QString& locale : CatalogueLocales(languageIndex)) {
        // "qt_xx" pulls in the catalogues of every Qt module; "qtbase_xx"
        // alone is enough for the dialogs and buttons we use.
        if (translator->load(QStringLiteral("qt_") + locale, folder) ||
            translator->load(QStringLiteral("qtbase_") + locale, folder)) {
            loaded = true;
            break;
        }
    }
    if (!loaded)
        return false;
    QTranslator* raw = translator.release();
    QCoreApplication::installTranslator(raw);
    Installed() = raw;
    return true;
}
