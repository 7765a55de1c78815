#include "full_screen_controls.h"

#include "kolvex_dlg.h"

#include "controls/control_messages.h"

#include <QCursor>
#include <QPainter>
#include <QTimerEvent>

namespace kolvex {

namespace {

const QColor kPanelColour(5, 5, 5);

} // namespace

CFullScreenControls::CFullScreenControls(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FullScreenControls"));
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (QWidget* child : {static_cast<QWidget*>(&m_slider), static_cast<QWidget*>(&m_btnSlow),
                           static_cast<QWidget*>(&m_btnStop), static_cast<QWidget*>(&m_btnPlay),
                           static_cast<QWidget*>(&m_btnFast)})
        child->setParent(this);
    m_slider.setRange(0, 1000);
    Bind(m_btnSlow, IDC_SLOW, 137);
    Bind(m_btnStop, IDC_STOP, 133);
    Bind(m_btnPlay, IDC_PLAY, 129);
    Bind(m_btnFast, IDC_FAST, 136);
    m_btnPlay.SetAlternateImage(132);
    m_btnPlay.MakeToggle();
    setMouseTracking(true);
    hide();
}

void CFullScreenControls::Bind(CGdipButton& button, int command, int picture) {
    button.SetStandardImage(picture);
    connect(&button, &QAbstractButton::clicked, this, [this, command] {
        if (m_onCommand)
            m_onCommand(command);
    });
}

void CFullScreenControls::ShowAlong(const QRect& area) {
    setGeometry(area.left(), area.bottom() + 1 - kHeight, area.width(), kHeight);
    show();
    raise();
    m_hideTimer.start(kShowMs, this);
}

void CFullScreenControls::Follow(int playAltState, int sliderPosition) {
    if (m_btnPlay.m_bAltState != playAltState) {
        m_btnPlay.m_bAltState = playAltState;
        m_btnPlay.update();
    }
    if (!m_slider.m_bDragging)
        m_slider.setValue(sliderPosition);
}

bool CFullScreenControls::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case WM_SEEK_CHANGED:
        if (m_onSeek)
            m_onSeek(m_slider.value());
        m_hideTimer.start(kShowMs, this);
        return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
        // Used: the controls stay a while longer.
        m_hideTimer.start(kShowMs, this);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void CFullScreenControls::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kPanelColour);
}

void CFullScreenControls::resizeEvent(QResizeEvent*) {
    const int W = width();
    m_slider.setGeometry(10, 8, std::max(0, W - 20), 20);
    // The transport as in the window: slower, stop, play (larger), faster.
    const int left = W / 2 - (40 + 1 + 40 + 1 + 48 + 1 + 40) / 2;
    m_btnSlow.setGeometry(left, 44, 40, 40);
    m_btnStop.setGeometry(left + 41, 44, 40, 40);
    m_btnPlay.setGeometry(left + 82, 36, 48, 48);
    m_btnFast.setGeometry(left + 131, 44, 40, 40);
}

void CFullScreenControls::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_hideTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // Not while the user holds the slider.
    if (m_slider.m_bDragging)
        return;
    m_hideTimer.stop();
    hide();
}

} // namespace kolvex
