// The two font families the window's drawing names, "Arial" and
// "Arial Black", mapped once onto free fonts with the same metrics or the
// same heavy weight, so that drawing code keeps asking for the names it was
// designed with.
#pragma once

#include <QFont>
#include <QString>

namespace kolvex {

inline constexpr const char* kArialFamily = "Arial";
inline constexpr const char* kArialBlackFamily = "Arial Black";

// Registers the substitutes with Qt's font matching; idempotent. StyleFont
// calls it, start-up may call it earlier so that every QFont sees it.
void InstallFontSubstitutes();

// The font of `family` at an em size of `pixelSize` pixels, in the
// family's regular style. "Arial Black" is a family whose regular style is
// black, so its substitute is asked for at black weight.
QFont StyleFont(const QString& family, int pixelSize);

// Distance in pixels from the top of a line to its baseline for `family` at
// an em size of `pixelSize`, as the designed family measures it, so that a
// stand-in with other line metrics puts its letters where the design had
// them.
double LineAscent(const QString& family, int pixelSize);

// The em size in pixels of `family` when its line, ascent plus descent, is
// `cellHeight` pixels tall: the size a font asked for by its cell height
// gets.
int EmSizeForCellHeight(const QString& family, int cellHeight);

} // namespace kolvex
