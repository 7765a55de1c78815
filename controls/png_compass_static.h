// The compass: one of eight pre-turned compass cards, chosen so that the
// direction of travel points up, or the north-up card in grey without a
// GPS fix.
#pragma once

#include "library/instrument_views.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

namespace kolvex {

class CPngCompassStatic : public QWidget, public ICompassView {
public:
    explicit CPngCompassStatic(QWidget* parent = nullptr);

    // Appends skin picture `pictureId`; false, and nothing added, when the
    // skin has none.
    bool AddImage(int pictureId);
    // ICompassView. Index 0 is the grey card; false above the image count.
    bool SetImage(unsigned index) override;
    // Heading in whole degrees clockwise from north, any sign or size.
    void SetHeading(int degrees) override;

    // 1-based index of the card shown, 0 = the grey card.
    unsigned m_nImage = 0;
    std::vector<std::unique_ptr<QImage>> m_images;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_greyCard; // image 1 through the grey look, made on first use
};

} // namespace kolvex
