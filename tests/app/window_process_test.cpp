// The real program on the X server of the test run: the window comes up at
// the stored rectangle with its title as the X window name, the video
// surfaces are native X windows, closing it stores the rectangle and ends
// the process with status 0. Screenshots of the idle window go to
// <build>/screenshots/.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>
#include <QThread>

namespace {

QString RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The X window named exactly `name` of the process `pid` (other tests may
// show windows of the same name meanwhile), or "" after the time-out.
QString WaitForWindow(const QString& name, qint64 pid, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QString ids = RunTool("xdotool", {"search", "--all", "--pid", QString::number(pid),
                                                "--name", "^" + name + "$"})
                                .trimmed();
        if (!ids.isEmpty())
            return ids.split('\n').first();
        QThread::msleep(200);
    }
    return {};
}

QRect WindowRect(const QString& id) {
    const QString info = RunTool("xwininfo", {"-id", id});
    const auto number = [&info](const char* label) {
        const QRegularExpression re(QString::fromLatin1(label) + R"(:\s+(-?\d+))");
        return re.match(info).captured(1).toInt();
    };
    return QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                 number("Height"));
}

// X windows of the program besides its main window: the native windows
// of the video surfaces (a hidden one waits outside the main window).
int OtherProgramWindows(const QString& mainWindow) {
    const QString tree = RunTool("xwininfo", {"-root", "-tree"});
    const qulonglong main = mainWindow.toULongLong();
    int count = 0;
    const QRegularExpression re(R"(^\s+0x([0-9a-f]+) .*\("kolvex" "Kolvex"\))");
    for (const QString& line : tree.split('\n')) {
        const auto match = re.match(line);
        if (match.hasMatch() && match.captured(1).toULongLong(nullptr, 16) != main)
            ++count;
    }
    return count;
}

QSize ScreenSize() {
    const QString info = RunTool("xwininfo", {"-root"});
    const QRegularExpression w(R"(Width:\s+(\d+))"), h(R"(Height:\s+(\d+))");
    return QSize(w.match(info).captured(1).toInt(), h.match(info).captured(1).toInt());
}

struct WindowCase {
    const char* shot;
    QRect stored;
};

TEST(WindowProcessTest, OpensWhereItClosedShowsNativeSurfacesAndStoresItsPlace) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the test run starts one)";
    const QSize screen = ScreenSize();
    const WindowCase cases[] = {
        {"kolvex-idle-800x560.png", {120, 90, 800, 560}},
        {"kolvex-idle-1600x900.png", {0, 0, 1600, 900}},
    };
    QDir().mkpath(KOLVEX_BUILD_DIR "/screenshots");
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.shot);
        if (c.stored.right() >= screen.width() || c.stored.bottom() >= screen.height()) {
            std::printf("screen %dx%d too small for %s; skipped\n", screen.width(), screen.height(),
                        c.shot);
            continue;
        }
        QTemporaryDir folder;
        QFile ini(folder.filePath("Kolvex.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[WINPOS]\nLEFT=%1\nTOP=%2\nRIGHT=%3\nBOTTOM=%4\n")
                      .arg(c.stored.left())
                      .arg(c.stored.top())
                      .arg(c.stored.left() + c.stored.width())
                      .arg(c.stored.top() + c.stored.height())
                      .toUtf8());
        ini.close();

        QProcess kolvex;
        kolvex.setWorkingDirectory(folder.path());
        kolvex.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        kolvex.start(KOLVEX_APP_PATH, {});
        const QString window = WaitForWindow("KolvexPlayer", kolvex.processId(), 60000);
        ASSERT_FALSE(window.isEmpty()) << "no window named KolvexPlayer";
        QThread::msleep(3000); // the map page and the pictures settle
        EXPECT_EQ(WindowRect(window), c.stored);
        // Both surfaces are X windows of their own (hidden while idle), so
        // that the player can draw into them.
        EXPECT_GE(OtherProgramWindows(window), 2);
        // The window cuts its own shape (the rounded corners) on the X server.
        EXPECT_TRUE(
            RunTool("xwininfo", {"-shape", "-id", window}).contains("Window shape extents"));
        RunTool("import", {"-window", window, KOLVEX_BUILD_DIR "/screenshots/" + QString(c.shot)});

        // The close button, 25 x 25 at (W - 32, 2), on top of any window
        // another test shows meanwhile.
        RunTool("xdotool", {"windowraise", window});
        RunTool("xdotool", {"mousemove", "--window", window, QString::number(c.stored.width() - 20),
                            "14", "click", "1"});
        ASSERT_TRUE(kolvex.waitForFinished(20000)) << "the process did not end";
        EXPECT_EQ(kolvex.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(kolvex.exitCode(), 0);
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        const QString stored = QString::fromUtf8(ini.readAll());
        EXPECT_TRUE(stored.contains(QStringLiteral("LEFT=%1").arg(c.stored.left())));
        EXPECT_TRUE(
            stored.contains(QStringLiteral("BOTTOM=%1").arg(c.stored.top() + c.stored.height())));
    }
}

// Lines of libVLC's, in its own form ("[00007f...] alsa audio output error:
// ...") or as the player passes them on ("libVLC warning (...)", "kolvex: ...").
int LibVlcLines(const QByteArray& error) {
    const QRegularExpression own(R"(^\[[0-9a-f]{8,}\] )");
    int count = 0;
    for (const QByteArray& line : error.split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (own.match(text).hasMatch() || text.startsWith("libVLC ") || text.startsWith("kolvex: "))
            ++count;
    }
    return count;
}

// Plays a recording with sound for a few seconds (the test machine has no
// sound device) and gives what the program wrote to stderr.
QByteArray StandardErrorWhilePlaying(const QString& clip, bool verbose) {
    QTemporaryDir folder;
    QProcess kolvex;
    kolvex.setWorkingDirectory(folder.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("KOLVEX_VLC_LOG");
    if (verbose)
        environment.insert("KOLVEX_VLC_LOG", "1");
    kolvex.setProcessEnvironment(environment);
    kolvex.start(KOLVEX_APP_PATH, {clip});
    const QString window = WaitForWindow("KolvexPlayer", kolvex.processId(), 60000);
    if (window.isEmpty())
        return "no window";
    QThread::msleep(8000);
    kolvex.terminate();
    kolvex.waitForFinished(20000);
    return kolvex.readAllStandardError();
}

TEST(WindowProcessTest, LibVlcSaysEachKindOnceAndEverythingOnlyWhenAsked) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the test run starts one)";
    QTemporaryDir folder;
    const QString clip = folder.filePath("MOVA0010.MP4");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-loglevel",
                            "error",
                            "-y",
                            "-f",
                            "lavfi",
                            "-i",
                            "testsrc2=size=320x240:rate=25",
                            "-f",
                            "lavfi",
                            "-i",
                            "sine=frequency=440",
                            "-t",
                            "20",
                            "-c:v",
                            "libx264",
                            "-pix_fmt",
                            "yuv420p",
                            "-c:a",
                            "aac",
                            clip});
    ASSERT_TRUE(ffmpeg.waitForFinished(120000));
    ASSERT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();

    const QByteArray quiet = StandardErrorWhilePlaying(clip, false);
    const QByteArray verbose = StandardErrorWhilePlaying(clip, true);
    const int quietLines = LibVlcLines(quiet);
    const int verboseLines = LibVlcLines(verbose);
    std::printf("libVLC lines in 8 s of playing: %d, with KOLVEX_VLC_LOG=1: %d\n", quietLines,
                verboseLines);
    // Each kind once: a few lines however long it plays.
    EXPECT_LE(quietLines, 25) << quiet.toStdString();
    // Asked for, libVLC's debug stream comes through in full.
    EXPECT_GT(verboseLines, 4 * quietLines + 50);
    // Where the sound cannot be played, the user reads it once, in our words.
    if (verbose.contains("audio output") || verbose.contains("(alsa)") ||
        verbose.contains("pulse)")) {
        EXPECT_EQ(quiet.count("kolvex: no sound device could be opened"), 1) << quiet.toStdString();
    }
}

TEST(WindowProcessTest, WithoutAnyDisplayTheProgramSaysSoAndEnds) {
    QProcess kolvex;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    kolvex.setProcessEnvironment(environment);
    kolvex.start(KOLVEX_APP_PATH, {});
    ASSERT_TRUE(kolvex.waitForFinished(20000));
    EXPECT_EQ(kolvex.exitCode(), 1);
    const QByteArray error = kolvex.readAllStandardError();
    EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
    EXPECT_TRUE(error.contains("no display")) << error.toStdString();
}

} // namespace
