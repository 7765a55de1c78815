// kolvex-cli on a hostile or unlucky card: outputs that cannot be written,
// targets that are links or the inputs themselves, impossible fixes, no
// home folder, folders that cannot be read. Each failure is told in one line
// and loses nothing.
#include "card_fixture.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvex::testing {
namespace {

using fixtures::GpsRecord;

GpsRecord Fix(double latitude, double longitude) {
    GpsRecord fix;
    fix.latitude = latitude;
    fix.longitude = longitude;
    fix.flags = 1;
    return fix;
}

// A recording with a short drive of valid fixes.
fixtures::CameraRecording DriveAt(const std::string& start, size_t samples = 20) {
    auto r = RecordingAt(start);
    r.writeGps = true;
    for (size_t i = 0; i < samples; ++i)
        r.gps.push_back(Fix(4807.038 + 0.01 * static_cast<double>(i), 1131.0));
    return r;
}

QByteArray Digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "missing";
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files in a folder, hidden ones included (a left-over temporary file).
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(CliOutputTest, ABlockClaimingAFourGigabyteFileIsNoBlock) {
    // A recording at the FAT32 limit whose "gps0" claims nearly all of it,
    // as a sparse file: the commands must neither allocate nor read that.
    TempCard card;
    auto r = RecordingAt("2015-06-01 10:00:00");
    r.writeGps = false;
    r.writeGsensor = false;
    fixtures::FileImage image = fixtures::Mp4Image(r);
    fixtures::Bytes header;
    fixtures::PutBE32(header, 0xFFFFFFF0u + 8);
    fixtures::PutText(header, "gps0");
    image.Append(header).Append(fixtures::GpsSampleBytes(Fix(4807.038, 1131.0)));
    image.AppendHole(0xFFFFFFF0u);
    const QString recording = card.Root() + "/MOVA0010.MP4";
    ASSERT_TRUE(image.Write(QFile::encodeName(recording).toStdString()));

    CliRun run = Cli({"samples", recording});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("\"gps\": []")) << run.out.left(400).toStdString();
    run = Cli({"kml", recording, "--out", card.Root() + "/kml"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = Cli({"gpx", card.Root()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no recordings with GPS fixes")) << run.err.toStdString();
}

TEST(CliOutputTest, AStandardOutputThatCannotBeWrittenFailsEveryCommand) {
    TempCard card;
    card.AddRecording("DCIM/MOVA0010.MP4", DriveAt("2015-06-01 10:00:00", 2000));
    const QString recording = card.Root() + "/DCIM/MOVA0010.MP4";
    const QStringList commands[] = {
        {"scan", card.Root()},
        {"probe", recording},
        {"samples", recording},
        {"samples", recording, "--csv"},
        {"gpx", card.Root()},
        {"strings"},
        {"kml", recording, "--out", card.Root() + "/kml"},
        {"--help"},
    };
    for (const QStringList& args : commands) {
        SCOPED_TRACE(args.join(' ').toStdString());
        CliOptions options;
        options.stdoutFile = QStringLiteral("/dev/full");
        const CliRun run = Cli(args, options);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("cannot write the standard output: No space left on device"))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

TEST(CliOutputTest, KmlAndGpxReplaceATargetOnlyWhenTheNewFileIsComplete) {
    TempCard card;
    card.AddRecording("MOVA0010.MP4", DriveAt("2013-05-17 08:09:10", 400));
    card.AddFolder("out");
    card.AddFile("victim.txt", "outside the output folder");
    const QString recording = card.Root() + "/MOVA0010.MP4";
    const QString out = card.Root() + "/out";
    const QString kml = out + "/MOVA0010_2013_05_17_08-09-10.KML";
    const QString gpx = out + "/trip.gpx";
    const QString victim = card.Root() + "/victim.txt";
    const QByteArray victimBefore = Digest(victim);

    // A link planted at the target is replaced, the file it names untouched.
    for (const QString& target : {kml, gpx}) {
        SCOPED_TRACE(target.toStdString());
        ASSERT_TRUE(QFile::link(victim, target));
        const CliRun run = target == kml ? Cli({"kml", recording, "--out", out})
                                         : Cli({"gpx", recording, "--out", gpx});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo(target).isSymLink());
        EXPECT_TRUE(Read(target).contains("11.516667"));
        EXPECT_EQ(Digest(victim), victimBefore);
    }

    // A full disk (the file-size limit stands in for it) keeps the old file
    // and leaves no temporary file behind.
    const QByteArray kmlBefore = Digest(kml);
    const QByteArray gpxBefore = Digest(gpx);
    CliOptions full;
    full.shellPrefix = QStringLiteral("trap '' XFSZ; ulimit -f 2");
    CliRun run = Cli({"kml", recording, "--out", out}, full);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("File too large")) << run.err.toStdString();
    run = Cli({"gpx", recording, "--out", gpx}, full);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("File too large")) << run.err.toStdString();
    EXPECT_EQ(Digest(kml), kmlBefore);
    EXPECT_EQ(Digest(gpx), gpxBefore);
    EXPECT_EQ(Entries(out), (QStringList{QFileInfo(kml).fileName(), "trip.gpx"}));
}

TEST(CliOutputTest, NoCommandWritesOntoItsOwnInput) {
    TempCard card;
    card.AddRecording("DCIM/MOVA0010.MP4", DriveAt("2015-06-01 10:00:00"));
    card.AddRecording("DCIM/MOVA0020.MP4", DriveAt("2015-06-01 10:01:00"));
    const QString first = card.Root() + "/DCIM/MOVA0010.MP4";
    const QString second = card.Root() + "/DCIM/MOVA0020.MP4";
    ASSERT_EQ(::link(QFile::encodeName(second).constData(),
                     QFile::encodeName(card.Root() + "/second-again").constData()),
              0);
    const QByteArray firstBefore = Digest(first);
    const QByteArray secondBefore = Digest(second);

    const QStringList refused[] = {
        {"gpx", first, "--out", first},
        {"gpx", card.Root(), "--out", second},
        {"gpx", first, second, "--out", card.Root() + "/DCIM/../DCIM/MOVA0020.MP4"},
        {"gpx", card.Root() + "/DCIM", "--out", card.Root() + "/second-again"},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("is one of the recordings read")) << run.err.toStdString();
    }
    EXPECT_EQ(Digest(first), firstBefore);
    EXPECT_EQ(Digest(second), secondBefore);

    // Named twice, through a folder or a link, a recording is read once.
    ASSERT_TRUE(QFile::link(first, card.Root() + "/first-link.MP4"));
    const CliRun run =
        Cli({"gpx", first, first, card.Root() + "/DCIM", card.Root() + "/first-link.MP4"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("<trkseg>"), 2);
    EXPECT_EQ(run.out.count("<trkpt "), 40);
}

TEST(CliOutputTest, ImpossibleFixesReachNoExport) {
    TempCard card;
    auto r = RecordingAt("2015-03-01 10:00:00");
    r.writeGps = true;
    GpsRecord good = Fix(4807.038, 1131.0);
    good.year = 15, good.month = 3, good.day = 1, good.hour = 10;
    GpsRecord february31 = good;
    february31.month = 2, february31.day = 31;
    r.gps = {good,
             Fix(9500.0, 1131.0),     // 95 degrees north
             Fix(4807.038, -50000.0), // 500 degrees west
             Fix(-1e300, 1131.0),     // a 300-digit number
             Fix(std::nan(""), 1131.0),
             Fix(4807.038, INFINITY),
             february31};
    card.AddRecording("MOVA0010.MP4", r);
    const QString recording = card.Root() + "/MOVA0010.MP4";

    CliRun run = Cli({"gpx", recording});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count("<trkpt "), 2) << run.out.toStdString();
    EXPECT_EQ(run.out.count("<time>"), 1) << run.out.toStdString(); // none for 31 February
    EXPECT_FALSE(run.out.contains("2015-03-03")) << run.out.toStdString();

    run = Cli({"kml", recording, "--out", card.Root()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray kml = Read(QString::fromUtf8(run.out).trimmed());
    EXPECT_EQ(kml.count("11.516667,48.117300,0\n"), 2) << kml.toStdString();
    EXPECT_EQ(kml.count(",0\n"), 2) << kml.toStdString();

    // The tables print an empty field where the JSON prints null.
    run = Cli({"samples", recording, "--csv"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.out.contains("nan")) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains("inf")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("\n4,4000,,,,11.5166667,0,0,0,1\n")) << run.out.toStdString();
}

TEST(CliOutputTest, WithoutAHomeFolderKmlWritesNothingAndSaysWhy) {
    TempCard card;
    card.AddRecording("MOVA0010.MP4", DriveAt("2015-06-01 10:00:00"));
    const bool rootDocumentsExisted = QFileInfo::exists(QStringLiteral("/Documents"));
    CliOptions noHome;
    noHome.unsetVariables = {"HOME", "XDG_CONFIG_HOME"};
    noHome.workingFolder = card.Root();
    const CliRun run = Cli({"kml", card.Root() + "/MOVA0010.MP4"}, noHome);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("the documents folder cannot be found")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    if (!rootDocumentsExisted) {
        EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Documents")));
    }
    EXPECT_EQ(Entries(card.Root()), QStringList{"MOVA0010.MP4"});
}

TEST(CliOutputTest, FailuresSayWhatAndWhy) {
    TempCard card;
    card.AddRecording("DCIM/A/MOVA0010.MP4", DriveAt("2015-06-01 10:00:00"));
    card.AddRecording("DCIM/B/MOVA0020.MP4", DriveAt("2015-06-01 11:00:00"));
    card.AddFile("plain", "not a folder");
    card.AddFolder("empty");
    card.AddRecording("nofix/MOVA0030.MP4", RecordingAt("2015-06-01 12:00:00"));
    // The unprivileged user must reach the card; root reads any folder.
    ASSERT_EQ(::chmod(QFile::encodeName(card.Root()).constData(), 0755), 0);
    const QString locked = card.Root() + "/DCIM/B";
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    CliOptions user;
    user.unprivileged = true;

    // An unreadable folder inside a scanned tree is named; the scan succeeds.
    CliRun run = Cli({"scan", card.Root() + "/DCIM"}, user);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("MOVA0010.MP4"));
    EXPECT_TRUE(run.err.contains("cannot read the folder " + QFile::encodeName(locked) +
                                 "/: Permission denied"))
        << run.err.toStdString();

    // A file inside a folder that cannot be searched is no missing file.
    run = Cli({"scan", locked + "/MOVA0020.MP4"}, user);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Permission denied")) << run.err.toStdString();
    ::chmod(QFile::encodeName(locked).constData(), 0755);

    // A target that cannot be written gives the system's reason.
    run = Cli({"gpx", card.Root() + "/DCIM/A", "--out", card.Root() + "/plain/x.gpx"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Not a directory")) << run.err.toStdString();
    run = Cli({"kml", card.Root() + "/DCIM/A/MOVA0010.MP4", "--out", card.Root() + "/plain"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Not a directory")) << run.err.toStdString();

    // Nothing to put in a track is a failure, not an empty track.
    for (const QString& folder : {card.Root() + "/empty", card.Root() + "/nofix"}) {
        run = Cli({"gpx", folder});
        EXPECT_EQ(run.exitCode, 1) << folder.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("no recordings with GPS fixes")) << run.err.toStdString();
    }
}

} // namespace
} // namespace kolvex::testing
