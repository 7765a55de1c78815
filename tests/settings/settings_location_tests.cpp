// Where Kolvex.ini lives: the starting folder's own file wins, then the
// user's configuration folder; a folder that cannot be made leaves the
// defaults and says why.
#include "app_settings.h"
#include "settings_location.h"
#include "temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kolvex {
namespace {

using Rule = SettingsLocation::Rule;

TEST(SettingsLocation, TheRulesInOrder) {
    TempFolder start;
    TempFolder withIni;
    TempFolder::WriteFile(withIni.Path("Kolvex.ini"), "[UI]\nLANGID=GER\n");
    TempFolder folderNamedIni;
    QDir(folderNamedIni.Root()).mkpath(QStringLiteral("Kolvex.ini"));
    struct Case {
        const char* name;
        QString startingFolder, xdg, home;
        QString path;
        Rule rule;
    };
    const Case cases[] = {
        {"the starting folder's file wins", withIni.Root(), "/x/config", "/home/u",
         withIni.Path("Kolvex.ini"), Rule::StartingFolder},
        {"XDG_CONFIG_HOME", start.Root(), "/x/config", "/home/u", "/x/config/kolvex/Kolvex.ini",
         Rule::ConfigFolder},
        {"XDG_CONFIG_HOME with a trailing slash", start.Root(), "/x/config/", "/home/u",
         "/x/config/kolvex/Kolvex.ini", Rule::ConfigFolder},
        {"XDG_CONFIG_HOME unset", start.Root(), "", "/home/u", "/home/u/.config/kolvex/Kolvex.ini",
         Rule::ConfigFolder},
        {"a relative XDG_CONFIG_HOME is ignored", start.Root(), "config", "/home/u",
         "/home/u/.config/kolvex/Kolvex.ini", Rule::ConfigFolder},
        {"a folder named Kolvex.ini is no settings file", folderNamedIni.Root(), "", "/home/u",
         "/home/u/.config/kolvex/Kolvex.ini", Rule::ConfigFolder},
        {"no home at all", start.Root(), "", "", start.Path("Kolvex.ini"), Rule::NoHome},
        {"a relative home is none", start.Root(), "", "home", start.Path("Kolvex.ini"),
         Rule::NoHome},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SettingsLocation location = ChooseSettingsLocation(c.startingFolder, c.xdg, c.home);
        EXPECT_EQ(QDir::cleanPath(location.path), QDir::cleanPath(c.path));
        EXPECT_EQ(location.rule, c.rule);
        EXPECT_TRUE(location.problem.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/x/config")));
}

TEST(SettingsLocation, TheConfigurationFolderIsMadePrivate) {
    TempFolder root;
    SettingsLocation location =
        ChooseSettingsLocation(root.Path("start"), root.Path("cfg/deeper"), QString());
    PrepareSettingsFolder(location);
    EXPECT_TRUE(location.problem.isEmpty()) << location.problem.toStdString();
    struct stat made {};
    ASSERT_EQ(::stat(QFile::encodeName(root.Path("cfg/deeper/kolvex")).constData(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    // Writing then works as anywhere else.
    CAppSettings settings(location.path);
    EXPECT_TRUE(settings.WriteInt("UI", "MAP_ENABLE", 0));
    EXPECT_EQ(settings.ReadInt("UI", "MAP_ENABLE", 1), 0);
}

// A file where the folder should be stops even root; the settings still
// answer with their defaults and refuse to write, and the line says why.
TEST(SettingsLocation, AFolderThatCannotBeMadeGivesDefaultsAndAReason) {
    TempFolder root;
    TempFolder::WriteFile(root.Path("cfg"), "not a folder");
    SettingsLocation location = ChooseSettingsLocation(root.Root(), root.Path("cfg"), QString());
    PrepareSettingsFolder(location);
    ASSERT_FALSE(location.problem.isEmpty());
    EXPECT_TRUE(location.problem.contains(root.Path("cfg"))) << location.problem.toStdString();
    const QString line = DescribeSettingsLocation(location);
    EXPECT_TRUE(line.contains(QStringLiteral("cannot be kept"))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("defaults"))) << line.toStdString();

    CAppSettings settings(location.path);
    EXPECT_EQ(settings.ReadInt("UI", "MAP_ENABLE", 1), 1);
    EXPECT_EQ(settings.ReadMapType(), 0);
    EXPECT_FALSE(settings.WriteInt("UI", "MAP_ENABLE", 0));
    EXPECT_EQ(TempFolder::ReadFile(root.Path("cfg")), "not a folder");
}

} // namespace
} // namespace kolvex
