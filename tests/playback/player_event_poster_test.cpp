// The adaptor between libVLC's event threads and the user-interface thread:
// which events become which posted messages, and that a callback never waits
// for the receiving thread.

#include "fake_vlc_library.h"
#include "player_event_poster.h"
#include "vlc_player.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

namespace {

struct Received {
    int message;
    qint64 wParam;
    qint64 lParam;
    bool operator==(const Received&) const = default;
};

void PrintTo(const Received& r, std::ostream* os) {
    *os << "{0x" << std::hex << r.message << std::dec << ", " << r.wParam << ", " << r.lParam
        << "}";
}

class Receiver : public QObject {
public:
    std::vector<Received> received;

protected:
    bool event(QEvent* e) override {
        if (auto* m = dynamic_cast<CPlayerMessageEvent*>(e)) {
            received.push_back({m->message(), m->m_nWParam, m->m_nLParam});
            return true;
        }
        return QObject::event(e);
    }
};

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "player_event_poster_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    return application;
}

libvlc_event_t eventOf(int type, libvlc_time_t time = 0) {
    libvlc_event_t e{};
    e.type = type;
    if (type == libvlc_MediaPlayerTimeChanged) {
        e.u.media_player_time_changed.new_time = time;
    }
    return e;
}

// Delivers the event from another thread, as libVLC does, while this thread
// does not run its event loop: a poster that waited for it would hang here.
std::vector<Received> deliver(CPlayerEventPoster::Role role, const libvlc_event_t& event) {
    app();
    Receiver receiver;
    CPlayerEventPoster poster(&receiver, role);
    std::thread libvlcThread([&] { CPlayerEventPoster::OnPlayerEvent(&event, &poster); });
    libvlcThread.join();
    QCoreApplication::sendPostedEvents(&receiver);
    return receiver.received;
}

struct MappingCase {
    const char* name;
    CPlayerEventPoster::Role role;
    libvlc_event_t event;
    std::optional<Received> expected;
};

TEST(PlayerEventPoster, TurnsEventsIntoTheirMessages) {
    using Role = CPlayerEventPoster::Role;
    const MappingCase cases[] = {
        {"front playing", Role::Front, eventOf(libvlc_MediaPlayerPlaying),
         Received{WM_PLAYER_STATE, 3, 0}},
        {"front paused", Role::Front, eventOf(libvlc_MediaPlayerPaused),
         Received{WM_PLAYER_STATE, 4, 0}},
        {"front time beyond 32 bits", Role::Front,
         eventOf(libvlc_MediaPlayerTimeChanged, 5'000'000'123LL),
         Received{WM_PLAYER_TIME, 5'000'000'123LL, 0}},
        {"front end", Role::Front, eventOf(libvlc_MediaPlayerEndReached),
         Received{WM_FRONT_END_REACHED, 1, 0}},
        {"front error", Role::Front, eventOf(libvlc_MediaPlayerEncounteredError),
         Received{WM_PLAYER_ERROR, 1, 0}},
        {"front position", Role::Front, eventOf(libvlc_MediaPlayerPositionChanged), std::nullopt},
        {"front opening", Role::Front, eventOf(libvlc_MediaPlayerOpening), std::nullopt},
        {"front stopped", Role::Front, eventOf(libvlc_MediaPlayerStopped), std::nullopt},
        {"rear end", Role::Rear, eventOf(libvlc_MediaPlayerEndReached),
         Received{WM_REAR_END_REACHED, 1, 0}},
        {"rear playing", Role::Rear, eventOf(libvlc_MediaPlayerPlaying), std::nullopt},
        {"rear time", Role::Rear, eventOf(libvlc_MediaPlayerTimeChanged, 10), std::nullopt},
        {"rear error", Role::Rear, eventOf(libvlc_MediaPlayerEncounteredError), std::nullopt},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Received> got = deliver(c.role, c.event);
        if (c.expected) {
            ASSERT_EQ(got.size(), 1u);
            EXPECT_EQ(got[0], *c.expected);
        } else {
            EXPECT_TRUE(got.empty());
        }
    }
}

TEST(PlayerEventPoster, AttachedPosterKeepsPostingAfterRecreate) {
    app();
    const FakeVlcLibrary fake(KOLVEX_FAKE_VLC_PATH);
    ASSERT_TRUE(fake.loaded());
    fake.reset();
    Receiver receiver;
    CPlayerEventPoster poster(&receiver, CPlayerEventPoster::Role::Front);
    CVlcPlayer player(fake.path());
    poster.AttachTo(player);
    player.OpenMedia("/card/A.MP4");
    ASSERT_TRUE(player.Recreate());

    EXPECT_EQ(fake.fire(libvlc_MediaPlayerEndReached), 1);
    QCoreApplication::sendPostedEvents(&receiver);
    ASSERT_EQ(receiver.received.size(), 1u);
    // lParam: the player's media count, one for the media and one for the
    // rebuild, so that a report of the media before them is told apart.
    EXPECT_EQ(receiver.received[0], (Received{WM_FRONT_END_REACHED, 1, 2}));
    EXPECT_EQ(player.m_nMediaSerial, 2);

    player.OpenMedia("/card/B.MP4");
    EXPECT_EQ(fake.fire(libvlc_MediaPlayerEndReached), 1);
    QCoreApplication::sendPostedEvents(&receiver);
    ASSERT_EQ(receiver.received.size(), 2u);
    EXPECT_EQ(receiver.received[1], (Received{WM_FRONT_END_REACHED, 1, 3}));
}

} // namespace
