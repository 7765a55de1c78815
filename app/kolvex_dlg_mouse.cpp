// CKolvexDlg: painting the window's own surface, and the mouse doing what a
// window frame would: moving the window, resizing it by the grip, dragging
// the three splitters, maximising on a double-click; the window menu.
#include "kolvex_dlg.h"

#include "controls/outlined_text.h"
#include "map/view/html_map_dlg.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace kolvex {

namespace {

constexpr int kMinimumWidth = 800;
constexpr int kMinimumHeight = 560;
// The top strip above the video frames, where a window's title bar would be.
constexpr int kTopStripHeight = 48;

} // namespace

void CKolvexDlg::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = rect();
    painter.fillRect(client, m_brBackground);
    // The grip: four diagonal lines in the bottom-right corner.
    painter.setPen(QPen(QColor(150, 150, 150), 1));
    const int R = client.right() + 1, B = client.bottom() + 1;
    for (const int d : {25, 20, 15, 10})
        painter.drawLine(R - d, B, R, B - d);
    // Instruments repaint the window below them on every player tick; the
    // title's glow is costly and lies elsewhere.
    if (!m_bFullScreen && event->region().intersects(OutlinedTitleArea(m_strTitle, m_nTitleSize))) {
        painter.setRenderHint(QPainter::Antialiasing);
        DrawOutlinedTitle(painter, m_strTitle, m_nTitleSize);
    }
}

void CKolvexDlg::UpdateCursor(const QPoint& pos) {
    const QRect grip(m_nClientWidth - 20, m_nClientHeight - 20, 20, 20);
    if (grip.contains(pos))
        setCursor(Qt::SizeFDiagCursor);
    else if (m_rcMapSplit.contains(pos) || m_rcListSplit.contains(pos))
        setCursor(Qt::SizeVerCursor);
    else if (m_rcColumnSplit.contains(pos))
        setCursor(Qt::SizeHorCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void CKolvexDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QRect grip(m_nClientWidth - 20, m_nClientHeight - 20, 20, 20);
    if (grip.contains(pos))
        m_bResizing = 1;
    else if (m_rcMapSplit.contains(pos))
        m_bDragMapSplit = 1;
    else if (m_rcListSplit.contains(pos))
        m_bDragListSplit = 1;
    else if (m_rcColumnSplit.contains(pos))
        m_bDragColumnSplit = 1;
    if (m_bResizing || m_bDragMapSplit || m_bDragListSplit || m_bDragColumnSplit) {
        grabMouse();
        event->accept();
        return;
    }
    // Any other free point moves the window, as its caption would. The
    // window moves itself, from this press to its release: a move handed
    // to the window manager starts only once the manager takes it up, and
    // after a quick click it then takes the next click elsewhere (on the
    // slider, a list) as the end of a move the user never made.
    if (!m_bMaximized && !m_bFullScreen) {
        m_bManualMove = true;
        m_manualMoveOffset = event->globalPosition().toPoint() - geometry().topLeft();
        grabMouse();
    }
    event->accept();
}

void CKolvexDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int W = m_nClientWidth, H = m_nClientHeight;
    if (m_bManualMove && !(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere: the move is over all the same.
        m_bManualMove = false;
        releaseMouse();
    } else if (m_bManualMove) {
        move(event->globalPosition().toPoint() - m_manualMoveOffset);
    } else if (m_bResizing) {
        if (!m_bMaximized && !m_bFullScreen) {
            resize(std::max(pos.x(), kMinimumWidth), std::max(pos.y(), kMinimumHeight));
            setCursor(Qt::SizeFDiagCursor);
            m_bMaximized = 0;
        }
    } else if (m_bDragMapSplit) {
        setCursor(Qt::SizeVerCursor);
        m_nMapHeight = pos.y() - 48;
        LayoutControls(W, H);
    } else if (m_bDragListSplit) {
        setCursor(Qt::SizeVerCursor);
        m_nListHeight = H - pos.y() - 74;
        LayoutControls(W, H);
        m_gsensor.update();
    } else if (m_bDragColumnSplit) {
        setCursor(Qt::SizeHorCursor);
        m_nColumnWidth = W - pos.x() - 10;
        LayoutControls(W, H);
        m_gsensor.update();
    } else {
        UpdateCursor(pos);
    }
    QDialog::mouseMoveEvent(event);
}

void CKolvexDlg::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int W = m_nClientWidth, H = m_nClientHeight;
    bool ended = true;
    if (m_bManualMove) {
        m_bManualMove = false;
        releaseMouse();
        ended = false;
    } else if (m_bResizing) {
        if (!m_bMaximized && !m_bFullScreen)
            resize(std::max(pos.x(), kMinimumWidth), std::max(pos.y(), kMinimumHeight));
        releaseMouse();
        m_bResizing = 0;
    } else if (m_bDragMapSplit || m_bDragListSplit || m_bDragColumnSplit) {
        releaseMouse();
        if (m_bDragMapSplit)
            m_bDragMapSplit = 0;
        else if (m_bDragListSplit)
            m_bDragListSplit = 0;
        else
            m_bDragColumnSplit = 0;
        LayoutControls(W, H);
    } else {
        ended = false;
    }
    if (ended && m_pMapDlg) {
        m_pMapDlg->hide();
        m_pMapDlg->show();
    }
    QDialog::mouseReleaseEvent(event);
}

void CKolvexDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (m_bForwardingDoubleClick) {
        event->accept(); // the read-out did not take it: it ends here
        return;
    }
    if (m_speed.geometry().contains(pos)) {
        // The read-out switches its unit on its own double-click.
        QMouseEvent forwarded(QEvent::MouseButtonDblClick, QPointF(0, 0), QPointF(0, 0),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        m_bForwardingDoubleClick = true;
        QCoreApplication::sendEvent(&m_speed, &forwarded);
        m_bForwardingDoubleClick = false;
    } else {
        OnMaximizeRestore();
    }
    event->accept();
}

void CKolvexDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (event->pos().y() < kTopStripHeight) {
        ShowWindowMenu(event->globalPos());
        event->accept();
        return;
    }
    QDialog::contextMenuEvent(event);
}

void CKolvexDlg::ShowWindowMenu(const QPoint& globalPos) {
    // What a window frame's menu offers, since this window has no frame.
    QMenu menu(this);
    menu.addAction(tr("&Move"), this, [this] {
        if (QWindow* window = windowHandle(); !m_bMaximized && !m_bFullScreen && window)
            window->startSystemMove();
    });
    menu.addAction(tr("Mi&nimise"), this, [this] { OnCommand(IDC_MINIMIZE); });
    menu.addAction(m_bMaximized ? tr("&Restore") : tr("Ma&ximise"), this,
                   [this] { OnCommand(IDC_MAXIMIZE); });
    menu.addAction(tr("&Close"), this, [this] { OnCommand(IDC_CLOSE); });
    const QString about = LoadLangString(StringId::AboutCaption);
    if (!about.isEmpty()) {
        menu.addSeparator();
        menu.addAction(about, this, [this] { OnCommand(ID_APP_ABOUT); });
    }
    menu.exec(globalPos);
}

} // namespace kolvex
