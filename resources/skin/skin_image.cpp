#include "skin_image.h"

#include "skin_table.h"

namespace kolvex::skin {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString resourcePath(int id) {
    const SkinPicture* picture = findPicture(id);
    return picture ? toQString(picture->path) : QString();
}

QImage loadImage(int id) {
    const QString path = resourcePath(id);
    return path.isEmpty() ? QImage() : QImage(path);
}

QIcon appIcon() {
    QIcon icon;
    for (const SkinPicture& size : appIconSizes())
        icon.addFile(toQString(size.path), QSize(size.width, size.height));
    return icon;
}

} // namespace kolvex::skin
