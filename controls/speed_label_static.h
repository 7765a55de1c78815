// The speed read-out: the speed of the current GPS sample in Km/h or MPH,
// in outlined digits; a click or a double-click switches the unit.
#pragma once

#include "library/instrument_views.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <unordered_map>

namespace kolvex {

class CSpeedLabelStatic : public QWidget, public ISpeedView {
public:
    explicit CSpeedLabelStatic(QWidget* parent = nullptr);

    // ISpeedView: stores the fix and the speed, rebuilds the strings and
    // repaints.
    void SetSpeed(bool valid, uint16_t kmh) override;
    void ToggleUnit();

    QString m_strSpeed;
    int m_bKmh = 1;
    int m_bValid = 1;
    uint16_t m_nSpeedKmh = 0;
    QString m_strUnit;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void BuildStrings();

    // The outlined texts are costly to draw: the last drawing is kept and
    // copied while the strings and the size stay the same.
    QImage m_drawn; // what the last paint showed
    // Readings drawn before, by their strings, for the widget's size.
    static constexpr size_t kMaxDrawings = 512;
    std::unordered_map<QString, QImage> m_drawings;
    QSize m_drawnSize;
    qreal m_drawnRatio = 0;
};

} // namespace kolvex
