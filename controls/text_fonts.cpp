#include "text_fonts.h"

#include <QStringList>

namespace kolvex {

void InstallFontSubstitutes() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // Liberation Sans has Arial's metrics, so texts keep their widths; the
    // heavy family has no metric twin among free fonts, Lato's black weight
    // comes closest in colour. DejaVu Sans stands in when neither is there.
    QFont::insertSubstitutions(kArialFamily, {"Liberation Sans", "Arimo", "DejaVu Sans"});
    QFont::insertSubstitutions(kArialBlackFamily, {"Lato Black", "Lato", "DejaVu Sans"});
}

QFont StyleFont(const QString& family, int pixelSize) {
    InstallFontSubstitutes();
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyle(QFont::StyleNormal);
    font.setWeight(family == QLatin1String(kArialBlackFamily) ? QFont::Black : QFont::Normal);
    // Outlines at their designed shapes and advances: no grid fitting, and
    // no kerning, which the layout these texts were designed with did not do.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

} // namespace kolvex
