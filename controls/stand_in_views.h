// The instruments of the window before their own drawing exists: each
// holds its place in the layout, answers the library's interface and
// paints the window's dark background.
#pragma once

#include "library/instrument_views.h"

#include <QSlider>
#include <QWidget>

namespace kolvex {

// A dark, empty control.
class CStandInWidget : public QWidget {
public:
    explicit CStandInWidget(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_StyledBackground, true);
        setStyleSheet(QStringLiteral("background-color: rgb(20, 20, 24);"));
    }
};

class CGSensorCtrl : public CStandInWidget, public IGSensorGraphView {
public:
    using CStandInWidget::CStandInWidget;
    void ClearSamples() override {}
    void SetScale(double, double) override {}
    void AppendSamples(int, const int8_t*) override {}
    void UpdateTimeScale() override {}
    void SetCurrentTime(int32_t) override {}
    void SetSamplesPerMs(double) override {}
    void SetPixelsPerMs(double) override {}
    void SetTimeScaleMode(int) override {}
    void SetStopped(bool) override {}
    void Invalidate(bool) override { update(); }
};

class CPngCompassStatic : public QWidget, public ICompassView {
public:
    using QWidget::QWidget;
    void AddImage(int pictureId) { (void)pictureId; }
    void SetHeading(int) override {}
    bool SetImage(unsigned index) override {
        m_nImage = static_cast<int>(index);
        return true;
    }
    int m_nImage = 0;
};

class CSpeedLabelStatic : public QWidget, public ISpeedView {
public:
    using QWidget::QWidget;
    void SetSpeed(bool, uint16_t) override {}
};

class CStatusBoardStatic : public QWidget, public IStatusBoardView {
public:
    using QWidget::QWidget;
    void SetVisible(bool visible) override { setVisible(visible); }
    void SetProgress(int, const QString&) override {}
    void RepaintNow() override { repaint(); }
    int m_nBarBitmapId = 0;
};

class CVideoSlider : public QSlider {
public:
    explicit CVideoSlider(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}
};

class CMySliderControl : public QSlider {
public:
    explicit CMySliderControl(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}
};

// One tooltip for the window; the texts and pictures come with the
// instruments' work.
class CTavloToolTipCtrl {
public:
    void AddTool(QWidget* control, const QString& text) {
        if (control)
            control->setToolTip(text);
    }
    void RemoveAllTools() {}
};

} // namespace kolvex
