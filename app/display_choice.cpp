#include "display_choice.h"

#include <QtGlobal>

#include <cstdio>

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

bool ApplyDisplayChoice() {
    const DisplayChoice display =
        ChooseDisplay(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"));
    if (display.error) {
        std::fprintf(stderr, "%s\n", display.error->constData());
        return false;
    }
    if (!display.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", display.platform);
    return true;
}

} // namespace kolvex
