// Loading the skin's pictures as Qt images and icons.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace kolvex::skin {

// Qt resource path of the picture of `id`; empty when the skin has none.
QString resourcePath(int id);

// The picture of `id` decoded; a null image when the skin has none, so that
// a missing picture leaves its control without an image.
QImage loadImage(int id);

// The application icon with every drawn size, for window and taskbar.
QIcon appIcon();

} // namespace kolvex::skin
