#include "skin_table.h"

#include <algorithm>
#include <array>

namespace kolvex::skin {

namespace {

// Generated from pictures.table when the build is configured.
constexpr std::array kPictures{
#include "skin_pictures.inc"
};

constexpr std::array kAppIconSizes{
#include "skin_app_icons.inc"
};

} // namespace

std::span<const SkinPicture> pictures() {
    return kPictures;
}

const SkinPicture* findPicture(int id) {
    const auto found = std::find_if(kPictures.begin(), kPictures.end(),
                                    [id](const SkinPicture& picture) { return picture.id == id; });
    return found == kPictures.end() ? nullptr : &*found;
}

std::span<const SkinPicture> appIconSizes() {
    return kAppIconSizes;
}

} // namespace kolvex::skin
