#include "contact_sheet.h"

#include "skin_looks.h"
#include "skin_table.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <functional>
#include <vector>

namespace kolvex::skin {

namespace {

constexpr int kSheetWidth = 1280;
constexpr int kMargin = 28;
constexpr int kTileGap = 26;
constexpr int kFaceGap = 8;
constexpr int kLineGap = 4;

const QColor kBackground(5, 5, 5);
const QColor kLabelColour(0xE0, 0xE6, 0xEB);
const QColor kDimColour(0x7D, 0x88, 0x93);
const QColor kAccentColour(0x32, 0xB4, 0xFF);

struct Face {
    QString caption; // empty for the picture itself
    QImage image;
};

struct Tile {
    QString title;    // "129 play"
    QString subtitle; // "64 × 64"
    bool opaque;
    std::vector<Face> faces;
};

struct Section {
    QString heading;
    std::vector<Tile> tiles;
};

struct Fonts {
    QFont heading;
    QFont title;
    QFont small;
    Fonts() : heading("DejaVu Sans"), title("DejaVu Sans"), small("DejaVu Sans") {
        heading.setPixelSize(17);
        heading.setBold(true);
        title.setPixelSize(12);
        title.setBold(true);
        small.setPixelSize(10);
    }
};

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString sizeText(int width, int height) {
    return QStringLiteral("%1 \u00d7 %2").arg(width).arg(height);
}

Tile tileFor(const SkinPicture& picture, const QString& title) {
    Tile tile{title, sizeText(picture.width, picture.height), (picture.looks & Opaque) != 0, {}};
    const QImage image(toQString(picture.path));
    tile.faces.push_back({QString(), image});
    if (picture.looks & HoverLook)
        tile.faces.push_back({QStringLiteral("hover"), hoverLook(image)});
    if (picture.looks & GreyLook)
        tile.faces.push_back({QStringLiteral("grey"), greyLook(image)});
    return tile;
}

Tile tileFor(const SkinPicture& picture) {
    return tileFor(picture, QStringLiteral("%1 %2").arg(picture.id).arg(toQString(picture.name)));
}

// Pictures stretched to the sizes the window gives their controls, where
// that differs from the drawn size, to judge them as they will be seen.
Section asLaidOut() {
    struct Shown {
        int id;
        QSize size;
    };
    const Shown shown[] = {{138, {48, 36}}, {139, {48, 36}}, {140, {48, 36}}, {141, {48, 36}},
                           {142, {48, 36}}, {143, {48, 48}}, {176, {48, 48}}, {145, {48, 48}},
                           {146, {48, 48}}, {147, {48, 48}}, {148, {48, 48}}, {157, {40, 40}},
                           {167, {32, 32}}, {171, {32, 32}}};
    Section section{QStringLiteral("As laid out in the window (stretched)"), {}};
    for (const Shown& item : shown) {
        const SkinPicture* picture = findPicture(item.id);
        if (!picture)
            continue;
        const QImage image =
            QImage(toQString(picture->path))
                .scaled(item.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        section.tiles.push_back(
            {QStringLiteral("%1 %2").arg(item.id).arg(toQString(picture->name)),
             QStringLiteral("shown %1").arg(sizeText(item.size.width(), item.size.height())),
             false,
             {{QString(), image}}});
    }
    return section;
}

std::vector<Section> sections() {
    const auto collect = [](const QString& heading,
                            const std::function<bool(const SkinPicture&)>& wanted) {
        Section section{heading, {}};
        for (const SkinPicture& picture : pictures())
            if (wanted(picture))
                section.tiles.push_back(tileFor(picture));
        return section;
    };
    const auto isButton = [](const SkinPicture& p) { return (p.looks & HoverLook) != 0; };
    const auto isCompass = [](const SkinPicture& p) { return p.id >= 167 && p.id <= 174; };
    const auto isFrame = [](const SkinPicture& p) { return p.width > 200 && p.id != 128; };
    const auto isAppIcon = [](const SkinPicture& p) { return p.id == 128; };

    std::vector<Section> all;
    all.push_back(collect(QStringLiteral("Buttons  (picture, hover look, grey look)"), isButton));
    all.push_back(collect(QStringLiteral("Compass cards"), isCompass));
    all.push_back(collect(QStringLiteral("Pictures"), [&](const SkinPicture& p) {
        return !isButton(p) && !isCompass(p) && !isFrame(p) && !isAppIcon(p);
    }));
    Section icons{QStringLiteral("Application icon 128"), {}};
    for (const SkinPicture& size : appIconSizes())
        icons.tiles.push_back(tileFor(size, toQString(size.name)));
    all.push_back(std::move(icons));
    all.push_back(collect(QStringLiteral("Video frames"), isFrame));
    all.push_back(asLaidOut());
    return all;
}

// Lays the sections out top to bottom, tiles flowing left to right; paints
// only when given a painter, so that one pass measures the sheet's height.
class SheetPainter {
public:
    explicit SheetPainter(const Fonts& fonts) : m_fonts(fonts) {}

    int run(const std::vector<Section>& all, QPainter* painter) {
        int y = kMargin;
        if (painter) {
            painter->setFont(m_fonts.heading);
            painter->setPen(kAccentColour);
            painter->drawText(kMargin, y + QFontMetrics(m_fonts.heading).ascent(),
                              QStringLiteral("Kolvex skin"));
        }
        y += QFontMetrics(m_fonts.heading).height() + kTileGap;
        for (const Section& section : all)
            y = runSection(section, y, painter) + kTileGap;
        return y;
    }

private:
    // Width of a face with its caption, so that captions of small faces do
    // not run into each other.
    int slotWidth(const Tile& tile, const Face& face) const {
        if (tile.faces.size() < 2)
            return face.image.width();
        const QString caption = face.caption.isEmpty() ? QStringLiteral("picture") : face.caption;
        return std::max(face.image.width(), QFontMetrics(m_fonts.small).horizontalAdvance(caption));
    }

    QSize facesSize(const Tile& tile) const {
        int width = 0;
        int height = 0;
        for (const Face& face : tile.faces) {
            width += slotWidth(tile, face) + (width ? kFaceGap : 0);
            height = std::max(height, face.image.height());
        }
        return {width, height};
    }

    QSize tileSize(const Tile& tile) const {
        const QFontMetrics title(m_fonts.title);
        const QFontMetrics small(m_fonts.small);
        const QSize faces = facesSize(tile);
        const bool captions = tile.faces.size() > 1;
        const int width = std::max({faces.width(), title.horizontalAdvance(tile.title),
                                    small.horizontalAdvance(tile.subtitle)});
        const int height = faces.height() + (captions ? small.height() : 0) + kLineGap +
                           title.height() + small.height();
        return {width, height};
    }

    int runSection(const Section& section, int top, QPainter* painter) {
        const QFontMetrics heading(m_fonts.heading);
        if (painter) {
            painter->setPen(QPen(QColor(0x2B, 0x32, 0x3A), 1));
            painter->drawLine(kMargin, top, kSheetWidth - kMargin, top);
            painter->setFont(m_fonts.heading);
            painter->setPen(kLabelColour);
            painter->drawText(kMargin, top + 8 + heading.ascent(), section.heading);
        }
        int y = top + 8 + heading.height() + 12;
        int x = kMargin;
        int rowHeight = 0;
        for (const Tile& tile : section.tiles) {
            const QSize size = tileSize(tile);
            if (x > kMargin && x + size.width() > kSheetWidth - kMargin) {
                x = kMargin;
                y += rowHeight + kTileGap;
                rowHeight = 0;
            }
            if (painter)
                paintTile(*painter, tile, QPoint(x, y));
            x += size.width() + kTileGap;
            rowHeight = std::max(rowHeight, size.height());
        }
        return y + rowHeight;
    }

    void paintTile(QPainter& painter, const Tile& tile, QPoint at) const {
        const QFontMetrics title(m_fonts.title);
        const QFontMetrics small(m_fonts.small);
        const QSize faces = facesSize(tile);
        int x = at.x();
        painter.setFont(m_fonts.small);
        painter.setPen(kDimColour);
        for (const Face& face : tile.faces) {
            // Faces sit on the sheet's baseline, as buttons of one row do.
            const QPoint topLeft(x, at.y() + faces.height() - face.image.height());
            painter.drawImage(topLeft, face.image);
            if (!face.image.hasAlphaChannel() || tile.opaque) {
                // Opaque pictures may be as dark as the sheet: outline them.
                painter.setPen(QColor(0x3A, 0x42, 0x4B));
                painter.drawRect(QRect(topLeft, face.image.size()).adjusted(-1, -1, 0, 0));
                painter.setPen(kDimColour);
            }
            if (tile.faces.size() > 1)
                painter.drawText(x, at.y() + faces.height() + small.ascent() + 2,
                                 face.caption.isEmpty() ? QStringLiteral("picture") : face.caption);
            x += slotWidth(tile, face) + kFaceGap;
        }
        int y = at.y() + faces.height() + (tile.faces.size() > 1 ? small.height() : 0) + kLineGap;
        painter.setFont(m_fonts.title);
        painter.setPen(kLabelColour);
        painter.drawText(at.x(), y + title.ascent(), tile.title);
        y += title.height();
        painter.setFont(m_fonts.small);
        painter.setPen(kDimColour);
        painter.drawText(at.x(), y + small.ascent(), tile.subtitle);
    }

    const Fonts& m_fonts;
};

} // namespace

QImage renderContactSheet() {
    const Fonts fonts;
    const std::vector<Section> all = sections();
    SheetPainter layout(fonts);
    const int height = layout.run(all, nullptr);

    QImage sheet(kSheetWidth, height, QImage::Format_RGB32);
    sheet.fill(kBackground);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    layout.run(all, &painter);
    painter.end();
    return sheet;
}

} // namespace kolvex::skin
