#include "gsensor_ctrl.h"

#include "text_fonts.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QResizeEvent>

#include <algorithm>

namespace kolvex {

namespace {

constexpr double kFitSpanMs = 20000.0;
// Raw units per G at a raw scale of 1: 1 / 128.
constexpr double kRawUnit = 0.0078125;

const QColor kAxisColours[3] = {QColor(255, 255, 0), QColor(60, 255, 60), QColor(255, 60, 60)};
const char* const kAxisNames[3] = {"X", "Y", "Z"};
const QColor kTickColour(102, 102, 102);
const QColor kGreyedText(160, 160, 160);

constexpr int kLabelCellHeight = 10;
constexpr int kLegendCellHeight = 13;

QFont CellFont(int cellHeight) {
    const QString family = QString::fromLatin1(kArialFamily);
    return StyleFont(family, EmSizeForCellHeight(family, cellHeight));
}

// Text whose line's top-left lies at (x, y), on an opaque box of
// `background` as tall as the line.
void DrawTextAt(QPainter& painter, int x, int y, int cellHeight, const QString& text,
                const QColor& colour, const QColor& background) {
    const QFontMetrics metrics(painter.font());
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), cellHeight), background);
    painter.setPen(colour);
    const int em = painter.font().pixelSize();
    const int ascent = qRound(LineAscent(QString::fromLatin1(kArialFamily), em));
    painter.drawText(QPoint(x, y + ascent), text);
}

// A frame whose top and left edges are `topLeft`, right and bottom edges
// `bottomRight`; (left, top, right, bottom) with right and bottom outside.
void Draw3dRect(QPainter& painter, int left, int top, int right, int bottom, const QColor& topLeft,
                const QColor& bottomRight) {
    const int cx = right - left, cy = bottom - top;
    painter.fillRect(QRect(left, top, cx - 1, 1), topLeft);
    painter.fillRect(QRect(left, top, 1, cy - 1), topLeft);
    painter.fillRect(QRect(right - 1, top, 1, cy), bottomRight);
    painter.fillRect(QRect(left, bottom - 1, cx, 1), bottomRight);
}

} // namespace

CGSensorCtrl::CGSensorCtrl(QWidget* parent)
    : QWidget(parent), m_labelFont(CellFont(kLabelCellHeight)),
      m_legendFont(CellFont(kLegendCellHeight)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ComputePlotRect();
    UpdateTimeScale();
}

void CGSensorCtrl::ClearSamples() {
    m_samples.clear();
    m_dCurrentMs = 0;
    update();
}

void CGSensorCtrl::SetScale(double rawScale, double maxG) {
    m_dRawScale = rawScale == 0 ? 8.0 : rawScale;
    m_dMaxG = maxG == 0 ? 8.0 : maxG;
}

void CGSensorCtrl::AppendSamples(int count, const int8_t* samples) {
    if (count <= 0 || !samples)
        return;
    m_samples.reserve(m_samples.size() + static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_samples.push_back({samples[3 * i], samples[3 * i + 1], samples[3 * i + 2]});
}

void CGSensorCtrl::ComputePlotRect() {
    const QRect client = rect();
    // Right and bottom are exclusive, as the plot's arithmetic counts them.
    const int left = client.left() + 24, top = client.top() + 20;
    const int right = client.right() + 1 - 2, bottom = client.bottom() + 1 - 8;
    m_rcPlot = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    m_nPlotLeft = left;
    m_nMidY = top + (bottom - top) / 2;
    m_nPlotRight = right;
    m_nPlotWidth = right - left;
    m_nPlotHeight = bottom - top;
}

void CGSensorCtrl::UpdateTimeScale() {
    ComputePlotRect();
    m_dDurationMs =
        m_dSamplesPerMs > 0 ? static_cast<double>(m_samples.size()) / m_dSamplesPerMs : 0.0;
    if (m_nTimeScaleMode == kPixelScale)
        m_dSpanMs = m_dPixelsPerMs > 0 ? m_nPlotWidth / m_dPixelsPerMs : 0.0;
    else
        m_dSpanMs = kFitSpanMs;
}

double CGSensorCtrl::PaintSpanMs() const {
    double span = m_dSpanMs;
    if (m_nTimeScaleMode == kPixelScale)
        span = static_cast<double>(static_cast<long long>(span));
    return span == 0 ? kFitSpanMs : span;
}

void CGSensorCtrl::SetCurrentTime(int32_t ms) {
    m_dCurrentMs = ms;
    UpdateTimeScale();
    if (m_dDurationMs < m_dCurrentMs)
        m_dCurrentMs = m_dDurationMs;
    else if (m_dCurrentMs < 0)
        m_dCurrentMs = 0;
    const double duration = m_dDurationMs, span = m_dSpanMs, half = span / 2;
    const double current = m_dCurrentMs;
    if (half > current || span > duration)
        m_dWindowStartMs = 0; // the whole beginning, or all the data, fits
    else if (current + half < duration)
        m_dWindowStartMs = current - half; // the cursor in the middle, the curves scroll
    else
        m_dWindowStartMs = duration - span; // the end reached: the cursor moves on
    update();
}

void CGSensorCtrl::SetStopped(bool stopped) {
    m_bStopped = stopped ? 1 : 0;
    update();
}

double CGSensorCtrl::LegendValue(int axis) const {
    const auto n = static_cast<long long>(static_cast<long long>(m_dCurrentMs) * m_dSamplesPerMs);
    if (n < 0 || n >= static_cast<long long>(m_samples.size()))
        return 0.0;
    return m_samples[static_cast<size_t>(n)][static_cast<size_t>(axis)] * m_dRawScale * kRawUnit;
}

QString CGSensorCtrl::LegendText(int axis) const {
    return QString::asprintf("%s: %0.4f G    ", kAxisNames[axis], LegendValue(axis));
}

void CGSensorCtrl::SetEventMarks(std::vector<int64_t> timesMs) {
    m_eventMarksMs = std::move(timesMs);
    update();
}

void CGSensorCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintTo(painter);
}

void CGSensorCtrl::PaintTo(QPainter& painter) {
    painter.fillRect(rect(), Qt::black);
    UpdateTimeScale();
    const double span = PaintSpanMs();
    const int left = m_nPlotLeft, top = m_rcPlot.top(), bottom = m_rcPlot.bottom() + 1;

    // Lines end before their last point.
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(left, m_nMidY, m_nPlotRight - 1, m_nMidY);
    painter.setPen(QPen(kTickColour, 1));
    painter.drawLine(left, top, left, bottom - 1);
    PaintTicks(painter, span);
    PaintCurves(painter, span);

    painter.setPen(QPen(QColor(255, 150, 0), 1, Qt::DashLine));
    for (const int64_t mark : m_eventMarksMs) {
        const double offset = static_cast<double>(mark) - m_dWindowStartMs;
        if (offset < 0 || offset > span)
            continue;
        const int x = static_cast<int>(offset * m_nPlotWidth / span) + left;
        painter.drawLine(x, top, x, bottom - 1);
    }

    const int cursorX =
        static_cast<int>((m_dCurrentMs - m_dWindowStartMs) * m_nPlotWidth / span) + left;
    painter.setPen(QPen(QColor(0, 0, 255), 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(cursorX, top - 4, cursorX, bottom + 4);

    PaintLabels(painter);
    PaintLegend(painter);
}

void CGSensorCtrl::PaintTicks(QPainter& painter, double span) {
    const double count = span / m_nTickMs;
    const int top = m_rcPlot.top(), bottom = m_rcPlot.bottom() + 1;
    painter.setPen(QPen(kTickColour, 1));
    for (int k = 0; k < count; ++k) {
        const int x = static_cast<int>(k * m_nPlotWidth / count + m_nPlotLeft);
        const int length = k % 10 == 0 ? 6 : k % 10 == 5 ? 4 : 2;
        for (const int end : {top, m_nMidY, bottom})
            painter.drawLine(x, end - length, x, end - 1);
    }
}

void CGSensorCtrl::PaintCurves(QPainter& painter, double span) {
    const int width = m_nPlotWidth;
    if (width <= 0 || m_bStopped)
        return;
    std::array<QPolygon, 3> curves;
    for (QPolygon& curve : curves) {
        curve.reserve(width + 1);
        curve.append(QPoint(m_nPlotLeft, m_nMidY));
    }
    const double unitsPerPixel = m_nPlotHeight / (2 * m_dMaxG);
    const auto count = static_cast<long long>(m_samples.size());
    for (int i = 0; i < width; ++i) {
        const auto t = static_cast<long long>(i * span / width + m_dWindowStartMs);
        const auto n = static_cast<long long>(static_cast<double>(t) * m_dSamplesPerMs);
        if (n >= count || n < 0)
            break;
        const Sample& sample = m_samples[static_cast<size_t>(n)];
        for (size_t axis = 0; axis < 3; ++axis) {
            const double g = std::clamp(sample[axis] * m_dRawScale * kRawUnit, -m_dMaxG, m_dMaxG);
            curves[axis].append(
                QPoint(m_nPlotLeft + i, static_cast<int>(m_nMidY - g * unitsPerPixel)));
        }
    }
    for (size_t axis = 0; axis < 3; ++axis) {
        if (!m_bShowAxis[axis] || curves[axis].size() < 2)
            continue;
        painter.setPen(QPen(kAxisColours[axis], 1));
        painter.drawPolyline(curves[axis]);
    }
}

void CGSensorCtrl::PaintLabels(QPainter& painter) {
    painter.setFont(m_labelFont);
    const int a = (height() - 20) / 6;
    const QString labels[3] = {QString::asprintf(" %1.0fG", m_dMaxG),
                               QString::asprintf(" %0.0fG", 0.0),
                               QString::asprintf("-%1.0fG", m_dMaxG)};
    for (int row = 0; row < 3; ++row)
        DrawTextAt(painter, 4, (2 * row + 1) * a + 10, kLabelCellHeight, labels[row], Qt::white,
                   Qt::black);
}

void CGSensorCtrl::PaintLegend(QPainter& painter) {
    painter.setFont(m_legendFont);
    const QFontMetrics metrics(m_legendFont);
    const int cy = kLegendCellHeight;
    int x = 40;
    for (size_t axis = 0; axis < 3; ++axis) {
        const QString text = LegendText(static_cast<int>(axis));
        const int cx = metrics.horizontalAdvance(text);
        const bool active = !m_bStopped && m_bShowAxis[axis] && m_dDurationMs != 0;
        const int d = active ? 1 : 0;
        // The frame hugs the text by one pixel; an active entry stands out
        // one pixel to the right and down.
        Draw3dRect(painter, x - 1 + d, 1 + d, x + cx + 1 + d, cy + 3 + d,
                   active ? QColor(130, 130, 130) : QColor(100, 100, 100),
                   active ? QColor(80, 80, 80) : QColor(50, 50, 50));
        DrawTextAt(painter, x + d, d + 2, cy, text, active ? kAxisColours[axis] : kGreyedText,
                   Qt::black);
        m_rcLegend[axis] = QRect(x + d, d + 2, cx, cy);
        x += cx + 8;
    }
}

void CGSensorCtrl::mousePressEvent(QMouseEvent* event) {
    // The widget keeps the mouse until the button is released.
    event->accept();
}

void CGSensorCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        update();
}

void CGSensorCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    for (size_t axis = 0; axis < 3; ++axis) {
        if (m_rcLegend[axis].contains(pos)) {
            m_bShowAxis[axis] = !m_bShowAxis[axis];
            break;
        }
    }
    update();
}

void CGSensorCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept(); // a double-click does nothing
}

void CGSensorCtrl::resizeEvent(QResizeEvent* event) {
    UpdateTimeScale();
    QWidget::resizeEvent(event);
}

} // namespace kolvex
