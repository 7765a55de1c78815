#include "seed_corpus.h"

namespace kolvex::fuzz {

using namespace kolvex::fixtures;

namespace {

CameraRecording Small(RecordPlace place) {
    CameraRecording r;
    r.width = 1280;
    r.height = 720;
    r.durationMs = 20000;
    r.mediaBytes = 32;
    r.place = place;
    r.gps = Drive(4, 1, 2015, 6, 1, 12, 0, 0);
    r.gps[0].year = 0; // the start comes from a later sample
    r.gsensor = {{1, 2, 3}, {-4, -5, -6}};
    r.gpsInfo = InfoRecord(1);
    r.gsensorInfo = InfoRecord(10, 8);
    return r;
}

Bytes Truncated(Bytes b, size_t keep) {
    b.resize(std::min(b.size(), keep));
    return b;
}

} // namespace

std::vector<std::pair<std::string, Bytes>> SeedCorpus() {
    std::vector<std::pair<std::string, Bytes>> seeds;
    auto add = [&](const std::string& name, Bytes bytes) {
        seeds.emplace_back(name, std::move(bytes));
    };
    for (auto place : {RecordPlace::TopLevelAfterMedia, RecordPlace::InsideMovie}) {
        const std::string where = place == RecordPlace::InsideMovie ? "inside" : "top";
        CameraRecording r = Small(place);
        add("mp4-" + where, BuildMp4(r));
        add("avi-" + where, BuildAvi(r));
        r.textDate = "2015-06-01 12:00:00";
        add("mp4-idit-" + where, BuildMp4(r));
        add("avi-idit-" + where, BuildAvi(r));
    }
    CameraRecording plain = Small(RecordPlace::TopLevelAfterMedia);
    plain.writeGps = plain.writeGsensor = false;
    plain.gpsInfo.reset();
    plain.gsensorInfo.reset();
    add("mp4-plain", BuildMp4(plain));
    add("avi-plain", BuildAvi(plain));

    const Bytes mp4 = BuildMp4(Small(RecordPlace::TopLevelAfterMedia));
    const Bytes avi = BuildAvi(Small(RecordPlace::TopLevelAfterMedia));
    add("mp4-cut", Truncated(mp4, mp4.size() - 50));
    add("avi-cut", Truncated(avi, avi.size() - 50));

    // Sizes the walks must not trust.
    for (uint32_t size : {0u, 1u, 7u, 0xFFFFFFFFu}) {
        Bytes b = Ftyp().Serialize();
        IsoBox moov("moov");
        moov.Add(Trak({640, 480, 1000, 5000, "vide"}));
        Append(b, moov.Serialize());
        Append(b, IsoBox("gps0")
                      .Add(GpsBlock({DatedSample(2015, 6, 1, 12, 0, 0)}))
                      .DeclaredSize(size)
                      .Serialize());
        add("mp4-gps0-size-" + std::to_string(size), b);
    }
    {
        RiffList strl("strl");
        strl.Add(Strh("vids", "H264", 1, 25, 100)).Add(StrfVideo(640, -480));
        RiffList hdrl("hdrl");
        hdrl.Add(Avih(33333, 5400, 640, 480)).Add(strl);
        RiffList riff = RiffFile();
        riff.Add(hdrl);
        riff.Add(RiffList("movi").Add(Bytes(16, 0)).DeclaredSize(100'000'000));
        add("avi-movi-beyond-end", riff.Serialize());

        RiffList odd = RiffFile();
        odd.Add(hdrl).Add(RiffList("movi").Add(Bytes(8, 0)));
        odd.Add(RiffChunk("JUNK", Bytes(11, 0)));
        odd.Add(RiffChunk("IDIT", TextDate("2015-02-31 10:00:00")));
        odd.Add(RiffChunk("gps0", GpsBlock({GpsRecord{}})).DeclaredSize(0xFFFFFF00));
        add("avi-odd-sizes", odd.Serialize());
    }
    add("empty", {});
    add("ftyp-only", Ftyp().Serialize());
    add("riff-only", RiffFile().Serialize());
    return seeds;
}

} // namespace kolvex::fuzz
