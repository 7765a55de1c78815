// CKolvexApp: prepares what the window needs, runs the main window until it
// closes, and ends. It holds no state of the program's own.
#pragma once

#include <QString>

namespace kolvex {

class CKolvexApp {
public:
    // Runs the whole program: returns when the main window has closed.
    // Returns the process's exit status. `path`, when not empty, is opened
    // once the window shows.
    int InitInstance(const QString& path = QString());
};

} // namespace kolvex
