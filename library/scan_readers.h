// How many threads read the files of a folder scan unless the caller
// chooses otherwise (CRecordingManager::SetScanOptions, kolvex-cli scan
// --readers).
#pragma once

namespace kolvex {

// Chosen from bench/library/cold_scan_bench on a virtual disk (2 cores,
// cards of 1,000 and 10,000 recordings). Cold, each doubling up to 8 cut
// the time by a third or more (8 readers: 3.5x to 4.5x faster than one file
// at a time; 1 reader: no faster); 12 and 16 gained another 10 to 30 %, but
// warm they were slower than 8 and in one run of 16 slower than one file at
// a time, as the threads outnumber the cores. 8 is the fastest warm (1.1x to
// 1.5x) and keeps at most 8 files open.
inline constexpr int kDefaultScanReaders = 8;

} // namespace kolvex
