// Which platform the window runs on: X wherever an X display exists (the
// player draws only into X windows), Qt's choice when the user named one,
// and a clear failure without any display.
#include "app/display_choice.h"

#include <gtest/gtest.h>

namespace kolvex::testing {
namespace {

TEST(DisplayChoiceTest, PrefersXAndRespectsAnExplicitPlatform) {
    const struct {
        const char *qpa, *wayland, *x11;
        const char* platform;
        bool error;
    } cases[] = {
        {"", "wayland-0", ":0", "xcb", false}, // both: through the compositor's X server
        {"", "", ":0", "xcb", false},
        {"", "wayland-0", "", "", false}, // Wayland only: Qt's choice, no picture embedding
        {"offscreen", "", "", "", false}, // what the user asked for
        {"wayland", "wayland-0", ":0", "", false},
        {"", "", "", "", true},
    };
    for (const auto& c : cases) {
        const DisplayChoice choice = ChooseDisplay(c.qpa, c.wayland, c.x11);
        EXPECT_EQ(choice.platform, QByteArray(c.platform))
            << c.qpa << "|" << c.wayland << "|" << c.x11;
        EXPECT_EQ(choice.error.has_value(), c.error);
    }
}

} // namespace
} // namespace kolvex::testing
