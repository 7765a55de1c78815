// The current recording's driving events on the position slider, the
// G-sensor graph and the map, found again whenever a recording is loaded.
#include "kolvex_dlg.h"

#include "camera_clock_text.h"
#include "info_panel.h"

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

namespace {

QString Clock(int64_t ms) {
    const int64_t seconds = ms / 1000;
    return seconds >= 3600 ? QStringLiteral("%1:%2:%3")
                                 .arg(seconds / 3600)
                                 .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                           : QStringLiteral("%1:%2")
                                 .arg(seconds / 60)
                                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

InfoLines TripFigureLines(const TripFigures& figures) {
    return {
        {LoadLangString(StringId::TripDistance),
         QStringLiteral("%1 km").arg(figures.distanceM / 1000.0, 0, 'f', 2)},
        {LoadLangString(StringId::TripDuration), Clock(figures.durationMs)},
        {LoadLangString(StringId::TripMoving), Clock(figures.movingMs)},
        {LoadLangString(StringId::TripTopSpeed),
         QStringLiteral("%1 km/h").arg(figures.maxSpeedKmh, 0, 'f', 0)},
        {LoadLangString(StringId::TripAverage),
         QStringLiteral("%1 km/h").arg(figures.averageSpeedKmh, 0, 'f', 0)},
        {LoadLangString(StringId::TripEvents), QString::number(figures.eventCount)},
    };
}

QString TripFiguresText(const TripFigures& figures) {
    QStringList lines;
    for (const auto& [name, value] : TripFigureLines(figures))
        lines << name + QStringLiteral(": ") + value;
    return lines.join(u'\n');
}

void CKolvexDlg::InstallTripTips() {
    m_groupList.m_rowTip = [this](int row) {
        TripFigures figures;
        if (!m_recordings.AnalyseGroup(row, ReadEventThresholds(CAppSettings::GetInstance()),
                                       figures))
            return QString();
        return TripFiguresText(figures);
    };
    m_fileList.m_rowTip = [this](int row) {
        RecordingAnalysis analysis;
        if (!m_recordings.AnalyseEntry(row, ReadEventThresholds(CAppSettings::GetInstance()),
                                       analysis))
            return QString();
        const QString clock =
            TipText(CameraClockLines(m_recordings.ClockOffset(row), StringId::CameraClock));
        return TripFiguresText(analysis.figures) +
               (clock.isEmpty() ? QString() : QStringLiteral("\n") + clock);
    };
}

void CKolvexDlg::ShowTripPanel() {
    const int current = m_recordings.CurrentFile();
    if (current < 0 || current >= static_cast<int>(m_recordings.Entries().size()))
        return;
    const EventThresholds thresholds = ReadEventThresholds(CAppSettings::GetInstance());
    RecordingAnalysis analysis;
    if (!m_recordings.AnalyseCurrent(thresholds, analysis))
        return;
    InfoLines lines = TripFigureLines(analysis.figures);
    for (auto& line : CameraClockLines(m_recordings.ClockOffset(current), StringId::CameraClock))
        lines.push_back(std::move(line));
    TripFigures group;
    const int groupIndex = m_recordings.GroupOfCurrentFile();
    if (m_recordings.AnalyseGroup(groupIndex, thresholds, group)) {
        lines.emplace_back(QString(), QString());
        lines.emplace_back(m_groupList.model()->index(groupIndex, 0).data().toString(), QString());
        for (auto& line : TripFigureLines(group))
            lines.push_back(std::move(line));
    }
    InfoLines card = CameraClockLines(m_recordings.CardClockOffset(), StringId::CameraClockAll);
    if (!card.empty()) {
        lines.emplace_back(QString(), QString());
        for (auto& line : card)
            lines.push_back(std::move(line));
    }
    const QString title = LoadLangString(StringId::TripTitle) + QStringLiteral(" · ") +
                          m_recordings.Entries()[static_cast<size_t>(current)].name;
    ShowInfoPanel(new CInfoPanel(this, title, lines));
}

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
