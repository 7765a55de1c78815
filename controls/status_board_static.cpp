#include "status_board_static.h"

#include "resources/skin/skin_image.h"

#include <QPainter>
#include <qdrawutil.h>

namespace kolvex {

CStatusBoardStatic::CStatusBoardStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    painter.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, m_strText);
    qDrawWinPanel(&painter, client, palette(), false);
}

} // namespace kolvex
