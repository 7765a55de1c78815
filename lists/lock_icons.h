// The four lock icons both lists show in their first column: none, event
// ("G"), locked ("M") and both, cut from the skin's 96 x 24 strip 158.
#pragma once

#include <QIcon>

#include <array>

namespace kolvex {

inline constexpr int kLockIconSize = 24;
using LockIcons = std::array<QIcon, 4>;

// The strip cut into its four 24 x 24 images, left to right, magenta made
// transparent; four null icons when the strip cannot be loaded.
LockIcons LoadLockIcons();

// The icon for a row's flags: bit 0 event, bit 1 locked. Flags outside
// 0..3 have no icon.
QIcon LockIconFor(const LockIcons& icons, int flags);

} // namespace kolvex
