// The NMEA side file of the dual camera's card: sentences a reader accepts
// (checksums, UTC, fields in their places).
#include "card_plan.h"
#include "nmea_side_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace kolvex::samplecard {
namespace {

TEST(NmeaSideFileTest, ChecksumIsTheXorBetweenDollarAndStar) {
    // The standard's own examples.
    EXPECT_EQ(NmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
              "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    EXPECT_EQ(NmeaSentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
              "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n");
}

unsigned Checksum(const std::string& line) {
    unsigned sum = 0;
    for (size_t i = 1; i < line.size() && line[i] != '*'; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    return sum;
}

TEST(NmeaSideFileTest, OneRmcAndOneGgaASecondInUtcAlongTheDrive) {
    const CardPlan plan = DualDatedCardPlan();
    const PlannedRecording* withSide = nullptr;
    for (const PlannedRecording& r : plan.recordings) {
        if (r.nmeaSideFile)
            withSide = &r;
    }
    ASSERT_NE(withSide, nullptr);
    const auto& drive = plan.drives.at(withSide->drive).states;
    std::istringstream text(NmeaSideText(drive, withSide->window));
    std::string line;
    int lines = 0;
    while (std::getline(text, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        const size_t star = line.rfind('*');
        ASSERT_EQ(star, line.size() - 3) << line;
        EXPECT_EQ(std::stoul(line.substr(star + 1), nullptr, 16), Checksum(line)) << line;
        EXPECT_EQ(line.substr(0, 7), lines % 2 == 0 ? "$GPRMC," : "$GPGGA,") << line;
        if (lines == 0) {
            // 08:12:00 on the camera's clock (UTC+2) is 06:12:00 UTC.
            EXPECT_EQ(line.substr(7, 9), "061200.00");
            EXPECT_NE(line.find(",140526,"), std::string::npos) << line;
            // The drive starts at 52.50810 N 13.39020 E.
            char expected[64];
            std::snprintf(expected, sizeof expected, ",A,5230.4860,N,01323.4120,E,");
            EXPECT_NE(line.find(expected), std::string::npos) << line;
        }
        ++lines;
    }
    EXPECT_EQ(lines, 2 * withSide->window.seconds);
}

} // namespace
} // namespace kolvex::samplecard
