#include "drive_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kolvex::samplecard {

namespace {

constexpr double kEarthRadius = 6371000.0; // metres, mean radius
constexpr double kStepsPerState = 20;      // integration steps between two states
constexpr double kDegree = std::numbers::pi / 180.0;

// Below this speed a car cannot be steered round a bend.
constexpr double kMinimumTurningSpeed = 0.5; // m/s

double NormalisedHeading(double heading) {
    heading = std::fmod(heading, 360.0);
    return heading < 0 ? heading + 360.0 : heading;
}

// Gentle hills, a function of the distance driven so that a standing car
// keeps its altitude.
double Altitude(double base, double distance) {
    return base + 6.0 * std::sin(distance / 450.0) + 2.0 * std::sin(distance / 97.0);
}

} // namespace

std::vector<DriveState> SimulateDrive(const DriveStart& start,
                                      const std::vector<Manoeuvre>& manoeuvres) {
    const double dt = 1.0 / (kStatesPerSecond * kStepsPerState);
    double total = 0;
    for (const auto& m : manoeuvres)
        total += m.seconds;
    const auto stateCount = static_cast<long>(std::lround(total * kStatesPerSecond)) + 1;

    std::vector<DriveState> states;
    states.reserve(static_cast<size_t>(stateCount));
    DriveState car;
    car.latitude = start.latitude;
    car.longitude = start.longitude;
    car.heading = NormalisedHeading(start.heading);
    car.altitude = start.altitude;
    double distance = 0;
    size_t current = 0; // manoeuvre being driven
    double manoeuvreEnd = manoeuvres.empty() ? 0 : manoeuvres[0].seconds;

    const long steps = (stateCount - 1) * static_cast<long>(kStepsPerState);
    for (long step = 0; step <= steps; ++step) {
        car.time = static_cast<double>(step) * dt;
        if (step % static_cast<long>(kStepsPerState) == 0)
            states.push_back(car);
        if (step == steps)
            break;
        while (current + 1 < manoeuvres.size() && car.time + dt / 2 >= manoeuvreEnd) {
            ++current;
            manoeuvreEnd += manoeuvres[current].seconds;
        }
        const Manoeuvre& m = manoeuvres[current];

        const double before = car.speed;
        const double after = std::max(0.0, before + m.acceleration * dt);
        car.acceleration = (after - before) / dt;
        const double turnRate = after > kMinimumTurningSpeed ? m.turnRate : 0.0;
        car.lateralAcceleration = after * turnRate * kDegree;

        // Move along the mean heading and speed of the step.
        const double heading = car.heading + turnRate * dt / 2;
        const double travelled = (before + after) / 2 * dt;
        const double north = travelled * std::cos(heading * kDegree);
        const double east = travelled * std::sin(heading * kDegree);
        car.latitude += north / kEarthRadius / kDegree;
        car.longitude += east / (kEarthRadius * std::cos(car.latitude * kDegree)) / kDegree;
        car.heading = NormalisedHeading(car.heading + turnRate * dt);
        car.speed = after;
        distance += travelled;
        car.altitude = Altitude(start.altitude, distance);
    }
    return states;
}

double DistanceMetres(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kDegree, p2 = lat2 * kDegree;
    const double dp = p2 - p1, dl = (lon2 - lon1) * kDegree;
    const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                     std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2 * kEarthRadius * std::asin(std::sqrt(std::min(1.0, a)));
}

double BearingDegrees(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kDegree, p2 = lat2 * kDegree;
    const double dl = (lon2 - lon1) * kDegree;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    return NormalisedHeading(std::atan2(y, x) / kDegree);
}

} // namespace kolvex::samplecard
