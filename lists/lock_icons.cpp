#include "lock_icons.h"

#include "resources/skin/skin_image.h"

#include <QImage>
#include <QPixmap>

namespace kolvex {

namespace {

constexpr int kLockStripId = 158;

// The strip's transparent colour where it was drawn without alpha.
void ClearMagenta(QImage& image) {
    const QRgb magenta = qRgb(255, 0, 255);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == magenta && qAlpha(line[x]) == 255)
                line[x] = 0;
        }
    }
}

} // namespace

LockIcons LoadLockIcons() {
    LockIcons icons;
    QImage strip = skin::loadImage(kLockStripId);
    if (strip.isNull() || strip.width() < 4 * kLockIconSize || strip.height() < kLockIconSize)
        return icons;
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    ClearMagenta(strip);
    for (int i = 0; i < 4; ++i) {
        const QImage cell = strip.copy(i * kLockIconSize, 0, kLockIconSize, kLockIconSize);
        icons[static_cast<size_t>(i)] = QIcon(QPixmap::fromImage(cell));
    }
    return icons;
}

QIcon LockIconFor(const LockIcons& icons, int flags) {
    if (flags < 0 || flags >= static_cast<int>(icons.size()))
        return QIcon();
    return icons[static_cast<size_t>(flags)];
}

} // namespace kolvex
