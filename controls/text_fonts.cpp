#include "text_fonts.h"

#include <QFontMetricsF>
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

double LineAscent(const QString& family, int pixelSize) {
    // The designed families' ascents in font units of a 2048-unit em.
    // Liberation Sans shares Arial's; Lato's is smaller than Arial Black's,
    // which would lift the title into the colour bands above it.
    if (family == QLatin1String(kArialBlackFamily))
        return pixelSize * 2254.0 / 2048.0;
    if (family == QLatin1String(kArialFamily))
        return pixelSize * 1854.0 / 2048.0;
    return QFontMetricsF(StyleFont(family, pixelSize)).ascent();
}

int EmSizeForCellHeight(const QString& family, int cellHeight) {
    // Arial's line is 1854 + 434 units of its 2048-unit em.
    if (family == QLatin1String(kArialFamily))
        return qRound(cellHeight * 2048.0 / 2288.0);
    const QFontMetricsF metrics(StyleFont(family, 100));
    return qRound(cellHeight * 100.0 / (metrics.ascent() + metrics.descent()));
}

} // namespace kolvex
