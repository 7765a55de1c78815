// Writes the sample card into a folder: the clips, the camera's records in
// them, the read-only marks. A card is built in a hidden folder inside its
// folder and moved up only when complete, so a failure leaves the previous
// card as it was.
#pragma once

#include "card_plan.h"
#include "record_injector.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kolvex::samplecard {

// One file on the card, for the listing printed at the end.
struct WrittenFile {
    std::string path; // card-relative
    uint64_t bytes = 0;
    std::string description;
};

// The hidden file that marks a folder as a sample card, so that writing a
// new card may replace it and nothing else.
inline constexpr const char* kCardMarker = ".kolvex-sample-card";

// The records the camera writes into the recording.
CameraRecords RecordsFor(const CardPlan& plan, const PlannedRecording& recording);

// Builds the card into `folder`, which must be missing, empty or an earlier
// sample card. Throws std::runtime_error (with a reason a person can act on)
// when the folder holds something else or a step fails.
std::vector<WrittenFile> WriteSampleCard(const std::filesystem::path& folder, const CardPlan& plan);

} // namespace kolvex::samplecard
