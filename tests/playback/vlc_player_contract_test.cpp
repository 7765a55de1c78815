// The player against a recording libVLC stand-in: which libVLC functions each
// operation calls, in which order and with which arguments, what the flags
// say afterwards, and how a broken or missing library is survived.

#include "fake_vlc_library.h"
#include "vlc_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const FakeVlcLibrary& fake() {
    static const FakeVlcLibrary library(KOLVEX_FAKE_VLC_PATH);
    return library;
}

std::string lines(std::initializer_list<const char*> calls) {
    std::string joined;
    for (const char* call : calls) {
        joined += call;
        joined += '\n';
    }
    return joined;
}

struct Flags {
    int usable, playing, paused, volume;
    bool operator==(const Flags&) const = default;
};

Flags flagsOf(const CVlcPlayer& p) {
    return {p.m_bUsable.load(), p.m_bPlaying, p.m_bPaused, p.m_nVolume};
}

void PrintTo(const Flags& f, std::ostream* os) {
    *os << "{usable " << f.usable << ", playing " << f.playing << ", paused " << f.paused
        << ", volume " << f.volume << "}";
}

class VlcPlayerContract : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake().loaded()) << fake().path();
        fake().reset();
    }
    // Fresh player whose construction calls are already checked elsewhere.
    std::unique_ptr<CVlcPlayer> makePlayer() {
        auto player = std::make_unique<CVlcPlayer>(fake().path());
        clearLog();
        return player;
    }
    void clearLog() { m_logStart = fake().log().size(); }
    std::string newCalls() const { return fake().log().substr(m_logStart); }

    size_t m_logStart = 0;
};

TEST_F(VlcPlayerContract, ConstructionCreatesInstanceAndPlayerAtFullVolume) {
    CVlcPlayer player(fake().path());
    EXPECT_EQ(fake().log(),
              lines({"libvlc_new(5,-I,dummy,--ignore-config,--plugin-path=./plugins,--no-osd)",
                     "libvlc_media_player_new(I1)", "libvlc_media_player_event_manager(P1)",
                     "libvlc_audio_set_volume(P1,200)"}));
    EXPECT_EQ(flagsOf(player), (Flags{1, 0, 1, 200}));
    EXPECT_EQ(player.m_pMedia, nullptr);
    EXPECT_EQ(player.m_pfnEventCallback, nullptr);
    EXPECT_EQ(player.m_strMediaPath, "");
}

TEST_F(VlcPlayerContract, DestructionReleasesEverythingItCreated) {
    {
        CVlcPlayer player(fake().path());
        player.OpenMedia("/a.mp4");
        player.OpenMedia("/b.mp4"); // the first media must not leak
        clearLog();
    }
    EXPECT_EQ(newCalls(), lines({"libvlc_media_player_release(P1)", "libvlc_media_release(M2)",
                                 "libvlc_release(I1)"}));
    EXPECT_EQ(fake().liveHandles(), 0);
}

struct OperationCase {
    const char* name;
    std::function<void(CVlcPlayer&)> run;
    std::string calls;
    Flags flags;
};

TEST_F(VlcPlayerContract, EachOperationMakesItsCallsAndSetsItsFlags) {
    const std::vector<OperationCase> cases = {
        {"Play",
         [](CVlcPlayer& p) { p.Play(); },
         lines({"libvlc_media_player_play(P1)"}),
         {1, 1, 0, 200}},
        {"Pause",
         [](CVlcPlayer& p) { p.Pause(); },
         lines({"libvlc_media_player_pause(P1)"}),
         {1, 0, 1, 200}},
        {"Stop",
         [](CVlcPlayer& p) { p.Stop(); },
         lines({"libvlc_media_player_stop(P1)"}),
         {1, 0, 0, 200}},
        {"Play, Pause",
         [](CVlcPlayer& p) { p.Play(), p.Pause(); },
         lines({"libvlc_media_player_play(P1)", "libvlc_media_player_pause(P1)"}),
         {1, 0, 1, 200}},
        {"Pause, Stop",
         [](CVlcPlayer& p) { p.Pause(), p.Stop(); },
         lines({"libvlc_media_player_pause(P1)", "libvlc_media_player_stop(P1)"}),
         {1, 0, 0, 200}},
        {"Pause, Play",
         [](CVlcPlayer& p) { p.Pause(), p.Play(); },
         lines({"libvlc_media_player_pause(P1)", "libvlc_media_player_play(P1)"}),
         {1, 1, 0, 200}},
        {"Stop, Play",
         [](CVlcPlayer& p) { p.Stop(), p.Play(); },
         lines({"libvlc_media_player_stop(P1)", "libvlc_media_player_play(P1)"}),
         {1, 1, 0, 200}},
        {"SetWindow",
         [](CVlcPlayer& p) { p.SetWindow(0x2a00007); },
         lines({"libvlc_media_player_set_xwindow(P1,44040199)"}),
         {1, 0, 1, 200}},
        {"SetRate",
         [](CVlcPlayer& p) { p.SetRate(0.5f); },
         lines({"libvlc_media_player_set_rate(P1,0.5)"}),
         {1, 0, 1, 200}},
        {"SetTime",
         [](CVlcPlayer& p) { p.SetTime(5'000'000'000LL); },
         lines({"libvlc_media_player_set_time(P1,5000000000)"}),
         {1, 0, 1, 200}},
        {"SetVolume",
         [](CVlcPlayer& p) { p.SetVolume(100); },
         lines({"libvlc_audio_set_volume(P1,100)"}),
         {1, 0, 1, 100}},
        {"SetMute on",
         [](CVlcPlayer& p) { p.SetMute(true); },
         lines({"libvlc_audio_set_mute(P1,1)"}),
         {1, 0, 1, 200}},
        {"SetMute off",
         [](CVlcPlayer& p) { p.SetMute(false); },
         lines({"libvlc_audio_set_mute(P1,0)"}),
         {1, 0, 1, 200}},
        {"TakeSnapshot",
         [](CVlcPlayer& p) { p.TakeSnapshot("/tmp/shot é.jpg"); },
         lines({"libvlc_video_take_snapshot(P1,0,/tmp/shot é.jpg,0,0)"}),
         {1, 0, 1, 200}},
        {"TakeSnapshot without a path",
         [](CVlcPlayer& p) { p.TakeSnapshot(nullptr); },
         "",
         {1, 0, 1, 200}},
        {"OpenMedia",
         [](CVlcPlayer& p) { p.OpenMedia("/cards/FILE0001.MP4"); },
         lines({"libvlc_audio_set_volume(P1,200)",
                "libvlc_media_new_path(I1,'/cards/FILE0001.MP4')",
                "libvlc_media_add_option(M1,:ffmpeg-hw)", "libvlc_media_player_set_media(P1,M1)",
                "libvlc_video_set_key_input(P1,0)", "libvlc_video_set_mouse_input(P1,0)"}),
         {1, 0, 1, 200}},
        {"OpenMedia with a null path opens the empty path",
         [](CVlcPlayer& p) { p.OpenMedia(nullptr); },
         lines({"libvlc_audio_set_volume(P1,200)", "libvlc_media_new_path(I1,'')",
                "libvlc_media_add_option(M1,:ffmpeg-hw)", "libvlc_media_player_set_media(P1,M1)",
                "libvlc_video_set_key_input(P1,0)", "libvlc_video_set_mouse_input(P1,0)"}),
         {1, 0, 1, 200}},
        {"OpenMedia uses the volume set before",
         [](CVlcPlayer& p) { p.SetVolume(40), p.OpenMedia("x"); },
         lines({"libvlc_audio_set_volume(P1,40)", "libvlc_audio_set_volume(P1,40)",
                "libvlc_media_new_path(I1,'x')", "libvlc_media_add_option(M1,:ffmpeg-hw)",
                "libvlc_media_player_set_media(P1,M1)", "libvlc_video_set_key_input(P1,0)",
                "libvlc_video_set_mouse_input(P1,0)"}),
         {1, 0, 1, 40}},
    };
    for (const OperationCase& c : cases) {
        SCOPED_TRACE(c.name);
        fake().reset();
        auto player = makePlayer();
        c.run(*player);
        EXPECT_EQ(newCalls(), c.calls);
        EXPECT_EQ(flagsOf(*player), c.flags);
    }
}

TEST_F(VlcPlayerContract, QueriesReturnWhatLibvlcReports) {
    auto player = makePlayer();
    EXPECT_EQ(player->GetLength(), 4200);
    EXPECT_EQ(player->GetTime(), 1234);
    EXPECT_EQ(newCalls(),
              lines({"libvlc_media_player_get_length(P1)", "libvlc_media_player_get_time(P1)"}));
}

TEST_F(VlcPlayerContract, OpenMediaRemembersPathAndReplacesTheMedia) {
    auto player = makePlayer();
    player->OpenMedia("/card/A.MP4");
    player->OpenMedia("/card/B.MP4");
    EXPECT_EQ(player->m_strMediaPath, "/card/B.MP4");
    // Only the newest media stays referenced by us.
    EXPECT_NE(newCalls().find("libvlc_media_release(M1)"), std::string::npos);
    EXPECT_EQ(fake().liveHandles(), 3); // instance, player, media 2
    player->OpenMedia(nullptr);
    EXPECT_EQ(player->m_strMediaPath, "");
}

TEST_F(VlcPlayerContract, OpenMediaThatLibvlcRefusesLeavesNoMedia) {
    auto player = makePlayer();
    player->OpenMedia("/card/A.MP4");
    clearLog();
    fake().failNext("libvlc_media_new_path");
    player->OpenMedia("/card/missing.MP4");
    EXPECT_EQ(newCalls(),
              lines({"libvlc_audio_set_volume(P1,200)",
                     "libvlc_media_new_path(I1,'/card/missing.MP4')", "libvlc_media_release(M1)"}));
    EXPECT_EQ(player->m_pMedia, nullptr);
    EXPECT_EQ(player->m_bUsable, 1);
    EXPECT_FALSE(player->Recreate()); // nothing opened any more
}

TEST_F(VlcPlayerContract, ShowMarqueeSetsTextThenSevenSettingsInOrder) {
    auto player = makePlayer();
    EXPECT_TRUE(player->ShowMarquee("2.0 X", 72, 1));
    EXPECT_EQ(
        newCalls(),
        lines({"libvlc_video_set_marquee_string(P1,1,'2.0 X')",
               "libvlc_video_set_marquee_int(P1,6,72)", "libvlc_video_set_marquee_int(P1,3,255)",
               "libvlc_video_set_marquee_int(P1,2,-16711936)",
               "libvlc_video_set_marquee_int(P1,7,-1)", "libvlc_video_set_marquee_int(P1,8,0)",
               "libvlc_video_set_marquee_int(P1,9,0)", "libvlc_video_set_marquee_int(P1,0,1)"}));
    clearLog();
    EXPECT_TRUE(player->ShowMarquee(nullptr, 48, 0));
    EXPECT_EQ(newCalls().substr(0, newCalls().find('\n') + 1),
              lines({"libvlc_video_set_marquee_string(P1,1,'')"}));
}

// Records events as a main window's callback would: from libVLC's thread.
struct EventSink {
    std::atomic<int> count{0};
    std::atomic<int> lastType{-1};
    std::atomic<bool> onOtherThread{false};
    std::thread::id testThread = std::this_thread::get_id();

    static void callback(const libvlc_event_t* event, void* userData) {
        auto* sink = static_cast<EventSink*>(userData);
        sink->lastType = event->type;
        sink->onOtherThread = std::this_thread::get_id() != sink->testThread;
        ++sink->count;
    }
};

TEST_F(VlcPlayerContract, AttachEventsAttachesTwelveTypesInOrder) {
    auto player = makePlayer();
    EventSink sink;
    player->AttachEvents(&EventSink::callback, &sink);
    EXPECT_EQ(newCalls(), lines({"libvlc_event_attach(E1,268)", "libvlc_event_attach(E1,269)",
                                 "libvlc_event_attach(E1,267)", "libvlc_event_attach(E1,5)",
                                 "libvlc_event_attach(E1,256)", "libvlc_event_attach(E1,258)",
                                 "libvlc_event_attach(E1,259)", "libvlc_event_attach(E1,260)",
                                 "libvlc_event_attach(E1,261)", "libvlc_event_attach(E1,262)",
                                 "libvlc_event_attach(E1,265)", "libvlc_event_attach(E1,266)"}));
    EXPECT_EQ(player->m_pfnEventCallback, &EventSink::callback);
    EXPECT_EQ(player->m_pEventUserData, &sink);
    EXPECT_EQ(fake().fire(libvlc_MediaPlayerEndReached), 1);
    EXPECT_EQ(sink.lastType, libvlc_MediaPlayerEndReached);
    EXPECT_TRUE(sink.onOtherThread);
}

TEST_F(VlcPlayerContract, RecreateWithoutMediaKeepsInstanceAndPlayer) {
    auto player = makePlayer();
    libvlc_media_player_t* before = player->m_pPlayer;
    EXPECT_FALSE(player->Recreate());
    EXPECT_EQ(newCalls(), "");
    EXPECT_EQ(player->m_pPlayer, before);
    EXPECT_EQ(player->m_bUsable, 1);
}

TEST_F(VlcPlayerContract, RecreateRebuildsWithVolumeAndCallback) {
    auto player = makePlayer();
    EventSink sink;
    player->AttachEvents(&EventSink::callback, &sink);
    player->SetVolume(150);
    player->SetWindow(7);
    player->OpenMedia("/card/A.MP4");
    player->Play();
    clearLog();

    EXPECT_TRUE(player->Recreate());
    EXPECT_EQ(
        newCalls(),
        lines({"libvlc_media_release(M1)", "libvlc_media_player_release(P1)", "libvlc_release(I1)",
               "libvlc_new(5,-I,dummy,--ignore-config,--plugin-path=./plugins,--no-osd)",
               "libvlc_media_player_new(I2)", "libvlc_media_player_event_manager(P2)",
               "libvlc_event_attach(E2,268)", "libvlc_event_attach(E2,269)",
               "libvlc_event_attach(E2,267)", "libvlc_event_attach(E2,5)",
               "libvlc_event_attach(E2,256)", "libvlc_event_attach(E2,258)",
               "libvlc_event_attach(E2,259)", "libvlc_event_attach(E2,260)",
               "libvlc_event_attach(E2,261)", "libvlc_event_attach(E2,262)",
               "libvlc_event_attach(E2,265)", "libvlc_event_attach(E2,266)",
               "libvlc_audio_set_volume(P2,150)"}));
    EXPECT_EQ(player->m_pMedia, nullptr);
    EXPECT_EQ(player->m_nVolume, 150);
    EXPECT_EQ(fake().liveHandles(), 2); // the new instance and player only
    EXPECT_EQ(fake().fire(libvlc_MediaPlayerPlaying), 1);
    EXPECT_EQ(sink.lastType, libvlc_MediaPlayerPlaying);
    // No media any more: a second rebuild has nothing to drop.
    EXPECT_FALSE(player->Recreate());
}

TEST_F(VlcPlayerContract, RecreateWithoutCallbackAttachesNothing) {
    auto player = makePlayer();
    player->OpenMedia("/card/A.MP4");
    clearLog();
    EXPECT_TRUE(player->Recreate());
    EXPECT_EQ(newCalls().find("libvlc_event_attach"), std::string::npos);
}

// An unusable player must be inert: no libVLC call, failure values, flags
// unchanged.
void expectInert(CVlcPlayer& player) {
    const Flags before = flagsOf(player);
    EXPECT_EQ(player.m_bUsable, 0);
    EXPECT_EQ(player.GetTime(), -1);
    EXPECT_EQ(player.GetLength(), -1);
    EXPECT_FALSE(player.Recreate());
    EXPECT_FALSE(player.ShowMarquee("1.5 X", 48, 1));
    player.Play();
    EXPECT_EQ(flagsOf(player), before);
    player.Pause();
    player.Stop();
    player.SetVolume(10);
    player.SetRate(2.0f);
    player.SetTime(1000);
    player.SetMute(true);
    player.SetWindow(5);
    player.OpenMedia("/card/A.MP4");
    player.TakeSnapshot("/tmp/x.png");
    player.AttachEvents(&EventSink::callback, nullptr);
    EXPECT_EQ(flagsOf(player), before);
    EXPECT_EQ(player.m_pMedia, nullptr);
}

TEST_F(VlcPlayerContract, MissingLibraryMakesAnInertPlayer) {
    CVlcPlayer player("libkolvex-no-such-library.so.5");
    EXPECT_EQ(player.m_hLibrary, nullptr);
    EXPECT_EQ(flagsOf(player), (Flags{0, 0, 1, 200}));
    expectInert(player);
}

TEST_F(VlcPlayerContract, FailedCreationMakesAnInertPlayerAndReleasesWhatWasMade) {
    for (const char* failing :
         {"libvlc_new", "libvlc_media_player_new", "libvlc_media_player_event_manager"}) {
        SCOPED_TRACE(failing);
        fake().reset();
        fake().failNext(failing);
        {
            CVlcPlayer player(fake().path());
            EXPECT_EQ(fake().log().find("libvlc_audio_set_volume"), std::string::npos);
            const size_t afterConstruction = fake().log().size();
            expectInert(player);
            EXPECT_EQ(fake().log().size(), afterConstruction) << fake().log();
        }
        EXPECT_EQ(fake().liveHandles(), 0);
    }
}

TEST_F(VlcPlayerContract, FailedRecreateMakesAnInertPlayer) {
    auto player = makePlayer();
    player->OpenMedia("/card/A.MP4");
    fake().failNext("libvlc_media_player_new");
    EXPECT_FALSE(player->Recreate());
    EXPECT_EQ(fake().liveHandles(), 0);
    clearLog();
    expectInert(*player);
    EXPECT_EQ(newCalls(), "");
}

TEST_F(VlcPlayerContract, LibraryLackingAnEntryPointMakesAnInertPlayer) {
    const FakeVlcLibrary incomplete(KOLVEX_FAKE_VLC_INCOMPLETE_PATH);
    ASSERT_TRUE(incomplete.loaded());
    incomplete.reset();
    CVlcPlayer player(incomplete.path());
    EXPECT_EQ(incomplete.log(), ""); // checked before anything is created
    expectInert(player);
    EXPECT_EQ(incomplete.log(), "");
}

} // namespace
