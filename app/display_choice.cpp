#include "display_choice.h"

namespace kolvex {

DisplayChoice ChooseDisplay(const QByteArray& qpaPlatform, const QByteArray& waylandDisplay,
                            const QByteArray& x11Display) {
    DisplayChoice choice;
    if (!qpaPlatform.isEmpty())
        return choice;
    if (!x11Display.isEmpty()) {
        choice.platform = "xcb";
        return choice;
    }
    if (waylandDisplay.isEmpty())
        choice.error = "kolvex: no display to show the window on (DISPLAY is not set)";
    return choice;
}

} // namespace kolvex
