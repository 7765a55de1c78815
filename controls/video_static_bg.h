// The frame behind a video surface: the brand picture while the surface is
// hidden, black while a recording plays in it. A double-click asks the main
// window to toggle full screen.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace kolvex {

class CVideoStaticBg : public QWidget {
    Q_OBJECT

public:
    explicit CVideoStaticBg(QWidget* parent = nullptr);

    // Receives WM_TOGGLE_FULLSCREEN; the parent widget when none is set.
    void SetNotifyWindow(QObject* window);
    QObject* NotifyWindow() const;

    // 1 shows the brand picture, any other value the playing picture; the
    // frame is redrawn at once.
    void SetIdle(int idle);

    QImage m_bmpIdle;    // skin picture 196, loaded at the first paint
    QImage m_bmpPlaying; // skin picture 197, loaded at the first paint
    int m_bIdle = 1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointer<QObject> m_pNotifyWindow;
};

} // namespace kolvex
