// The G-sensor graph: the three axes of the current recording as curves
// against time, a cursor at the playback position, scale labels and a
// legend with the values under the cursor whose entries switch their curve
// on and off.
#pragma once

#include "library/instrument_views.h"

#include <QFont>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

namespace kolvex {

class CGSensorCtrl : public QWidget, public IGSensorGraphView {
public:
    // One sample: raw X, Y and Z.
    using Sample = std::array<int8_t, 3>;

    enum TimeScaleMode : int { kFit = 0, kPixelScale = 2 };

    explicit CGSensorCtrl(QWidget* parent = nullptr);

    // IGSensorGraphView.
    void ClearSamples() override;
    void SetScale(double rawScale, double maxG) override;
    void AppendSamples(int count, const int8_t* samples) override;
    void UpdateTimeScale() override;
    void SetCurrentTime(int32_t ms) override;
    void SetSamplesPerMs(double samplesPerMs) override { m_dSamplesPerMs = samplesPerMs; }
    void SetPixelsPerMs(double pixelsPerMs) override { m_dPixelsPerMs = pixelsPerMs; }
    void SetTimeScaleMode(int mode) override { m_nTimeScaleMode = mode; }
    void SetStopped(bool stopped) override;
    void Invalidate(bool) override { update(); }

    // The value shown in the legend for `axis` (0 = X) at the cursor.
    double LegendValue(int axis) const;
    // The legend entry of `axis`, as drawn.
    QString LegendText(int axis) const;
    // The graph as it paints, at its current size.
    void PaintTo(QPainter& painter);
    // Times (ms from the recording's start) of its driving events: each a
    // dashed orange line where it lies in the shown span.
    void SetEventMarks(std::vector<int64_t> timesMs);
    std::vector<int64_t> m_eventMarksMs;

    std::vector<Sample> m_samples;
    QRect m_rcPlot;
    int m_nPlotLeft = 0;
    int m_nMidY = 0;
    int m_nPlotRight = 0;
    int m_nPlotWidth = 0;
    int m_nPlotHeight = 0;
    double m_dSamplesPerMs = 0.016;
    double m_dSpanMs = 20000.0;
    double m_dDurationMs = 0.0;
    double m_dPixelsPerMs = 0.01;
    double m_dWindowStartMs = 0.0;
    double m_dCurrentMs = 0.0;
    int m_nTimeScaleMode = kFit;
    int m_nTickMs = 200;
    double m_dRawScale = 2.0;
    double m_dMaxG = 2.0;
    int m_bStopped = 0;
    std::array<QRect, 3> m_rcLegend{};
    std::array<int, 3> m_bShowAxis{1, 1, 1};

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ComputePlotRect();
    // The time shown across the plot, as the paint uses it.
    double PaintSpanMs() const;
    void PaintTicks(QPainter& painter, double span);
    void PaintCurves(QPainter& painter, double span);
    void PaintLabels(QPainter& painter);
    void PaintLegend(QPainter& painter);

    QFont m_labelFont;
    QFont m_legendFont;
};

} // namespace kolvex
