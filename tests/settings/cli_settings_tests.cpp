// kolvex-cli settings: the file the player would use, as a separate process
// started in a chosen folder with a chosen environment.
#include "temp_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct SettingsRun {
    int exitCode;
    QString out;
    QString err;
};

SettingsRun Settings(const QString& folder, const QString& xdg, const QString& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.remove(QStringLiteral("HOME"));
    if (!xdg.isNull())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), xdg);
    if (!home.isNull())
        env.insert(QStringLiteral("HOME"), home);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(KOLVEX_CLI_PATH), {QStringLiteral("settings")});
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliSettings, SaysWhichFileAndWhy) {
    TempFolder root;
    QDir(root.Root()).mkpath(QStringLiteral("card"));
    QDir(root.Root()).mkpath(QStringLiteral("plain"));
    QDir(root.Root()).mkpath(QStringLiteral("home"));
    TempFolder::WriteFile(root.Path("card/Kolvex.ini"), "[UI]\n");
    TempFolder::WriteFile(root.Path("blocked"), "a file where a folder should be");

    SettingsRun r = Settings(root.Path("card"), root.Path("xdg"), root.Path("home"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "settings: " + root.Path("card/Kolvex.ini") + " (the starting folder holds one)\n");

    r = Settings(root.Path("plain"), QString(), root.Path("home"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "settings: " + root.Path("home/.config/kolvex/Kolvex.ini") +
                         " (the user's configuration folder)\n");
    EXPECT_TRUE(QFileInfo(root.Path("home/.config/kolvex")).isDir());
    EXPECT_FALSE(QFileInfo::exists(root.Path("plain/Kolvex.ini")));

    r = Settings(root.Path("plain"), root.Path("blocked"), root.Path("home"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("cannot be kept"))) << r.out.toStdString();
}

} // namespace
