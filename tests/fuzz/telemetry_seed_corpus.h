// Seeds of one telemetry reader's fuzzer, written by the telemetry writer:
// the shapes a camera writes and a few that the reader must survive. The
// reader numbers are the fuzz program's (0 GPMF, 1 CAMM, 2 freeGPS, 3 NMEA).
#pragma once

#include "telemetry_writer.h"

#include <string>
#include <utility>
#include <vector>

namespace kolvex::fuzz {

std::vector<std::pair<std::string, fixtures::Bytes>> TelemetrySeedCorpus(int reader);

} // namespace kolvex::fuzz
