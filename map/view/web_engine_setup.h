// What the embedded browser needs before the QApplication exists.
#pragma once

namespace kolvex {

// Chromium refuses to start its sandbox as root: when the process runs as
// root, the sandbox is turned off (QTWEBENGINE_DISABLE_SANDBOX) and a line on
// stderr says so. Also shares OpenGL contexts, which the browser requires.
// Call before constructing the QApplication. Returns true when the sandbox
// was turned off.
bool PrepareWebEngineProcess();

} // namespace kolvex
