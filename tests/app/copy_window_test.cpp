// Save as of a large recording in the window under X: while the copy runs
// (slowed by the library's write hook) the window repaints what another
// window left on it, the status board shows the progress with a Cancel
// button, and a click on Cancel ends the copy at once. Screenshots of the
// progress, the cancel and the message go to <build>/screenshots.
#include "card_tree.h"
#include "dual_card.h"
#include "fake_player_window.h"
#include "lists/media_open_dialog.h"

#include "library/file_system.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <chrono>
#include <iostream>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

constexpr int64_t kLargeRear = 256 << 20; // sparse: the disk holds what is copied

QImage GrabScreen(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The share of pixels of `image` that are the cover's pure red.
double RedShare(const QImage& image) {
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    return image.isNull() ? 0 : double(red) / (image.width() * image.height());
}

double SameShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return 0;
    int same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            same += a.pixel(x, y) == b.pixel(x, y) ? 1 : 0;
    return double(same) / (a.width() * a.height());
}

void Save(const QImage& image, const char* name) {
    QDir().mkpath(QStringLiteral(KOLVEX_SCREENSHOT_DIR));
    image.save(QStringLiteral(KOLVEX_SCREENSHOT_DIR "/") + name);
}

TEST(CopyWindowTest, RepaintsAndCancelsWhileALargeFileIsCopied) {
    ASSERT_TRUE(fake().loaded());
    fake().reset();
    TempCard card;
    WriteDualCard(card);
    ASSERT_EQ(::truncate(card.Path("DCIM/CAMR/MOVA001R.MP4").c_str(), kLargeRear), 0);
    QTemporaryDir target;
    FakePlayerWindow window;
    window.setGeometry(0, 0, 1000, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.OpenSource(CMediaOpenDialog::kSourceFolder, card.Root());
    // The first recording has started and stopped again: the frames show
    // their idle pictures throughout the copy.
    ASSERT_TRUE(WaitFor([&] { return window.m_nDeferredOpenCountdown == 0; }, 3000));
    QAbstractItemModel* groups = window.m_groupList.model();
    groups->setData(groups->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    window.m_saveFolder = target.path();
    QApplication::processEvents();
    // About 30 ms per MiB of the large file: some seconds for all of it.
    SetCopyWriteHook([](const QString& path) {
        if (path.endsWith("MOVA001R.MP4"))
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        return true;
    });

    // The message at the end: its text, a picture of it, and when it came.
    QElapsedTimer clock;
    clock.start();
    QString message;
    qint64 messageAt = -1;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || messageAt >= 0)
            return;
        messageAt = clock.elapsed();
        message = box->text();
        Save(box->grab().toImage(), "copy_cancelled_message.png");
        box->button(QMessageBox::Ok)->click();
    });
    answer.start(5);

    // The window runs the copy in an event loop of its own until it ends:
    // the test acts from a timer in that loop, one step after another.
    CStatusBoardStatic& board = window.m_statusBoard;
    enum Step { kProgress, kCoverShown, kCoverGone, kRepainted, kMovesOn, kClicked, kDone };
    int step = kProgress;
    qint64 stepStarted = 0;
    QString firstText;
    QRect boardArea, strip;
    QImage stripBefore;
    bool runningWhenRepainted = false;
    bool repainted = false;
    bool movedOn = false;
    double redLeft = 1;
    qint64 clicked = -1;
    QProcess cover, click;
    const auto next = [&](int to) {
        step = to;
        stepStarted = clock.elapsed();
    };
    const auto tooLong = [&](qint64 ms) { return clock.elapsed() - stepStarted > ms; };
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        switch (step) {
        case kProgress:
            if (!(window.CopyRunning() && board.m_nPercent > 0))
                return;
            firstText = board.m_strText;
            // The board and a strip of the idle front picture above it.
            boardArea = QRect(board.mapToGlobal(QPoint(0, 0)), board.size());
            strip = QRect(boardArea.left(), boardArea.top() - 60, boardArea.width() - 100, 50);
            stripBefore = GrabScreen(strip);
            Save(GrabScreen(QRect(window.mapToGlobal(QPoint(0, 0)), window.size())),
                 "copy_progress_window.png");
            Save(GrabScreen(boardArea), "copy_progress_board.png");
            {
                // Another program's window over the board and the strip.
                const QRect covered = strip.united(boardArea).adjusted(-10, -10, 10, 10);
                cover.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--cover"), QString::number(covered.x()),
                             QString::number(covered.y()), QString::number(covered.width()),
                             QString::number(covered.height()), QStringLiteral("700")});
            }
            next(kCoverShown);
            return;
        case kCoverShown:
            if (RedShare(GrabScreen(strip)) > 0.9 || tooLong(5000))
                next(kCoverGone);
            return;
        case kCoverGone:
            if (cover.state() == QProcess::NotRunning || tooLong(5000))
                next(kRepainted);
            return;
        case kRepainted:
            repainted = SameShare(GrabScreen(strip), stripBefore) > 0.98;
            if (!repainted && !tooLong(1000))
                return;
            redLeft = RedShare(GrabScreen(boardArea));
            runningWhenRepainted = window.CopyRunning();
            Save(GrabScreen(QRect(window.mapToGlobal(QPoint(0, 0)), window.size())),
                 "copy_progress_after_cover.png");
            next(kMovesOn);
            return;
        case kMovesOn:
            movedOn = board.m_strText != firstText;
            if (!movedOn && !tooLong(3000))
                return;
            Save(GrabScreen(boardArea), "copy_cancel_board.png");
            {
                // A real click on Cancel, through the X server.
                const QPoint at =
                    board.CancelButton()->mapToGlobal(board.CancelButton()->rect().center());
                click.start(QStringLiteral("xdotool"),
                            {QStringLiteral("mousemove"), QString::number(at.x()),
                             QString::number(at.y()), QStringLiteral("click"),
                             QStringLiteral("1")});
            }
            next(kClicked);
            return;
        case kClicked:
            if (clicked >= 0 || click.state() == QProcess::NotRunning)
                next(kDone);
            return;
        default:
            // Whatever went wrong, the copy must end for the test to.
            if (tooLong(3000))
                window.CancelCopy();
            return;
        }
    });
    driver.start(5);
    // When the click reaches the button (the X server's event, handled by
    // the window's thread).
    QObject::connect(board.CancelButton(), &QPushButton::pressed, [&] {
        if (clicked < 0)
            clicked = clock.elapsed();
    });
    window.OnCommand(IDC_SAVE_AS);
    driver.stop();
    SetCopyWriteHook({});

    ASSERT_GE(step, kCoverShown) << "the copy showed no progress";
    EXPECT_TRUE(firstText.contains(QStringLiteral("of 5 files"))) << firstText.toStdString();
    EXPECT_TRUE(repainted) << "the window left the other window's picture";
    EXPECT_LT(redLeft, 0.01);
    EXPECT_TRUE(runningWhenRepainted) << "repainted only once the copy was over";
    EXPECT_TRUE(movedOn) << "the progress did not move: " << firstText.toStdString();
    ASSERT_GE(step, kClicked);
    ASSERT_GE(clicked, 0) << "the click never reached Cancel";
    ASSERT_GE(messageAt, 0);
    EXPECT_LT(messageAt - clicked, 200)
        << "the copy ended " << messageAt - clicked << " ms after the click";
    std::cout << "[  FIGURE  ] cancel click to message: " << messageAt - clicked << " ms\n";

    EXPECT_TRUE(message.startsWith(QStringLiteral("The copy was cancelled.")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("1 of 5 files were copied to ") + target.path()))
        << message.toStdString();
    EXPECT_FALSE(board.isVisible());
    // No partial copy under a final name, no temporary left.
    EXPECT_EQ(FolderEntries(target.path() + "/DCIM/CAMF"),
              std::vector<std::string>{"MOVA0010.MP4"});
    window.close();
}

} // namespace
} // namespace kolvex::testing

// `--cover X Y W H MS`: a plain red window over that area for MS ms.
int ShowCover(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    cover.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(255, 0, 0));
    cover.setPalette(palette);
    cover.setGeometry(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    cover.show();
    QTimer::singleShot(atoi(argv[6]), &app, &QApplication::quit);
    return app.exec();
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (argc == 7 && std::string(argv[1]) == "--cover")
        return ShowCover(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QTemporaryDir settingsFolder;
    QDir::setCurrent(settingsFolder.path());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
