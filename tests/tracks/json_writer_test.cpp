// The JSON writer behind kolvex-cli's output.
#include "json.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace kolvex::cli {
namespace {

TEST(JsonWriterTest, EscapesStringsSoTheyAlwaysParse) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"quote \" backslash \\", "\"quote \\\" backslash \\\\\""},
        {"tab\tnew\nline\r", "\"tab\\tnew\\nline\\r\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\x1f\x7f", "\"\\u001f\x7f\""},
        {"Stra\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x9A\x97",
         "\"Stra\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x9A\x97\""},
        {"bad \xFF byte", "\"bad \xEF\xBF\xBD byte\""},
        {"cut \xE2\x82", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"overlong \xC0\xAF", "\"overlong \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"surrogate \xED\xA0\x80", "\"surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonWriter::Escape(c.in), c.out);
}

TEST(JsonWriterTest, PathsKeepTheirBytesAsSurrogateEscapes) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"/card/DCIM/MOVA0010.MP4", "\"/card/DCIM/MOVA0010.MP4\""},
        {"K\xC3\xB6ln \xF0\x9F\x9A\x97", "\"K\xC3\xB6ln \xF0\x9F\x9A\x97\""},
        {"/card/\xFF/", "\"/card/\\udcff/\""},
        {"MOVA0010\xE9.MP4", "\"MOVA0010\\udce9.MP4\""},
        {"cut \xE2\x82", "\"cut \\udce2\\udc82\""},
        {"overlong \xC0\xAF", "\"overlong \\udcc0\\udcaf\""},
        {"encoded surrogate \xED\xB3\xBF", "\"encoded surrogate \\udced\\udcb3\\udcbf\""},
        {"ctrl \x01 \"q\" \\", "\"ctrl \\u0001 \\\"q\\\" \\\\\""},
    };
    for (const auto& c : cases) {
        JsonWriter json;
        json.Path(c.in);
        EXPECT_EQ(json.Text(), c.out + "\n");
    }
}

TEST(JsonWriterTest, SeparatesMembersAndNestsCompactly) {
    JsonWriter json;
    json.BeginObject();
    json.Key("a").Int(-1);
    json.Key("b").BeginArray().UInt(18446744073709551615ull).Null().Bool(false).EndArray();
    json.Key("c").BeginObject().EndObject();
    json.Key("d").BeginArray().EndArray();
    json.EndObject();
    EXPECT_EQ(json.Text(),
              "{\"a\":-1,\"b\":[18446744073709551615,null,false],\"c\":{},\"d\":[]}\n");
}

TEST(JsonWriterTest, IndentsNestedValues) {
    JsonWriter json(2);
    json.BeginObject().Key("k").BeginArray().Int(1).Int(2).EndArray().EndObject();
    EXPECT_EQ(json.Text(), "{\n  \"k\": [\n    1,\n    2\n  ]\n}\n");
}

TEST(JsonWriterTest, DoublesAreExactAndLocaleFree) {
    // A locale with a decimal comma must not change the output.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    JsonWriter json;
    json.BeginArray().Double(48.1173).Double(-0.5).Double(1e-7).Double(3.0);
    json.Double(std::numeric_limits<double>::quiet_NaN());
    json.Double(std::numeric_limits<double>::infinity()).EndArray();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(json.Text(), "[48.1173,-0.5,1e-07,3,null,null]\n");
}

} // namespace
} // namespace kolvex::cli
