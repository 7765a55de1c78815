#include "qt_catalogue.h"

#include "language_table.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

// Qt's catalogue names per language row, best first. Portugal's Portuguese
// has only an old, partial catalogue, so Brazil's fills its gaps.
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

std::vector<QPointer<QTranslator>>& Installed() {
    static std::vector<QPointer<QTranslator>> translators;
    return translators;
}

} // namespace

void SetQtCatalogueFolder(const QString& folder) {
    Folder() = folder;
}

bool InstallQtCatalogue(int languageIndex) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    for (QPointer<QTranslator>& old : Installed()) {
        if (old) {
            QCoreApplication::removeTranslator(old);
            delete old;
        }
    }
    Installed().clear();
    const QString folder =
        Folder().isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : Folder();
    // The last translator installed is asked first, so the best catalogue
    // goes in last and a near relative only fills its gaps.
    const QStringList locales = CatalogueLocales(languageIndex);
    for (auto it = locales.crbegin(); it != locales.crend(); ++it) {
        auto translator = std::make_unique<QTranslator>(app);
        // "qt_xx" pulls in the catalogues of every Qt module; "qtbase_xx"
        // alone is enough for the dialogs and buttons we use.
        if (!translator->load(QStringLiteral("qt_") + *it, folder) &&
            !translator->load(QStringLiteral("qtbase_") + *it, folder))
            continue;
        QCoreApplication::installTranslator(translator.get());
        Installed().push_back(translator.release());
    }
    return !Installed().empty();
}
