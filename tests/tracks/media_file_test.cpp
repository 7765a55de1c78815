// The parsers' file reader serves small reads from a read-ahead window; a
// wrong window offset would hand the walk the wrong bytes without any error.
// These tests compare every read with the file's real content.
#include "camera_file_writer.h"
#include "temp_dir.h"
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/media_file.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace kolvex {
namespace {

fixtures::Bytes Pattern(size_t size) {
    fixtures::Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = static_cast<uint8_t>((i * 131) ^ (i >> 8));
    return b;
}

void ExpectRead(CMediaFile& file, const fixtures::Bytes& content, uint64_t offset, size_t n) {
    std::vector<uint8_t> got(n, 0xEE);
    const size_t count = file.ReadAt(offset, got.data(), n);
    const size_t expected =
        offset >= content.size() ? 0 : std::min<uint64_t>(n, content.size() - offset);
    ASSERT_EQ(count, expected) << "at " << offset << " for " << n;
    for (size_t i = 0; i < count; ++i)
        ASSERT_EQ(got[i], content[offset + i]) << "byte " << offset + i;
}

TEST(MediaFileTest, EveryReadPatternReturnsTheFilesBytes) {
    testing::TempDir dir;
    const auto content = Pattern(300'000);
    ASSERT_TRUE(fixtures::WriteFile(dir.File("f"), content));
    CMediaFile file;
    ASSERT_TRUE(file.Open(dir.File("f")));
    EXPECT_EQ(file.Length(), content.size());

    // A long scan in 4-byte steps (read-ahead grows), then header-like hops,
    // reads across and past the end, and random mixes of all of them.
    for (uint64_t p = 0; p < 200'000; p += 4)
        ExpectRead(file, content, p, 4);
    for (uint64_t p = 7; p < content.size(); p += 9973)
        ExpectRead(file, content, p, 8);
    ExpectRead(file, content, content.size() - 3, 8);
    ExpectRead(file, content, content.size(), 8);
    ExpectRead(file, content, content.size() + 100, 4);
    ExpectRead(file, content, 0, 5000); // a large read goes direct
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const bool near = random() % 4 != 0;
        static uint64_t last = 0;
        const uint64_t offset = near ? last + random() % 64 : random() % (content.size() + 1000);
        const size_t n = 1 + random() % (random() % 10 == 0 ? 9000 : 64);
        ExpectRead(file, content, offset, n);
        last = offset + n;
    }
}

TEST(MediaFileTest, CountsTheSystemReadsAndStartsEachOpenAfresh) {
    testing::TempDir dir;
    ASSERT_TRUE(fixtures::WriteFile(dir.File("f"), Pattern(10000)));
    CMediaFile file;
    ASSERT_TRUE(file.Open(dir.File("f")));
    uint8_t buffer[8];
    file.ReadAt(1000, buffer, 8);
    file.ReadAt(5000, buffer, 8);
    EXPECT_EQ(file.IoCounters().readCalls, 2u);
    EXPECT_EQ(file.IoCounters().bytesRead, 16u);
    ASSERT_TRUE(file.Open(dir.File("f")));
    EXPECT_EQ(file.IoCounters().readCalls, 0u);
    file.ReadAt(5000, buffer, 8); // not served from the old file's window
    EXPECT_EQ(file.IoCounters().readCalls, 1u);
}

TEST(MediaFileTest, HeadersOfSmallBoxesInARowAreReadAsOneRegion) {
    // A second's GPS record per box, 256 bytes each: the walk reads every
    // header, and the reads ahead must cover the gaps between them.
    testing::TempDir dir;
    const auto content = Pattern(200 * 256);
    ASSERT_TRUE(fixtures::WriteFile(dir.File("f"), content));
    CMediaFile file;
    ASSERT_TRUE(file.Open(dir.File("f")));
    for (uint64_t p = 0; p < content.size(); p += 256)
        ExpectRead(file, content, p, 8);
    EXPECT_LT(file.IoCounters().readCalls, 20u);
    EXPECT_LT(file.IoCounters().bytesRead, 2 * content.size());
}

TEST(MediaFileTest, KeptRegionServesItsReadsWithTheOpenFilesBytesOnly) {
    testing::TempDir dir;
    const auto first = Pattern(300'000);
    auto second = first;
    for (uint8_t& b : second)
        b ^= 0x5A;
    ASSERT_TRUE(fixtures::WriteFile(dir.File("first"), first));
    ASSERT_TRUE(fixtures::WriteFile(dir.File("second"), second));

    CMediaFile file;
    ASSERT_TRUE(file.Open(dir.File("first")));
    EXPECT_EQ(file.Keep(1000, 50'000), 50'000u);
    EXPECT_EQ(file.IoCounters().readCalls, 1u);
    for (const auto& [offset, n] : std::vector<std::pair<uint64_t, size_t>>{
             {1000, 8}, {1000, 50'000}, {20'000, 9000}, {50'999, 1}, {7000, 16}})
        ExpectRead(file, first, offset, n);
    EXPECT_EQ(file.IoCounters().readCalls, 1u); // all from memory
    ExpectRead(file, first, 50'990, 20);        // runs past the region: from the file
    ExpectRead(file, first, 900, 200);          // starts before it
    EXPECT_EQ(file.Keep(first.size() - 100, 1000), 100u);
    ExpectRead(file, first, first.size() - 50, 100);
    ExpectRead(file, first, first.size(), 8);

    // Another file open at the same time keeps its own region; a file
    // opened later never sees the bytes of one closed before.
    CMediaFile other;
    ASSERT_TRUE(other.Open(dir.File("second")));
    other.Keep(1000, 50'000);
    ExpectRead(other, second, 2000, 64);
    ExpectRead(file, first, first.size() - 80, 8);
    file.Close();
    other.Close();
    ASSERT_TRUE(file.Open(dir.File("second")));
    ExpectRead(file, second, 2000, 64);
    file.Keep(0, 10'000);
    ExpectRead(file, second, 2000, 64);
    ASSERT_TRUE(file.Open(dir.File("first")));
    ExpectRead(file, first, 2000, 64);
}

TEST(MediaFileTest, RefusesFoldersMissingFilesAndPipesWithoutWaiting) {
    testing::TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe.MP4").c_str(), 0644), 0);
    CMediaFile file;
    EXPECT_FALSE(file.Open(dir.File("")));
    EXPECT_FALSE(file.Open(dir.File("missing")));
    EXPECT_FALSE(file.Open(dir.File("pipe.MP4"))); // would block forever without a writer
    EXPECT_FALSE(file.IsOpen());
    CKolvex3gpParser parser;
    EXPECT_EQ(parser.Parse(dir.File("pipe.MP4")), -1);
}

TEST(MediaFileTest, ReadFileRangeIsBoundedByTheFile) {
    testing::TempDir dir;
    const auto content = Pattern(1000);
    ASSERT_TRUE(fixtures::WriteFile(dir.File("f"), content));
    std::vector<uint8_t> out;
    ASSERT_TRUE(ReadFileRange(dir.File("f"), 990, 0xFFFFFFFF, out));
    EXPECT_EQ(out, std::vector<uint8_t>(content.begin() + 990, content.end()));
    ASSERT_TRUE(ReadFileRange(dir.File("f"), 5000, 10, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ReadFileRange(dir.File("missing"), 0, 10, out));
}

} // namespace
} // namespace kolvex
