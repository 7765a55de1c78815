// kolvex-cli on a card whose names are not UTF-8: every command finds the
// recordings, JSON stays valid UTF-8 and gives the exact bytes back, and
// messages repeat the bytes as given.
#include "card_fixture.h"

#include "library/native_path.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kolvex::testing {
namespace {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a program with arguments as bytes (QProcess would re-encode them),
// standard input read from `input` when given.
CliRun RunProgram(const TempCard& scratch, std::vector<std::string> args,
                  const std::string& input = std::string()) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string in = scratch.Path("stdin"), out = scratch.Path("stdout"),
                      err = scratch.Path("stderr");
    std::ofstream(in, std::ios::binary) << input;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}

CliRun Cli(const TempCard& scratch, std::vector<std::string> args) {
    args.insert(args.begin(), KOLVEX_CLI_PATH);
    return RunProgram(scratch, std::move(args));
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The JSON text parsed; Qt keeps an escaped \udcXX as the lone surrogate
// that NativePath turns back into the byte.
QJsonObject Json(const CliRun& run) {
    EXPECT_TRUE(QByteArrayView(run.out).isValidUtf8());
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out;
    return doc.object();
}

std::string Bytes(const QJsonValue& value) {
    return NativePath(value.toString()).toStdString();
}

bool WellFormedXml(const std::string& document) {
    QXmlStreamReader xml(QByteArray::fromStdString(document));
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError();
}

// A card with a folder named with byte 0xFF holding a recording whose name
// has a Latin-1 byte after its eighth character.
const std::string kFolder = "\xFF";
const std::string kName = "MOVA0010\xE9.MP4";

void WriteCard(TempCard& card) {
    auto r = RecordingAt("2013-05-17 08:09:10");
    r.writeGps = true;
    fixtures::GpsRecord fix;
    fix.latitude = 2232.615;
    fix.longitude = 11356.78;
    fix.flags = 1;
    r.gps = {fix};
    card.AddRecording("card/" + kFolder + '/' + kName, r);
}

TEST(CliNativeNamesTest, EveryCommandFindsTheRecordingAndKeepsItsBytes) {
    TempCard card;
    WriteCard(card);
    const std::string root = card.Path("card");
    const std::string file = root + '/' + kFolder + '/' + kName;

    CliRun run = Cli(card, {"scan", root});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"subdir\": \"\\udcff/\""), std::string::npos) << run.out;
    QJsonArray recordings = Json(run)["recordings"].toArray();
    ASSERT_EQ(recordings.size(), 1);
    EXPECT_EQ(Bytes(recordings[0].toObject()["root"]), root + '/');
    EXPECT_EQ(Bytes(recordings[0].toObject()["subdir"]), kFolder + '/');
    EXPECT_EQ(Bytes(recordings[0].toObject()["name"]), kName);

    run = Cli(card, {"scan", file});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    recordings = Json(run)["recordings"].toArray();
    ASSERT_EQ(recordings.size(), 1);
    EXPECT_EQ(Bytes(recordings[0].toObject()["root"]), root + '/' + kFolder);
    EXPECT_EQ(Bytes(recordings[0].toObject()["name"]), kName);

    run = Cli(card, {"samples", file});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Bytes(Json(run)["file"]), file);

    run = Cli(card, {"gpx", root});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(WellFormedXml(run.out)) << run.out;
    EXPECT_NE(run.out.find("<name>MOVA0010\xEF\xBF\xBD.MP4</name>"), std::string::npos);
    EXPECT_NE(run.out.find("<trkpt lat=\"22.543583\" lon=\"113.946333\">"), std::string::npos);

    const std::string gpxFile = root + '/' + kFolder + "/trip\xFE.gpx";
    run = Cli(card, {"gpx", file, "--out", gpxFile});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(WellFormedXml(Slurp(gpxFile)));

    const std::string kmlFolder = root + '/' + kFolder + "/kml\xFE";
    run = Cli(card, {"kml", file, "--out", kmlFolder});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string kmlFile = kmlFolder + "/MOVA0010\xE9_2013_05_17_08-09-10.KML";
    EXPECT_EQ(run.out, kmlFile + '\n');
    ASSERT_TRUE(Exists(kmlFile));
    EXPECT_TRUE(WellFormedXml(Slurp(kmlFile)));
}

TEST(CliNativeNamesTest, MessagesRepeatThePathAsGiven) {
    TempCard card;
    WriteCard(card);
    const std::string absent = card.Path("card/" + kFolder + "/ABSENT\xFE.MP4");
    for (const char* command : {"scan", "kml", "gpx", "probe", "samples"}) {
        const CliRun run = Cli(card, {command, absent});
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_NE(run.err.find(absent), std::string::npos) << command << ": " << run.err;
    }
}

// What the README promises scripts: Python's surrogateescape decoding of a
// path gives the exact bytes back.
TEST(CliNativeNamesTest, PythonGetsTheBytesBackWithFsencode) {
    if (::access("/usr/bin/python3", X_OK) != 0)
        GTEST_SKIP() << "no python3 to check with";
    TempCard card;
    WriteCard(card);
    const CliRun scan = Cli(card, {"scan", card.Path("card")});
    ASSERT_EQ(scan.exitCode, 0) << scan.err;
    const CliRun python =
        RunProgram(card,
                   {"/usr/bin/python3", "-c",
                    "import json, os, sys\n"
                    "r = json.load(sys.stdin)['recordings'][0]\n"
                    "sys.stdout.buffer.write(os.fsencode(r['root'] + r['subdir'] + r['name']))\n"},
                   scan.out);
    ASSERT_EQ(python.exitCode, 0) << python.err;
    EXPECT_EQ(python.out, card.Path("card/" + kFolder + '/' + kName));
}

} // namespace
} // namespace kolvex::testing
