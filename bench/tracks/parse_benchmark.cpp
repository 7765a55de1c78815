// One parse of a 3-minute camera recording with a 10 Hz GPS block, as the
// camera writes it: ftyp, a 225 MB mdat (a hole on disk), a moov with the
// sample tables a 30 fps H.264 + AAC recording carries, then the camera's
// records. Besides the time, it reports the read calls and bytes read per
// parse against the bytes the walk has to read (box headers it steps over,
// the small records, the GPS block up to the sample that dates it).
#include "camera_file_writer.h"
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace kolvex::fixtures;

constexpr uint32_t kFrames = 3 * 60 * 30;     // 3 minutes at 30 fps
constexpr uint64_t kMediaBytes = 225'000'000; // 10 Mbit/s
constexpr size_t kGpsSamples = 3 * 60 * 10;   // 10 Hz

IsoBox Table(const char* type, uint32_t entries, size_t bytesPerEntry, size_t extraHeader = 0) {
    Bytes p;
    PutBE32(p, 0); // version and flags
    PutZeros(p, extraHeader);
    PutBE32(p, entries);
    PutZeros(p, entries * bytesPerEntry);
    return IsoBox(type).Add(p);
}

// A track as a muxer writes it: sample tables at their real sizes.
IsoBox RealTrak(bool video) {
    const uint32_t samples = video ? kFrames : 3 * 60 * 16000 / 1024;
    IsoBox stbl("stbl");
    stbl.Add(Stsd({video ? Avc1(1920, 1080) : IsoBox("mp4a").Add(Bytes(28, 0))}));
    stbl.Add(Table("stts", 1, 8));
    if (video)
        stbl.Add(Table("stss", samples / 30, 4));
    stbl.Add(Table("stsc", 1, 12));
    stbl.Add(Table("stsz", samples, 4, 4));
    stbl.Add(Table("stco", samples / 2, 4));
    IsoBox minf("minf");
    minf.Add(IsoBox(video ? "vmhd" : "smhd").Add(Bytes(video ? 12 : 8, 0)));
    minf.Add(IsoBox("dinf").Add(IsoBox("dref").Add(Bytes(20, 0))));
    minf.Add(stbl);
    IsoBox mdia("mdia");
    mdia.Add(Mdhd(video ? 90000 : 16000, video ? kFrames * 3000 : 180 * 16000));
    mdia.Add(IsoBox("hdlr").Add(Bytes(33, 0)));
    mdia.Add(minf);
    IsoBox trak("trak");
    trak.Add(IsoBox("tkhd").Add(Bytes(84, 0)));
    trak.Add(IsoBox("edts").Add(IsoBox("elst").Add(Bytes(16, 0))));
    trak.Add(mdia);
    return trak;
}

struct Recording {
    std::string path;
    uint64_t mustRead = 0;    // bytes the walk has to read
    uint64_t wholeBlocks = 0; // the same with the whole GPS block read, sample by sample
};

// undatedSamples: the fix (and with it the date) arrives only after them.
Recording WriteMp4(const std::string& path, size_t undatedSamples) {
    auto gps = Drive(kGpsSamples, 10, 2015, 6, 1, 12, 0, 0);
    for (size_t i = 0; i < undatedSamples && i < gps.size(); ++i)
        gps[i].year = 0;
    std::vector<GSensorRecord> gsensor(kGpsSamples);
    IsoBox moov("moov");
    moov.Add(Mvhd(1000, 180000)).Add(RealTrak(true)).Add(RealTrak(false));
    moov.Add(IsoBox("udta").Add(Bytes(40, 0)));
    FileImage image;
    image.Append(Ftyp().Serialize());
    Bytes mdat;
    PutBE32(mdat, static_cast<uint32_t>(kMediaBytes + 8));
    PutText(mdat, "mdat");
    image.Append(mdat).AppendHole(kMediaBytes).Append(moov.Serialize());
    image.Append(IsoBox("gpsa").Add(InfoRecord(10)).Serialize());
    image.Append(IsoBox("gsea").Add(InfoRecord(10, 8)).Serialize());
    image.Append(IsoBox("gps0").Add(GpsBlock(gps)).Serialize());
    image.Append(IsoBox("gsen").Add(GSensorBlock(gsensor)).Serialize());
    if (!image.Write(path))
        std::abort();

    // Headers the walk steps over: ftyp, mdat, moov, its 4 children, the 4
    // records. The two lookups: mvhd, trak, tkhd, edts, mdia, mdhd (+20
    // bytes), and for the picture also hdlr, minf, vmhd, dinf, stbl, stsd
    // (+8), avc1 (+28). Records: gpsa and gsea (4 each), GPS samples up to
    // and including the first dated one.
    const uint64_t headers = 3 + 4 + 4 + 6 + 13;
    const uint64_t fixed = headers * 8 + 20 + 8 + 28 + 4 + 4;
    const uint64_t gpsExamined = std::min(undatedSamples + 1, kGpsSamples) * 32;
    return {path, fixed + gpsExamined, fixed + kGpsSamples * 32};
}

Recording WriteAvi(const std::string& path) {
    CameraRecording r;
    r.durationMs = 180000;
    r.mediaBytes = kMediaBytes;
    r.gps = Drive(kGpsSamples, 10, 2015, 6, 1, 12, 0, 0);
    r.gpsInfo = InfoRecord(10);
    r.gsensor.resize(kGpsSamples);
    if (!AviImage(r).Write(path))
        std::abort();
    return {path, 0};
}

std::string ScratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

template <typename Parser> void RunParse(benchmark::State& state, const Recording& recording) {
    uint64_t calls = 0, bytes = 0;
    for (auto _ : state) {
        kolvex::VideoMetaInfo meta;
        Parser parser;
        parser.SetResultRecord(&meta);
        if (parser.Parse(recording.path) != 0)
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(meta);
        calls = parser.IoCounters().readCalls;
        bytes = parser.IoCounters().bytesRead;
    }
    state.counters["read_calls"] = static_cast<double>(calls);
    state.counters["bytes_read"] = static_cast<double>(bytes);
    if (recording.mustRead) {
        state.counters["must_read"] = static_cast<double>(recording.mustRead);
        state.counters["read_ratio"] =
            static_cast<double>(bytes) / static_cast<double>(recording.mustRead);
        state.counters["ratio_to_whole_block"] =
            static_cast<double>(bytes) / static_cast<double>(recording.wholeBlocks);
    }
}

void BM_ParseMp4_DatedFromStart(benchmark::State& state) {
    static const Recording r = WriteMp4(ScratchPath("kolvex-bench-3min.MP4"), 0);
    RunParse<kolvex::CKolvex3gpParser>(state, r);
}
BENCHMARK(BM_ParseMp4_DatedFromStart);

void BM_ParseMp4_FixAfter30s(benchmark::State& state) {
    static const Recording r = WriteMp4(ScratchPath("kolvex-bench-3min-late.MP4"), 300);
    RunParse<kolvex::CKolvex3gpParser>(state, r);
}
BENCHMARK(BM_ParseMp4_FixAfter30s);

void BM_ParseMp4_NeverDated(benchmark::State& state) {
    static const Recording r = WriteMp4(ScratchPath("kolvex-bench-3min-undated.MP4"), kGpsSamples);
    RunParse<kolvex::CKolvex3gpParser>(state, r);
}
BENCHMARK(BM_ParseMp4_NeverDated);

void BM_ParseAvi(benchmark::State& state) {
    static const Recording r = WriteAvi(ScratchPath("kolvex-bench-3min.AVI"));
    RunParse<kolvex::CKolvexAviParser>(state, r);
}
BENCHMARK(BM_ParseAvi);

} // namespace

BENCHMARK_MAIN();
