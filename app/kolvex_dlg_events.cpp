// The current recording's driving events on the position slider, the
// G-sensor graph and the map, found again whenever a recording is loaded.
#include "kolvex_dlg.h"

#include "settings/app_settings.h"
#include "settings/event_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <algorithm>

namespace kolvex {

namespace {

// A click on a slider mark lands this much before the event.
constexpr int64_t kMarkLeadMs = 2000;

unsigned KindText(DrivingEventKind kind) {
    switch (kind) {
    case DrivingEventKind::Braking:
        return StringId::EventBraking;
    case DrivingEventKind::Acceleration:
        return StringId::EventAcceleration;
    case DrivingEventKind::Turn:
        return StringId::EventTurn;
    case DrivingEventKind::Impact:
        break;
    }
    return StringId::EventImpact;
}

} // namespace

QString DrivingEventLabel(const DrivingEvent& event) {
    const int64_t tenths = event.timeMs / 100;
    return QStringLiteral("%1 %2:%3.%4, %5 G")
        .arg(LoadLangString(KindText(event.kind)))
        .arg(tenths / 600, 2, 10, QLatin1Char('0'))
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10)
        .arg(event.peakG, 0, 'f', 2);
}

void CKolvexDlg::ShowDrivingEvents() {
    m_currentEvents.clear();
    RecordingAnalysis analysis;
    const int current = m_recordings.CurrentFile();
    if (current >= 0 &&
        m_recordings.AnalyseCurrent(ReadEventThresholds(CAppSettings::GetInstance()), analysis))
        m_currentEvents = analysis.events;
    const int64_t duration =
        current >= 0 && current < static_cast<int>(m_recordings.Entries().size())
            ? m_recordings.Entries()[static_cast<size_t>(current)].meta.durationMs
            : 0;
    std::vector<int> positions;
    std::vector<int64_t> times;
    for (const DrivingEvent& event : m_currentEvents) {
        times.push_back(event.timeMs);
        if (duration > 0)
            positions.push_back(static_cast<int>(std::clamp<int64_t>(
                event.timeMs * 1000 / duration, 0, m_positionSlider.maximum())));
    }
    m_positionSlider.m_nMarkLeadPermille =
        duration > 0 ? static_cast<int>(std::min<int64_t>(kMarkLeadMs * 1000 / duration, 1000)) : 0;
    m_positionSlider.SetEventMarks(std::move(positions));
    m_gsensor.SetEventMarks(std::move(times));
    m_recordings.PlotEventMarks(m_currentEvents, DrivingEventLabel);
}

} // namespace kolvex
