// Qt's own texts follow the interface language and switch with it.
#include "qt_catalogue.h"
#include "temp_folder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

QString QtCancel() {
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

TEST(QtCatalogue, SwitchesWithTheLanguageAtRunTime) {
    EXPECT_FALSE(InstallQtCatalogue(7)) << "no application object yet";

    int argc = 1;
    char name[] = "settings_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    EXPECT_TRUE(InstallQtCatalogue(7)); // German
    EXPECT_EQ(QtCancel().toStdString(), "Abbrechen");
    EXPECT_TRUE(InstallQtCatalogue(4)); // Russian replaces German
    EXPECT_EQ(QtCancel().toStdString(), "Отмена");
    EXPECT_TRUE(InstallQtCatalogue(5)); // Portugal: its own catalogue, gaps filled
    EXPECT_EQ(QtCancel().toStdString(), "Cancelar");
    EXPECT_FALSE(InstallQtCatalogue(0)); // English is Qt's own language
    EXPECT_EQ(QtCancel().toStdString(), "Cancel");

    TempFolder empty;
    SetQtCatalogueFolder(empty.Root());
    EXPECT_FALSE(InstallQtCatalogue(7)) << "a missing catalogue leaves Qt in English";
    EXPECT_EQ(QtCancel().toStdString(), "Cancel");
    SetQtCatalogueFolder(QString());
}

} // namespace
