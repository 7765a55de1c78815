#include "event_settings.h"

#include <QString>

#include <cmath>

namespace kolvex {

namespace {

double ReadG(const CAppSettings& settings, const char* key, double defaultValue) {
    QString text = settings.ReadString(KolvexIni::kSectionUI, key).trimmed();
    // Written by hand in a language that writes 0,45 for 0.45.
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok); // always the C locale
    return ok && std::isfinite(value) && value >= 0 ? value : defaultValue;
}

int ReadMs(const CAppSettings& settings, const char* key, int defaultValue) {
    const QString text = settings.ReadString(KolvexIni::kSectionUI, key).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 ? value : defaultValue;
}

EventRule ReadRule(const CAppSettings& settings, const char* gKey, const char* msKey,
                   const EventRule& defaults) {
    return {ReadG(settings, gKey, defaults.thresholdG),
            ReadMs(settings, msKey, defaults.minDurationMs)};
}

} // namespace

EventThresholds ReadEventThresholds(const CAppSettings& settings) {
    using namespace KolvexIni;
    const EventThresholds defaults;
    EventThresholds thresholds;
    thresholds.braking = ReadRule(settings, kEventBrakeG, kEventBrakeMs, defaults.braking);
    thresholds.acceleration =
        ReadRule(settings, kEventAccelG, kEventAccelMs, defaults.acceleration);
    thresholds.turn = ReadRule(settings, kEventTurnG, kEventTurnMs, defaults.turn);
    thresholds.impact = ReadRule(settings, kEventImpactG, kEventImpactMs, defaults.impact);
    return thresholds;
}

} // namespace kolvex
