// What libVLC's messages become on standard error: the filter's choices,
// and both players' instances handing their log to it, also after a rebuild.

#include "fake_vlc_library.h"
#include "vlc_log.h"
#include "vlc_player.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kNoSound =
    "kolvex: no sound device could be opened; recordings play without sound";

struct Message {
    int level;
    const char* module;
    const char* format;
    const char* text;
    std::string expected; // "" for nothing written
};

TEST(VlcLogFilter, QuietByDefaultOncePerKindAndOurOwnWordsForWhatMatters) {
    CVlcLogFilter filter;
    const Message messages[] = {
        {CVlcLogFilter::kDebug, "main", "looking for %s", "looking for demux", ""},
        {CVlcLogFilter::kNotice, "main", "playing %s", "playing a.mp4", ""},
        {CVlcLogFilter::kWarning, "avcodec", "late picture %d", "late picture 3",
         "libVLC warning (avcodec): late picture 3"},
        // The same kind with other values: said already.
        {CVlcLogFilter::kWarning, "avcodec", "late picture %d", "late picture 4", ""},
        // The same text from another module is another kind.
        {CVlcLogFilter::kWarning, "mp4", "late picture %d", "late picture 4",
         "libVLC warning (mp4): late picture 4"},
        // What the user must know, in our words, once for all its senders.
        {CVlcLogFilter::kError, "alsa", "cannot open ALSA device \"%s\": %s", "cannot open ...",
         kNoSound},
        {CVlcLogFilter::kError, "main", "failed to create audio output", "failed ...", ""},
        {CVlcLogFilter::kError, "vlcpulse", "PulseAudio server connection failure: %s", "...", ""},
        {CVlcLogFilter::kError, "main", "Codec `%4.4s' (%s) is not supported.", "Codec `hevc'",
         "kolvex: a recording uses a format libVLC cannot decode"},
        // Other errors are libVLC's, once.
        {CVlcLogFilter::kError, "mp4", "no moov box %d", "no moov box 1",
         "libVLC error (mp4): no moov box 1"},
        {CVlcLogFilter::kError, "mp4", "no moov box %d", "no moov box 2", ""},
        // A message without a known sender.
        {CVlcLogFilter::kWarning, nullptr, "odd %d", "odd 1", "libVLC warning (libvlc): odd 1"},
    };
    for (const Message& m : messages) {
        SCOPED_TRACE(m.text);
        EXPECT_EQ(filter.Line(m.level, m.module, m.format, m.text), m.expected);
    }
    EXPECT_FALSE(filter.Wanted(CVlcLogFilter::kDebug));
    EXPECT_TRUE(filter.Wanted(CVlcLogFilter::kWarning));
}

TEST(VlcLogFilter, VerboseWritesEveryMessageAsItComes) {
    CVlcLogFilter filter(true);
    EXPECT_TRUE(filter.Wanted(CVlcLogFilter::kDebug));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(filter.Line(CVlcLogFilter::kDebug, "main", "looking for %s", "looking for x"),
                  "libVLC debug (main): looking for x");
        EXPECT_EQ(filter.Line(CVlcLogFilter::kError, "alsa", "cannot open %s", "cannot open d"),
                  "libVLC error (alsa): cannot open d");
    }
    filter.SetVerbose(false);
    EXPECT_EQ(filter.Line(CVlcLogFilter::kDebug, "main", "looking for %s", "looking for x"), "");
}

const FakeVlcLibrary& fake() {
    static const FakeVlcLibrary library(KOLVEX_FAKE_VLC_PATH);
    return library;
}

// What the player's libVLC says while `say` runs, as written to stderr.
template <typename Say> std::string StandardErrorOf(Say say) {
    testing::internal::CaptureStderr();
    say();
    return testing::internal::GetCapturedStderr();
}

TEST(VlcPlayerLog, EachInstanceHandsItsLogToTheFilterAlsoAfterARebuild) {
    ASSERT_TRUE(fake().loaded()) << fake().path();
    fake().reset();
    CVlcPlayer player(fake().path());
    EXPECT_EQ(StandardErrorOf([] {
                  for (int block = 0; block < 500; ++block)
                      fake().say(CVlcLogFilter::kError, "alsa", "cannot play block %d", block);
                  fake().say(CVlcLogFilter::kDebug, "main", "buffering %d", 1);
                  fake().say(CVlcLogFilter::kWarning, "demux", "stream %d is odd", 7);
                  fake().say(CVlcLogFilter::kWarning, "demux", "stream %d is odd", 8);
              }),
              kNoSound + "\nlibVLC warning (demux): stream 7 is odd\n");

    // A rebuilt instance is another libVLC instance: it is routed again.
    player.OpenMedia("/card/A.MP4");
    ASSERT_TRUE(player.Recreate());
    EXPECT_EQ(StandardErrorOf([] {
                  EXPECT_TRUE(fake().say(CVlcLogFilter::kWarning, "vout", "after rebuild %d", 2));
              }),
              "libVLC warning (vout): after rebuild 2\n");
}

} // namespace
