// Clips of the sample card: layouts, a range across two recordings, the
// cut without re-encoding, the record beside the clip, and what a cancel
// or a full disk leaves behind.
#include "media_probe.h"
#include "scratch_mount.h"

#include "library/native_path.h"
#include "library/recording_manager.h"
#include "playback/clip/clip_overlay.h"
#include "playback/clip/clip_plan.h"
#include "playback/clip/clip_readings.h"
#include "playback/clip/clip_record.h"
#include "playback/clip/clip_writer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace kolvex {
namespace {

using testing::Box;
using testing::DecodeLuma;
using testing::MeanDifference;
using testing::Picture;
using testing::Probe;

constexpr double kFrameSec = 1.0 / 30; // the sample card's frame time

QString Card() {
    return QStringLiteral(KOLVEX_SAMPLE_CARD_DIR);
}

std::map<QString, QString> CardHashes() {
    std::map<QString, QString> hashes;
    QDirIterator it(Card(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        hashes[path] = QString::fromStdString(FileSha256(path.toStdString())) +
                       QString::number(QFileInfo(path).lastModified().toMSecsSinceEpoch());
    }
    return hashes;
}

class ClipTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "clip_test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv); // fonts for the overlay; lives to the end
        s_manager = new CRecordingManager;
        ASSERT_TRUE(s_manager->Load(Card(), QString()))
            << "no sample card at " << Card().toStdString();
        s_hashes = new std::map<QString, QString>(CardHashes());
    }

    static int Entry(const char* name) {
        const auto& entries = s_manager->Entries();
        for (size_t e = 0; e < entries.size(); ++e)
            if (entries[e].name == QLatin1String(name))
                return static_cast<int>(e);
        return -1;
    }

    ClipRequest Request(const char* recording, int64_t fromMs, int64_t toMs, ClipLayout layout,
                        bool overlay, const QString& folder = {}) {
        ClipRequest request;
        QString error;
        request.parts = PlanClip(*s_manager, Entry(recording), fromMs, toMs, error);
        EXPECT_FALSE(request.parts.empty()) << error.toStdString();
        request.layout = layout;
        request.overlay = overlay;
        request.target = ((folder.isEmpty() ? m_out.path() : folder) + "/clip.mp4").toStdString();
        return request;
    }

    static QString Front(const char* name) { return s_manager->GetPath(Entry(name)); }

    // The overlay's text at `ms` of `recording`, from the samples, and
    // where its box lies in a front picture of width x height.
    static QString ExpectedReadout(const char* recording, int64_t ms, int width, int height,
                                   Box& where) {
        CClipReadings readings;
        EXPECT_TRUE(
            readings.Load(NativePath(Front(recording)).toStdString(),
                          s_manager->Entries()[static_cast<size_t>(Entry(recording))].meta));
        const std::vector<std::string> lines = ClipOverlayLines(readings.At(ms), true);
        CClipOverlay overlay(width, height);
        const QImage box = overlay.Render(lines);
        const QPoint at = overlay.Position(box);
        where = Box{at.x(), at.y(), box.width(), box.height()};
        QString text;
        for (const std::string& line : lines)
            text += QString::fromStdString(line) + u'\n';
        return text;
    }

    // Tesseract's reading of the box shows the date and time and the
    // speed and position line as the samples give them.
    static void ExpectReadout(const QString& clip, double seconds, const Box& where,
                              const QString& expected) {
        const QString read = testing::ReadText(clip, seconds, where);
        const QStringList lines = expected.split(u'\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_TRUE(read.contains(lines[0]))
            << read.toStdString() << " lacks " << lines[0].toStdString();
        // The speed and the position (the heading's degree sign reads less well).
        const QString speedAndPlace = lines[1].simplified().section(u' ', 0, 3);
        EXPECT_TRUE(read.contains(speedAndPlace))
            << read.toStdString() << " lacks " << speedAndPlace.toStdString();
    }

    void ExpectCardUnchanged() { EXPECT_EQ(CardHashes(), *s_hashes) << "the card was changed"; }

    static inline CRecordingManager* s_manager = nullptr;
    static inline std::map<QString, QString>* s_hashes = nullptr;
    QTemporaryDir m_out;
};

TEST_F(ClipTest, SideBySideWithinOneRecordingShowsBothCamerasAndTheReadout) {
    const ClipRequest request = Request("MOVA0010.MP4", 5000, 9000, ClipLayout::SideBySide, true);
    ASSERT_EQ(request.parts.size(), 1u);
    const ClipResult result = WriteClip(request);
    ASSERT_TRUE(result.written) << result.error;
    EXPECT_FALSE(result.streamCopied);

    const QString clip = QString::fromStdString(request.target);
    const auto facts = Probe(clip);
    ASSERT_TRUE(facts.read);
    EXPECT_NEAR(facts.durationSec, 4.0, kFrameSec);
    ASSERT_EQ(facts.streams.size(), 2u);
    EXPECT_EQ(facts.streams[0].codec, "h264");
    EXPECT_EQ(facts.streams[0].width, 3840); // 1920 front + the 1280x720 rear at 1080 lines
    EXPECT_EQ(facts.streams[0].height, 1080);
    EXPECT_EQ(facts.streams[1].codec, "aac");

    // 2 s into the clip is 7 s into the recording, on both cameras.
    const Picture got = DecodeLuma(clip, 2.0);
    const Picture front = DecodeLuma(Front("MOVA0010.MP4"), 7.0);
    const Picture frontLater = DecodeLuma(Front("MOVA0010.MP4"), 7.5);
    const Picture rear = DecodeLuma(Card() + "/DCIM/CAMR/MOVA001R.MP4", 7.0, 1920, 1080);
    const Picture rearLater = DecodeLuma(Card() + "/DCIM/CAMR/MOVA001R.MP4", 7.5, 1920, 1080);
    ASSERT_EQ(got.width, 3840);
    ASSERT_EQ(front.width, 1920);
    ASSERT_EQ(rear.width, 1920);
    Box where;
    const QString readout = ExpectedReadout("MOVA0010.MP4", 7000, 1920, 1080, where);
    EXPECT_TRUE(readout.startsWith("2026-05-14 08:12:07\n")) << readout.toStdString();
    const double sameFront = MeanDifference(got, {0, 0, 1920, 1080}, front, 0, 0, where);
    const double otherFront = MeanDifference(got, {0, 0, 1920, 1080}, frontLater, 0, 0, where);
    EXPECT_LT(sameFront, 2.5);
    EXPECT_LT(sameFront * 2, otherFront) << "the picture is not the one of that moment";
    const double sameRear = MeanDifference(got, {1920, 0, 1920, 1080}, rear, 0, 0);
    EXPECT_LT(sameRear, 3.0);
    EXPECT_LT(sameRear * 2, MeanDifference(got, {1920, 0, 1920, 1080}, rearLater, 0, 0));

    // The read-out shows what the samples give at 7 s.
    ExpectReadout(clip, 2.0, where, readout);
}

TEST_F(ClipTest, RangeAcrossTwoRecordingsPlaysThemWithoutAGap) {
    ClipRequest request = Request("MOVA0010.MP4", 15000, 25000, ClipLayout::RearInset, true);
    ASSERT_EQ(request.parts.size(), 2u);
    EXPECT_EQ(request.parts[0].fromMs, 15000);
    EXPECT_EQ(request.parts[0].toMs, 20000);
    EXPECT_EQ(request.parts[1].fromMs, 0);
    EXPECT_EQ(request.parts[1].toMs, 5000);
    const ClipResult result = WriteClip(request);
    ASSERT_TRUE(result.written) << result.error;

    const QString clip = QString::fromStdString(request.target);
    const auto facts = Probe(clip);
    EXPECT_NEAR(facts.durationSec, 10.0, kFrameSec);
    ASSERT_FALSE(facts.streams.empty());
    EXPECT_EQ(facts.streams[0].width, 1920);
    EXPECT_EQ(facts.streams[0].height, 1080);

    // 7 s into the clip is 2 s into the second recording.
    const Picture got = DecodeLuma(clip, 7.0);
    const Picture front = DecodeLuma(Front("MOVG0020.MP4"), 2.0);
    const Picture earlier = DecodeLuma(Front("MOVG0020.MP4"), 1.5);
    Box where;
    const QString readout = ExpectedReadout("MOVG0020.MP4", 2000, 1920, 1080, where);
    EXPECT_TRUE(readout.startsWith("2026-05-14 08:12:22\n")) << readout.toStdString();
    // The inset covers the top right corner: compare the left half.
    const double same = MeanDifference(got, {0, 0, 960, 1080}, front, 0, 0, where);
    EXPECT_LT(same, 2.5);
    EXPECT_LT(same * 2, MeanDifference(got, {0, 0, 960, 1080}, earlier, 0, 0, where));
    ExpectReadout(clip, 7.0, where, readout);
    // The inset is the rear camera at that moment: a third of the width,
    // in the top right corner.
    const Picture rear = DecodeLuma(Card() + "/DCIM/CAMR/MOVG002R.MP4", 2.0, 640, 360);
    EXPECT_LT(MeanDifference(got, {1920 - 640 - 30, 30, 640, 360}, rear, 0, 0), 4.0);
}

TEST_F(ClipTest, CutWithoutReencodingTakesTheKeyFramesAroundTheRange) {
    const ClipRequest request = Request("MOVA0010.MP4", 14500, 25500, ClipLayout::Front, false);
    const ClipResult result = WriteClip(request);
    ASSERT_TRUE(result.written) << result.error;
    EXPECT_TRUE(result.streamCopied);
    // The card's recordings have a key frame every second.
    ASSERT_EQ(result.ranges.size(), 2u);
    EXPECT_EQ(result.ranges[0].fromMs, 14000);
    EXPECT_EQ(result.ranges[0].toMs, 20000);
    EXPECT_EQ(result.ranges[1].fromMs, 0);
    EXPECT_EQ(result.ranges[1].toMs, 6000);

    const QString clip = QString::fromStdString(request.target);
    const auto facts = Probe(clip);
    EXPECT_NEAR(facts.durationSec, 12.0, kFrameSec);
    EXPECT_NEAR(facts.startSec, 0.0, kFrameSec);
    ASSERT_EQ(facts.streams.size(), 2u);
    EXPECT_EQ(facts.streams[0].width, 1920);
    EXPECT_EQ(facts.streams[1].codec, "aac");
    // Copied pictures decode to exactly the source's.
    EXPECT_LT(MeanDifference(DecodeLuma(clip, 0.0), {0, 0, 1920, 1080},
                             DecodeLuma(Front("MOVA0010.MP4"), 14.0), 0, 0),
              0.01);
    EXPECT_LT(MeanDifference(DecodeLuma(clip, 7.0), {0, 0, 1920, 1080},
                             DecodeLuma(Front("MOVG0020.MP4"), 1.0), 0, 0),
              0.01);

    // The record beside it names every file with hashes that match.
    std::string error;
    ASSERT_TRUE(WriteClipRecord(request, result, error)) << error;
    QFile json(clip + ".json");
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject record = QJsonDocument::fromJson(json.readAll()).object();
    EXPECT_EQ(record["clip"]["sha256"].toString(), testing::Sha256Sum(clip));
    EXPECT_EQ(record["clip"]["sizeBytes"].toInteger(), QFileInfo(clip).size());
    EXPECT_FALSE(record["program"]["version"].toString().isEmpty());
    const QJsonArray sources = record["sources"].toArray();
    ASSERT_EQ(sources.size(), 2);
    const char* names[] = {"MOVA0010.MP4", "MOVG0020.MP4"};
    const char* starts[] = {"2026-05-14T08:12:00", "2026-05-14T08:12:20"};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject front = sources[i]["front"].toObject();
        EXPECT_EQ(front["sha256"].toString(), testing::Sha256Sum(Front(names[i])));
        EXPECT_EQ(front["sizeBytes"].toInteger(), QFileInfo(Front(names[i])).size());
        EXPECT_EQ(sources[i]["cameraStartTime"].toString(), starts[i]);
        EXPECT_EQ(sources[i]["fromMs"].toInteger(), result.ranges[static_cast<size_t>(i)].fromMs);
        EXPECT_EQ(sources[i]["toMs"].toInteger(), result.ranges[static_cast<size_t>(i)].toMs);
    }
    // The GPS track of the range: 1 Hz, 12 fixes in 12 s, in the clip's time.
    const QJsonArray track = record["track"].toArray();
    EXPECT_EQ(track.size(), 12);
    for (const QJsonValue& point : track) {
        EXPECT_GE(point["clipMs"].toInteger(), 0);
        EXPECT_LT(point["clipMs"].toInteger(), 12000);
    }
    QFile gpx(clip + ".gpx");
    ASSERT_TRUE(gpx.open(QIODevice::ReadOnly));
    EXPECT_EQ(gpx.readAll().count("<trkpt "), track.size());
}

TEST_F(ClipTest, SoundThatMp4CannotHoldIsEncodedInstead) {
    // The AVI recordings carry PCM sound: the cut becomes an encoding.
    const ClipRequest request = Request("MOVA0060.AVI", 2000, 5000, ClipLayout::Front, false);
    const ClipResult result = WriteClip(request);
    ASSERT_TRUE(result.written) << result.error;
    EXPECT_FALSE(result.streamCopied);
    const auto facts = Probe(QString::fromStdString(request.target));
    EXPECT_NEAR(facts.durationSec, 3.0, kFrameSec);
    ASSERT_EQ(facts.streams.size(), 2u);
    EXPECT_EQ(facts.streams[0].codec, "h264");
    EXPECT_EQ(facts.streams[1].codec, "aac");
}

TEST_F(ClipTest, CancelHalfwayLeavesNothing) {
    const ClipRequest request = Request("MOVA0010.MP4", 0, 20000, ClipLayout::SideBySide, true);
    std::atomic<bool> cancel{false};
    double last = 0;
    const ClipResult result = WriteClip(
        request,
        [&](const ClipProgress& p) {
            last = p.fraction;
            if (p.fraction >= 0.5)
                cancel = true;
        },
        &cancel);
    EXPECT_FALSE(result.written);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.error, "cancelled");
    EXPECT_GE(last, 0.5);
    EXPECT_LT(last, 1.0);
    EXPECT_TRUE(QDir(m_out.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        << "a partial file was left";
    ExpectCardUnchanged();
}

TEST_F(ClipTest, FullDiskSaysSoAndLeavesNothing) {
    const QString folder = m_out.path() + "/small";
    ASSERT_TRUE(QDir().mkpath(folder));
    testing::ScratchMount mount(folder, "size=512k");
    if (!mount.Mounted())
        GTEST_SKIP() << "cannot mount a small file system: " << mount.Error();
    // Keep an older clip of that name: a failure must not touch it.
    QFile old(folder + "/clip.mp4");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("older clip");
    old.close();
    const ClipRequest request =
        Request("MOVA0010.MP4", 0, 10000, ClipLayout::SideBySide, true, folder);
    const ClipResult result = WriteClip(request);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.cancelled);
    EXPECT_NE(result.error.find("No space left on device"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(request.target), std::string::npos) << result.error;
    const QStringList left =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList{"clip.mp4"});
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "older clip");
    old.close();
    ExpectCardUnchanged();
}

} // namespace
} // namespace kolvex
