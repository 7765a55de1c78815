// How many threads read the files of a folder scan unless the caller
// chooses otherwise (CRecordingManager::SetScanOptions, kolvex-cli scan
// --readers).
#pragma once

namespace kolvex {

// Measured on cards of 1,000 and 10,000 recordings with a cold page cache
// (bench/library/cold_scan_bench): TO BE FILLED IN FROM THE FIGURES.
inline constexpr int kDefaultScanReaders = 8;

} // namespace kolvex
