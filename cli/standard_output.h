// Standard output whose failures are known with their reason. The stdio
// stream only keeps an error flag, and errno is long overwritten by the
// time a command ends; a full disk or /dev/full must still be told as
// such.
#pragma once

namespace kolvex::cli {

// Routes stdout through a writer that remembers the first write error.
// Call once, before anything is printed.
void CaptureStandardOutputErrors();

// Flushes stdout; 0 when everything printed reached it, else the system's
// error number of the first failed write (EIO when none was given).
int FinishStandardOutput();

} // namespace kolvex::cli
