#include "marker_statement.h"

#include <charconv>
#include <cmath>

namespace kolvex {

double MinutesFormToDegrees(double value) {
    const double whole = std::trunc(value);
    return whole + (value - whole) * 100.0 / 60.0;
}

QString FixedSixDecimals(double value) {
    // std::to_chars ignores the C library locale, which QApplication sets
    // from the environment (a German locale would print a comma with printf).
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return QString::fromLatin1(text, result.ptr - text);
}

QString MarkerStatement(double latitudeMinutesForm, double longitudeMinutesForm) {
    return QStringLiteral("movpos(%1, %2)")
        .arg(FixedSixDecimals(MinutesFormToDegrees(latitudeMinutesForm)),
             FixedSixDecimals(MinutesFormToDegrees(longitudeMinutesForm)));
}

} // namespace kolvex
