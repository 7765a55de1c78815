// CKolvexDlg: where every control goes for a client size, the window's
// shape, and the small, medium, large, maximised, minimised and video
// full-screen states.
#include "kolvex_dlg.h"

#include "map/view/html_map_dlg.h"

#include <QCursor>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace kolvex {

namespace {

// The edge a sunken surface keeps inside its frame.
constexpr int kEdge = 2;

void Move(QWidget* control, int x, int y, int width, int height) {
    if (control)
        control->setGeometry(x, y, width, height);
}

// From (left, top) to (right, bottom), right and bottom exclusive.
void MoveTo(QWidget* control, int left, int top, int right, int bottom) {
    Move(control, left, top, right - left, bottom - top);
}

} // namespace

QRect CKolvexDlg::MonitorRect() const {
    const QScreen* screen = this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 560);
}

void CKolvexDlg::LayoutControls(int W, int H) {
    if (m_bFullScreen) {
        // Both frames cover the monitor; only the chosen surface is placed.
        const QRect monitor = MonitorRect();
        const QRect client(mapFromGlobal(monitor.topLeft()), monitor.size());
        m_frontFrame.setGeometry(client);
        m_rearFrame.setGeometry(client);
        FitVideoSurfaces();
        return;
    }

    // Top strip, at the right edge.
    Move(&m_btnClose, W - 32, 2, 25, 25);
    Move(&m_btnMaximize, W - 59, 2, 25, 25);
    Move(&m_btnMinimize, W - 86, 2, 25, 25);
    Move(&m_btnAbout, W - 113, 2, 25, 25);
    Move(&m_btnLarge, W - 159, 11, 16, 16);
    Move(&m_btnMedium, W - 179, 11, 16, 16);
    Move(&m_btnSmall, W - 199, 11, 16, 16);

    // Right column.
    int cw = m_nColumnWidth;
    if (cw > W - 20)
        cw = W - 20;
    cw = std::max(cw, 20);
    const int XR = W - 5 - cw;
    QWidget* map = m_pMapDlg ? static_cast<QWidget*>(m_pMapDlg) : m_pMapPlaceholder;
    if (m_bMapEnabled) {
        int mh = m_nMapHeight;
        if (mh > H - 127)
            mh = H - 127;
        mh = std::max(mh, 20);
        Move(map, XR, 48, W - 5 - XR, mh);
        MoveTo(&m_fileList, XR, mh + 53, W - 5, H - 64);
        m_rcMapSplit = QRect(QPoint(XR, 48), QPoint(W - 5 - 1, H - 64 - 1));
    } else {
        Move(map, XR, 0, W - 5 - XR, 0);
        MoveTo(&m_fileList, XR, 48, W - 5, H - 64);
    }
    m_rcColumnSplit = QRect(QPoint(XR - 5, 48), QPoint(XR - 1, H - 64 - 1));

    // Left area.
    const int gH = m_bGSensorEnabled ? m_gsensor.height() : 0;
    int lh = m_nListHeight;
    if (lh > H - 152 - gH)
        lh = H - 152 - gH;
    lh = std::max(lh, 20);
    const int half = XR / 2;
    const int vb = H - 99 - lh - gH;

    MoveTo(&m_frontFrame, 5, 48, half - 5, vb);
    MoveTo(&m_rearFrame, half - 5, 48, 2 * half - 5, vb);
    Move(&m_statusBoard, 5, vb - 30, half - 10, 30);

    Move(&m_positionSlider, 5, vb, 2 * half - 10, 20);
    int y = vb + 25;
    if (m_bGSensorEnabled) {
        Move(&m_gsensor, 5, y, 2 * half - 10, gH);
        y = y + gH + 5;
    }
    MoveTo(&m_groupList, 5, y, 2 * half - 5, H - 64);
    m_rcListSplit = QRect(QPoint(5, y - 5), QPoint(2 * half - 5 - 1, y - 1));

    // Bottom bar.
    Move(&m_btnOpen, 8, H - 44, 48, 36);
    Move(&m_btnSnapshot, 56, H - 44, 48, 36);
    Move(&m_btnSaveAs, 104, H - 44, 48, 36);
    Move(&m_btnDelete, 152, H - 44, 48, 36);
    Move(&m_btnConfig, 200, H - 44, 48, 36);
    Move(&m_btnSlow, 268, H - 48, 40, 40);
    Move(&m_btnStop, 309, H - 48, 40, 40);
    Move(&m_btnPlay, 350, H - 56, 48, 48);
    Move(&m_btnFast, 399, H - 48, 40, 40);
    Move(&m_btnMute, 450, H - 40, 12, 24);
    Move(&m_volumeSlider, 464, H - 36, 80, 20);
    Move(&m_btnAutoNext, W - 195, H - 40, 32, 32);
    Move(&m_btnKml, W - 161, H - 40, 32, 32);
    Move(&m_btnMap, W - 127, H - 40, 32, 32);
    Move(&m_btnGSensor, W - 93, H - 40, 32, 32);
    Move(&m_btnUnlock, W - 59, H - 40, 32, 32);

    FitVideoSurfaces();
}

void CKolvexDlg::FitVideoSurfaces() {
    QRect r1 = m_frontFrame.geometry();
    QRect r2 = m_rearFrame.geometry();
    if (!m_bFullScreen) {
        r1.adjust(kEdge, kEdge, -kEdge, -kEdge);
        r2.adjust(kEdge, kEdge, -kEdge, -kEdge);
    }
    int w = 0, h = 0;
    if (m_recordings.GetCurrentPictureSize(&w, &h) && w > 0 && h > 0) {
        const int64_t rw = r1.width(), rh = r1.height();
        const int64_t A = rw * h;
        const int64_t B = rh * w;
        if (B > A) {
            const int nh = static_cast<int>(A / w);
            const int dy = static_cast<int>((rh - nh) / 2);
            for (QRect* r : {&r1, &r2}) {
                r->setTop(r->top() + dy);
                r->setHeight(nh);
            }
        } else if (B < A) {
            const int nw = static_cast<int>(B / h);
            const int dx = static_cast<int>((rw - nw) / 2);
            for (QRect* r : {&r1, &r2}) {
                r->setLeft(r->left() + dx);
                r->setWidth(nw);
            }
        }
    }
    if (!m_bFullScreen) {
        m_frontVideo.setGeometry(r1);
        m_rearVideo.setGeometry(r2);
    } else if (m_nFullScreenVideo == 1) {
        m_frontVideo.setGeometry(r1);
    } else if (m_nFullScreenVideo == 2) {
        m_rearVideo.setGeometry(r2);
    }
}

QRegion CKolvexDlg::WindowShape(int cx, int cy) const {
    if (m_bFullScreen)
        return QRegion(0, 0, cx, cy);
    // The rounded rectangle with a 10 x 10 corner ellipse...
    QRegion rounded(5, 0, std::max(cx - 10, 0), cy);
    rounded += QRegion(0, 5, cx, std::max(cy - 10, 0));
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(cx - 10, 0), QPoint(0, cy - 10), QPoint(cx - 10, cy - 10)})
        rounded += QRegion(QRect(corner, QSize(10, 10)), QRegion::Ellipse);
    // ...whose top-left corner is cut round with radius 30.
    const QRegion square(0, 0, 30, 30);
    const QRegion circle(QRect(0, 0, 60, 60), QRegion::Ellipse);
    return rounded.xored((square & rounded) - (square & circle));
}

void CKolvexDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int cx = event->size().width();
    const int cy = event->size().height();
    if (cx == 0 && cy == 0)
        return;
    m_nClientWidth = cx;
    m_nClientHeight = cy;
    setMask(WindowShape(cx, cy));
    if (QSize(cx, cy) != m_lastLayoutSize)
        LayoutControls(cx, cy);
    m_lastLayoutSize = QSize(cx, cy);
    if (m_bMinimized)
        ShowSurfacesAfterMinimise();
    update();
}

void CKolvexDlg::MoveWindowTo(const QRect& rect) {
    setGeometry(rect);
    raise();
    show();
}

void CKolvexDlg::OnSmallWindow() {
    const QRect M = MonitorRect();
    m_bMaximized = 0;
    setGeometry(M.left() + (M.width() - 800) / 2, M.top() + (M.height() - 560) / 2, 800, 560);
}

void CKolvexDlg::OnMediumWindow() {
    const QRect M = MonitorRect();
    m_bMaximized = 0;
    setGeometry(M.left() + M.width() / 8, M.top() + M.height() / 8,
                std::max(4 * M.width() / 5, 800), std::max(4 * M.height() / 5, 560));
}

void CKolvexDlg::OnLargeWindow() {
    const QRect M = MonitorRect();
    m_bMaximized = 0;
    setGeometry(M);
}

void CKolvexDlg::SaveRestoreRect() {
    m_nRestoreTop = geometry().top();
    m_nRestoreLeft = geometry().left();
    m_nRestoreWidth = m_nClientWidth;
    m_nRestoreHeight = m_nClientHeight;
}

void CKolvexDlg::OnMaximizeRestore() {
    if (!m_bMaximized) {
        SaveRestoreRect();
        MoveWindowTo(MonitorRect());
        m_bMaximized = 1;
    } else {
        MoveWindowTo(QRect(m_nRestoreLeft, m_nRestoreTop, m_nRestoreWidth, m_nRestoreHeight));
        m_bMaximized = 0;
    }
    if (m_pMapDlg && m_bMapEnabled) {
        m_pMapDlg->hide();
        m_pMapDlg->show();
    }
}

void CKolvexDlg::ShowSurfacesAfterMinimise() {
    // Only a surface that was playing comes back: an idle frame keeps its
    // picture rather than an empty surface in front of it.
    m_bMinimized = 0;
    if (!m_frontFrame.m_bIdle)
        m_frontVideo.show();
    if (!m_rearFrame.m_bIdle)
        m_rearVideo.show();
}

void CKolvexDlg::OnMinimize() {
    showMinimized();
    m_bMinimized = 1;
}

int CKolvexDlg::VideoUnderCursor() {
    const QRect front(m_frontVideo.mapToGlobal(QPoint(0, 0)), m_frontVideo.size());
    const QRect rear(m_rearVideo.mapToGlobal(QPoint(0, 0)), m_rearVideo.size());
    if (front.contains(m_ptCursor)) {
        m_nFullScreenVideo = 1;
        return 1;
    }
    if (rear.contains(m_ptCursor)) {
        m_nFullScreenVideo = 2;
        return 2;
    }
    return -1;
}

void CKolvexDlg::OnToggleFullScreen() {
    m_ptCursor = QCursor::pos();
    VideoUnderCursor();
    SwitchFullScreen();
}

void CKolvexDlg::SwitchFullScreen() {
    if (m_recordings.Entries().empty())
        return;
    // The switch happens under paused pictures.
    const CPlaybackController::Suspension suspension = m_playback.Suspend();

    if (!m_bFullScreen) {
        SaveRestoreRect();
        const QRect M = MonitorRect();
        m_bFullScreen = 1;
        m_bMaximized = 0;
        ShowFullScreenControls(false);
        const int height = (M.width() == m_nClientWidth || M.height() == m_nClientHeight)
                               ? M.height() - 1
                               : M.height();
        MoveWindowTo(QRect(M.left(), M.top(), M.width(), height));
        m_btnPlay.setFocus();
        m_keyNudgeTimer.start(800, this);
        if (m_nFullScreenVideo == 1) {
            m_rearVideo.hide();
            m_frontVideo.update();
        } else if (m_nFullScreenVideo == 2) {
            m_frontVideo.hide();
            m_rearVideo.update();
        }
    } else {
        m_bFullScreen = 0;
        m_fullScreenControls.hide();
        ShowFullScreenControls(true);
        MoveWindowTo(QRect(m_nRestoreLeft, m_nRestoreTop, m_nRestoreWidth, m_nRestoreHeight));
        // The move may not change the size (then no layout runs): lay out
        // for the restored size now, so that the controls come back.
        LayoutControls(m_nClientWidth, m_nClientHeight);
        setMask(WindowShape(m_nClientWidth, m_nClientHeight));
        const std::pair<CVideoStaticBg*, CVideoStatic*> windows[] = {{&m_frontFrame, &m_frontVideo},
                                                                     {&m_rearFrame, &m_rearVideo}};
        for (const auto& [frame, surface] : windows) {
            frame->SetIdle(frame->m_bIdle);
            surface->setVisible(frame->m_bIdle == 0);
        }
    }

    m_playback.Resume(suspension);
}

void CKolvexDlg::ShowFullScreenControls(bool show) {
    m_gsensor.setVisible(show && m_bGSensorEnabled);
    QWidget* controls[] = {
        &m_btnPlay,      &m_btnStop,   &m_btnSlow,     &m_btnFast,     &m_btnConfig,
        &m_btnDelete,    &m_btnSaveAs, &m_btnSnapshot, &m_btnOpen,     &m_btnAutoNext,
        &m_btnKml,       &m_btnMap,    &m_btnGSensor,  &m_btnUnlock,   &m_positionSlider,
        &m_volumeSlider, &m_gpsIcon,   &m_btnClose,    &m_btnMaximize, &m_btnMinimize,
        &m_btnAbout,     &m_btnMute,   &m_logo,        &m_groupList,   &m_fileList,
        &m_compass,      &m_speed,     &m_btnSmall,    &m_btnMedium,   &m_btnLarge};
    for (QWidget* control : controls)
        control->setVisible(show);
    m_btnRotate.hide();
    m_statusBoard.hide();
    if (m_pMapDlg) {
        if (show && m_bMapEnabled)
            m_pMapDlg->show();
        else
            m_pMapDlg->setGeometry(0, 0, 1, 1);
    }
    if (m_nFullScreenVideo == 1) {
        m_rearVideo.setVisible(show);
        m_rearFrame.setVisible(show);
    } else if (m_nFullScreenVideo == 2) {
        m_frontVideo.setVisible(show);
        m_frontFrame.setVisible(show);
    }
}

} // namespace kolvex
