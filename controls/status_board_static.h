// The progress board of the long file operations: a bar filled from the
// left, tiled with the skin's bar picture, a centred text and a raised edge.
#pragma once

#include "library/instrument_views.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace kolvex {

class CStatusBoardStatic : public QWidget, public IStatusBoardView {
public:
    explicit CStatusBoardStatic(QWidget* parent = nullptr);

    // IStatusBoardView.
    void SetVisible(bool visible) override { setVisible(visible); }
    // m_nPercent and m_strText, then a repaint is scheduled.
    void SetProgress(int percent, const QString& text) override;
    void RepaintNow() override { repaint(); }

    // Written by the owner, followed by update() or repaint().
    int m_nPercent = 0;
    QString m_strText;
    QColor m_crBackground{5, 5, 5};
    QColor m_crText{5, 5, 5};
    QColor m_crBar{5, 5, 5};
    int m_nBarBitmapId = 0; // skin picture tiled over the filled part; 0 = none

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_barTile; // the picture of m_nTileId
    int m_nTileId = 0;
};

} // namespace kolvex
