// A car's drive, integrated from what its driver does: accelerate, brake,
// hold a speed, turn. Positions, speed, heading and the forces the camera's
// G-sensor feels all come from the same integration, so they agree with
// each other the way a real recording's do.
#pragma once

#include <vector>

namespace kolvex::samplecard {

// One stretch of the drive: a constant acceleration along the road and a
// constant rate of turn. The car never rolls backwards: braking below
// standstill leaves it standing; it turns only while it moves.
struct Manoeuvre {
    double seconds = 0;
    double acceleration = 0; // m/s², negative brakes
    double turnRate = 0;     // degrees per second, positive turns right
};

struct DriveStart {
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    double heading = 0;   // degrees clockwise from north
    double altitude = 0;  // metres
};

// The car at one instant.
struct DriveState {
    double time = 0;                // seconds since the start of the drive
    double latitude = 0;            // decimal degrees
    double longitude = 0;           // decimal degrees
    double altitude = 0;            // metres
    double speed = 0;               // m/s
    double heading = 0;             // degrees clockwise from north, [0, 360)
    double acceleration = 0;        // m/s² along the car's axis, as it happened
    double lateralAcceleration = 0; // m/s², positive pushes the car to its right
};

inline constexpr double kStatesPerSecond = 10;

// The drive sampled kStatesPerSecond times a second, from time 0 to the end
// of the last manoeuvre inclusive.
std::vector<DriveState> SimulateDrive(const DriveStart& start,
                                      const std::vector<Manoeuvre>& manoeuvres);

// Great-circle distance in metres and initial bearing in degrees between
// two positions given in decimal degrees.
double DistanceMetres(double lat1, double lon1, double lat2, double lon2);
double BearingDegrees(double lat1, double lon1, double lat2, double lon2);

} // namespace kolvex::samplecard
