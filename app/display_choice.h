// Which of Qt's platforms the window runs on. libVLC draws only into X11
// windows, so where both a Wayland and an X display exist the window runs
// on X (through the compositor's X server). An explicit QT_QPA_PLATFORM is
// left alone.
#pragma once

#include <QByteArray>
#include <optional>

namespace kolvex {

struct DisplayChoice {
    QByteArray platform;             // for QT_QPA_PLATFORM; empty: Qt's own choice
    std::optional<QByteArray> error; // no display at all: the line to print
};

DisplayChoice ChooseDisplay(const QByteArray& qpaPlatform, const QByteArray& waylandDisplay,
                            const QByteArray& x11Display);

// Chooses from the environment and sets QT_QPA_PLATFORM; false, after one
// line on stderr, when there is no display at all. Call before the
// QApplication exists.
bool ApplyDisplayChoice();

} // namespace kolvex
