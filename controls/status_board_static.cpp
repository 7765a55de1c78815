#include "status_board_static.h"

#include "resources/skin/skin_image.h"

#include <QPainter>
#include <algorithm>
#include <qdrawutil.h>

namespace kolvex {

CStatusBoardStatic::CStatusBoardStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_cancel.hide();
    m_cancel.setFocusPolicy(Qt::NoFocus);
}

void CStatusBoardStatic::SetCancelButton(bool shown, const QString& text) {
    if (!text.isEmpty())
        m_cancel.setText(text);
    m_cancel.setVisible(shown);
    PlaceCancelButton();
    update();
}

void CStatusBoardStatic::PlaceCancelButton() {
    const int margin = 3;
    const int w = std::max(m_cancel.fontMetrics().horizontalAdvance(m_cancel.text()) + 20, 64);
    m_cancel.setGeometry(width() - margin - w, margin, w, std::max(height() - 2 * margin, 1));
}

void CStatusBoardStatic::resizeEvent(QResizeEvent*) {
    PlaceCancelButton();
}

void CStatusBoardStatic::SetProgress(int percent, const QString& text) {
    m_nPercent = percent;
    m_strText = text;
    update();
}

void CStatusBoardStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = rect();
    const int split = client.width() * m_nPercent / 100;
    const QRect filled(client.left(), client.top(), split, client.height());
    const QRect rest(client.left() + split, client.top(), client.width() - split, client.height());
    if (m_nBarBitmapId != 0) {
        if (m_nTileId != m_nBarBitmapId) {
            m_barTile = skin::loadImage(m_nBarBitmapId);
            m_nTileId = m_nBarBitmapId;
        }
        // A missing picture leaves the filled part unpainted.
        if (!m_barTile.isNull())
            painter.fillRect(filled, QBrush(m_barTile)); // tiled from the widget's origin
    } else {
        painter.fillRect(filled, m_crBar);
    }
    painter.fillRect(rest, m_crBackground);
    painter.setPen(m_crText);
    QRect textArea = client;
    if (m_cancel.isVisible())
        textArea.setRight(m_cancel.geometry().left() - 1);
    const QString shown =
        painter.fontMetrics().elidedText(m_strText, Qt::ElideRight, textArea.width() - 8);
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, shown);
    qDrawWinPanel(&painter, client, palette(), false);
}

} // namespace kolvex
