// Installing the desktop files puts a valid launcher entry and the
// application icon, in every drawn size, where a desktop looks for them.
#include "skin_table.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

namespace kolvex::skin {
namespace {

class DesktopInstall : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_prefix = new QTemporaryDir();
        QProcess install;
        install.start(QStringLiteral(KOLVEX_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(KOLVEX_BUILD_DIR),
                       QStringLiteral("--component"), QStringLiteral("desktop"),
                       QStringLiteral("--prefix"), s_prefix->path()});
        install.waitForFinished(120000);
        s_installLog = QString::fromLocal8Bit(install.readAll());
        s_installed = install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
    }
    static void TearDownTestSuite() {
        delete s_prefix;
        s_prefix = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_installed) << s_installLog.toStdString(); }

    static QString installed(const QString& relative) {
        return QDir(s_prefix->path()).filePath(relative);
    }

    static inline QTemporaryDir* s_prefix = nullptr;
    static inline bool s_installed = false;
    static inline QString s_installLog;
};

TEST_F(DesktopInstall, PutsTheIconInTheHicolorThemeAtEveryDrawnSize) {
    const QString name =
        QString::fromUtf8(kDesktopIconName.data(), qsizetype(kDesktopIconName.size()));
    for (const SkinPicture& size : appIconSizes()) {
        SCOPED_TRACE(size.width);
        const QString path = installed(QStringLiteral("share/icons/hicolor/%1x%2/apps/%3.png")
                                           .arg(size.width)
                                           .arg(size.height)
                                           .arg(name));
        const QImage icon(path);
        ASSERT_FALSE(icon.isNull()) << path.toStdString();
        EXPECT_EQ(icon.size(), QSize(size.width, size.height));
        // The installed file is the picture the window itself uses.
        EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32),
                  QImage(QString::fromUtf8(size.path.data(), qsizetype(size.path.size())))
                      .convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_TRUE(QFile::exists(installed("share/icons/hicolor/scalable/apps/" + name + ".svg")));
}

TEST_F(DesktopInstall, LauncherEntryNamesTheInstalledIconAndPassesValidation) {
    const QString entry = installed(QStringLiteral("share/applications/kolvex.desktop"));
    ASSERT_TRUE(QFile::exists(entry));

    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(desktop.value("Type").toString(), QStringLiteral("Application"));
    EXPECT_EQ(desktop.value("Name").toString(), QStringLiteral("Kolvex"));
    EXPECT_EQ(desktop.value("Icon").toString().toStdString(), kDesktopIconName);
    EXPECT_FALSE(desktop.value("Exec").toString().isEmpty());

    const QString validator = QStringLiteral(KOLVEX_DESKTOP_FILE_VALIDATE);
    if (validator.isEmpty() || validator.endsWith(QStringLiteral("NOTFOUND")))
        GTEST_SKIP() << "desktop-file-validate is not installed";
    QProcess validate;
    validate.start(validator, {entry});
    validate.waitForFinished(60000);
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
}

} // namespace
} // namespace kolvex::skin
