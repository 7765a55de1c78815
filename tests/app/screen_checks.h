// What the X server shows of the window and what libVLC plays, for the
// tests that play real recordings.
#pragma once

#include "playback/vlc_player.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <dlfcn.h>

#include <cstdlib>
#include <set>

namespace kolvex::testing {

// The X server's picture of a widget's area.
inline QImage Grab(QWidget& widget) {
    const QRect area(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

// How many distinct colours (in steps of 16 per channel) a picture holds:
// a video picture has many, an idle surface or a black one a few.
inline int DistinctColours(const QImage& image) {
    std::set<int> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) {
            const QRgb c = image.pixel(x, y);
            colours.insert((qRed(c) / 16) << 8 | (qGreen(c) / 16) << 4 | (qBlue(c) / 16));
        }
    return static_cast<int>(colours.size());
}

// The file libVLC itself plays, through the library the player loaded.
inline QString MediaAddress(CVlcPlayer& player) {
    using Mrl = char* (*)(libvlc_media_t*);
    auto mrl = reinterpret_cast<Mrl>(dlsym(player.m_hLibrary, "libvlc_media_get_mrl"));
    if (!mrl || !player.m_pMedia)
        return {};
    char* text = mrl(player.m_pMedia);
    const QString address = QString::fromUtf8(text);
    std::free(text);
    return QDir::cleanPath(QUrl(address).toLocalFile());
}

} // namespace kolvex::testing
