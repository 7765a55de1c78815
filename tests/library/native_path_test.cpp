// File names as the bytes the file system gives: what a card formatted
// elsewhere carries must survive the trip through the library's QStrings.
#include "library/native_path.h"

#include <gtest/gtest.h>

#include <string>

namespace kolvex::testing {
namespace {

struct BytesCase {
    const char* what;
    std::string bytes;
};

TEST(NativePathTest, EveryByteStringComesBackUnchanged) {
    const BytesCase cases[] = {
        {"plain ASCII", "/media/card/DCIM/MOVA0010.MP4"},
        {"valid UTF-8", "/media/Fahrt \xC3\xBC\xE2\x82\xAC \xF0\x9F\x9A\x97/MOVA0010.MP4"},
        {"a lone 0xFF byte", "/media/card/\xFF/MOVA0010.MP4"},
        {"Latin-1 name", "/media/K\xF6ln/MOVA0010.MP4"},
        {"cut multi-byte sequence", "/media/\xE2\x82/x"},
        {"overlong encoding", "/media/\xC0\xAF/x"},
        {"encoded surrogate", "/media/\xED\xB2\x80/x"},
        {"above U+10FFFF", "/media/\xF4\x90\x80\x80/x"},
        {"escape look-alike next to a pair", "\xF0\x9F\x9A\x97\xFF\xFE"},
        {"only invalid bytes", "\x80\x81\xFE\xFF"},
        {"empty", ""},
    };
    for (const BytesCase& c : cases) {
        const QString decoded = PathFromNative(QByteArrayView(c.bytes.data(), c.bytes.size()));
        const QByteArray back = NativePath(decoded);
        EXPECT_EQ(std::string(back.constData(), static_cast<size_t>(back.size())), c.bytes)
            << c.what;
    }
}

TEST(NativePathTest, InvalidBytesAreMarkedAndShownAsReplacementCharacters) {
    const QString decoded = PathFromNative("/card/\xFF"
                                           "DCIM");
    EXPECT_TRUE(HasEscapedBytes(decoded));
    EXPECT_EQ(decoded.size(), 11);
    EXPECT_EQ(decoded[6].unicode(), 0xDCFF);
    EXPECT_EQ(DisplayPath(decoded), QString::fromUtf8("/card/\xEF\xBF\xBD"
                                                      "DCIM"));

    const QString valid = PathFromNative("/card/\xF0\x9F\x9A\x97");
    EXPECT_FALSE(HasEscapedBytes(valid)); // a surrogate pair is a real character
    EXPECT_EQ(DisplayPath(valid), valid);
}

} // namespace
} // namespace kolvex::testing
