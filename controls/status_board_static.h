// The progress board of the long file operations: a bar filled from the
// left, tiled with the skin's bar picture, a centred text and a raised edge;
// while an operation can be stopped, a Cancel button at its right end.
#pragma once

#include "library/instrument_views.h"

#include <QColor>
#include <QImage>
#include <QPushButton>
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

    // The Cancel button: hidden until shown here; the text is the caller's.
    void SetCancelButton(bool shown, const QString& text = QString());
    QPushButton* CancelButton() { return &m_cancel; }

    // Written by the owner, followed by update() or repaint().
    int m_nPercent = 0;
    QString m_strText;
    QColor m_crBackground{5, 5, 5};
    QColor m_crText{5, 5, 5};
    QColor m_crBar{5, 5, 5};
    int m_nBarBitmapId = 0; // skin picture tiled over the filled part; 0 = none

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceCancelButton();

    QPushButton m_cancel{this};
    QImage m_barTile; // the picture of m_nTileId
    int m_nTileId = 0;
};

} // namespace kolvex
