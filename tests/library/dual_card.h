// A dual camera's card, as the file-operation tests use it:
//   DCIM/CAMF/MOVA0010.MP4  08:12:00  rear DCIM/CAMR/MOVA001R.MP4
//   DCIM/CAMF/MOVG0020.MP4  08:12:20  event, read-only; rear DCIM/CAMR/MOVG002R.MP4, read-only
//   DCIM/CAMF/MOVA0030.MP4  08:12:40  no rear file
//   DCIM/MOVIE/MOVA0040.MOV 08:47:10  rear beside it, DCIM/MOVIE/MOVA004R.MOV
//   outside/victim.bin      read-only, no recording: what a link may point to
// Group 0 holds the three CAMF recordings, group 1 the MOVIE one.
#pragma once

#include "card_fixture.h"

#include <string>
#include <sys/stat.h>
#include <vector>

namespace kolvex::testing {

struct FrontAndRear {
    std::string front;
    std::string rear; // "" when the recording has none
};

inline const std::vector<FrontAndRear>& DualCardGroup0() {
    static const std::vector<FrontAndRear> group = {
        {"DCIM/CAMF/MOVA0010.MP4", "DCIM/CAMR/MOVA001R.MP4"},
        {"DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMR/MOVG002R.MP4"},
        {"DCIM/CAMF/MOVA0030.MP4", ""},
    };
    return group;
}

inline void WriteDualCard(TempCard& card) {
    card.AddRecording("DCIM/CAMF/MOVA0010.MP4", "2026-05-14 08:12:00", 20000);
    card.AddFile("DCIM/CAMR/MOVA001R.MP4", "rear view of 0010");
    card.AddRecording("DCIM/CAMF/MOVG0020.MP4", "2026-05-14 08:12:20", 20000);
    card.AddFile("DCIM/CAMR/MOVG002R.MP4", "rear view of 0020");
    card.AddRecording("DCIM/CAMF/MOVA0030.MP4", "2026-05-14 08:12:40", 20000);
    card.AddRecording("DCIM/MOVIE/MOVA0040.MOV", "2026-05-14 08:47:10", 20000);
    card.AddFile("DCIM/MOVIE/MOVA004R.MOV", "rear view of 0040");
    card.AddFile("outside/victim.bin", "a file nobody listed");
    for (const char* locked :
         {"DCIM/CAMF/MOVG0020.MP4", "DCIM/CAMR/MOVG002R.MP4", "outside/victim.bin"})
        ::chmod(card.Path(locked).c_str(), 0444);
}

// "DCIM/CAMF/MOVA0010.MP4" -> "DCIM/CAMF/MOVA001R.MP4": where a copy puts
// the rear file, beside its front file.
inline std::string RearBeside(const std::string& front) {
    std::string rear = front;
    rear[rear.rfind('.') - 1] = 'R';
    return rear;
}

} // namespace kolvex::testing
