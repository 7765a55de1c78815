// The library's way into the main window: the instruments it owns and the
// one question the library itself asks the user.
#pragma once

#include "instrument_views.h"

namespace kolvex {

class IMainWindowLink {
public:
    virtual ~IMainWindowLink() = default;
    // Each may be null when the window has no such control.
    virtual ICompassView* Compass() = 0;
    virtual ISpeedView* SpeedReadout() = 0;
    virtual IStatusBoardView* StatusBoard() = 0;
    // Asks whether an existing copy target may be replaced; false skips the
    // file. `targetPath` is the file that would be overwritten.
    virtual bool ConfirmOverwrite(const QString& targetPath) = 0;
};

} // namespace kolvex
