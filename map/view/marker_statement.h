// Text of the marker call sent to the map page.
#pragma once

#include <QString>

namespace kolvex {

// Degrees-and-minutes form (22.3015 = 22 degrees 30.15 minutes) to decimal
// degrees; negative values convert symmetrically.
double MinutesFormToDegrees(double value);

// "movpos(%f, %f)" of the two converted coordinates: six decimals and a full
// stop whatever the process locale is, a space after the comma.
QString MarkerStatement(double latitudeMinutesForm, double longitudeMinutesForm);

// The "%f" conversion of the C locale: fixed point, six decimals.
QString FixedSixDecimals(double value);

} // namespace kolvex
