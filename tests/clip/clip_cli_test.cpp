// kolvex-cli clip as a script runs it: a clip by the camera's clock, and
// the command line's mistakes with their exit codes and messages.
#include "cli_runner.h"
#include "media_probe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kolvex {
namespace {

using testing::Cli;

QString Card() {
    return QStringLiteral(KOLVEX_SAMPLE_CARD_DIR);
}

TEST(ClipCli, ClipByTheCameraClockAcrossTwoRecordings) {
    QTemporaryDir out;
    const QString clip = out.path() + "/moment.mp4";
    const auto run = Cli({"clip", Card(), "--from", "2026-05-14 08:12:18", "--to",
                          "2026-05-14 08:12:22", "--no-overlay", "--out", clip});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, clip.toUtf8() + "\n");
    // Cut at the key frames (every second on the card): 18..20 s of the
    // first recording and 0..2 s of the second.
    EXPECT_NEAR(testing::Probe(clip).durationSec, 4.0, 1.0 / 30);
    EXPECT_TRUE(QFile::exists(clip + ".json"));
    EXPECT_TRUE(QFile::exists(clip + ".gpx"));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString(); // not a terminal: no progress line
}

TEST(ClipCli, SecondsIntoARecordingWithTheOverlay) {
    QTemporaryDir out;
    const QString clip = out.path() + "/moment.mp4";
    const auto run = Cli({"clip", Card() + "/DCIM/CAMF/MOVG0020.MP4", "--from", "7", "--to", "9.5",
                          "--layout", "inset", "--out", clip});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto facts = testing::Probe(clip);
    EXPECT_NEAR(facts.durationSec, 2.5, 1.0 / 30);
    ASSERT_FALSE(facts.streams.empty());
    EXPECT_EQ(facts.streams[0].width, 1920);
}

TEST(ClipCli, MistakesSayWhatAndWriteNothing) {
    QTemporaryDir out;
    const QString clip = out.path() + "/clip.mp4";
    const QString front = Card() + "/DCIM/CAMF/MOVA0010.MP4";
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"clip", Card() + "/nothing", "--from", "1", "--to", "2", "--out", clip},
         2,
         "no such file or folder"},
        {{"clip", front, "--from", "soon", "--to", "2", "--out", clip}, 64, "is no time"},
        {{"clip", front, "--from", "1", "--to", "2", "--layout", "round", "--out", clip},
         64,
         "unknown layout"},
        {{"clip", front, "--from", "1", "--to", "2"}, 64, "Usage"},
        {{"clip", front, "--from", "5", "--to", "2", "--out", clip}, 1, "is empty"},
        {{"clip", front, "--from", "500", "--to", "600", "--out", clip}, 1, "after the end"},
        {{"clip", Card(), "--from", "2026-05-14 09:00:00", "--to", "2026-05-14 09:00:05", "--out",
          clip},
         1,
         "no recording was running"},
        {{"clip", front, "--from", "1", "--to", "2", "--out", out.path() + "/missing/clip.mp4"},
         1,
         "No such file or directory"},
        {{"clip", front, "--from", "1", "--to", "2", "--no-overlay", "--out", front},
         1,
         "is one of the recordings read"},
    };
    for (const Case& c : cases) {
        const auto run = Cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_TRUE(
            QDir(out.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
}

} // namespace
} // namespace kolvex
