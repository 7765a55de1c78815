#include "camera_clock_text.h"

#include "file_operation_messages.h"

#include "settings/language_table.h"
#include "settings/string_ids.h"
#include "tracks/camera_clock.h"

#include <QStringList>

namespace kolvex {

namespace {

QString TwoDigits(int64_t value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// "+01:00", "-03:30".
QString ZoneText(int64_t zoneSec) {
    const int64_t minutes = (zoneSec < 0 ? -zoneSec : zoneSec) / 60;
    return (zoneSec < 0 ? QStringLiteral("-") : QStringLiteral("+")) + TwoDigits(minutes / 60) +
           u':' + TwoDigits(minutes % 60);
}

} // namespace

QString ClockDurationText(int64_t seconds) {
    if (seconds < 0)
        seconds = -seconds;
    if (seconds >= 3600)
        return WithArguments(LoadLangString(StringId::ClockHours),
                             {QString::number(seconds / 3600), TwoDigits(seconds / 60 % 60),
                              TwoDigits(seconds % 60)});
    if (seconds >= 60)
        return WithArguments(LoadLangString(StringId::ClockMinutes),
                             {QString::number(seconds / 60), TwoDigits(seconds % 60)});
    return WithArguments(LoadLangString(StringId::ClockSeconds), {QString::number(seconds)});
}

InfoLines CameraClockLines(std::optional<int64_t> offsetSec, unsigned labelId) {
    if (!offsetSec)
        return {};
    const int64_t offset = *offsetSec;
    InfoLines lines;
    if (offset == 0) {
        lines.emplace_back(LoadLangString(labelId), LoadLangString(StringId::ClockSame));
        return lines;
    }
    lines.emplace_back(
        LoadLangString(labelId),
        WithArguments(LoadLangString(offset > 0 ? StringId::ClockAhead : StringId::ClockBehind),
                      {ClockDurationText(offset)}));
    const ClockOffsetParts parts = SplitClockOffset(offset);
    if (!parts.likeZone)
        return lines; // a clock simply set wrong: no zone to name
    if (parts.errorSec == 0)
        lines.emplace_back(QString(), WithArguments(LoadLangString(StringId::ClockZone),
                                                    {ZoneText(parts.zoneSec)}));
    else
        lines.emplace_back(
            QString(), WithArguments(LoadLangString(parts.errorSec > 0 ? StringId::ClockZoneFast
                                                                       : StringId::ClockZoneSlow),
                                     {ZoneText(parts.zoneSec), ClockDurationText(parts.errorSec)}));
    return lines;
}

QString TipText(const InfoLines& lines) {
    QStringList texts;
    for (const auto& [name, value] : lines)
        texts << (name.isEmpty() ? value : name + QStringLiteral(": ") + value);
    return texts.join(u'\n');
}

} // namespace kolvex
