// The skin's pictures: which Qt resource holds the picture of each resource
// id, and at which pixel size it was drawn.
#pragma once

#include <span>
#include <string_view>

namespace kolvex::skin {

// Extra looks the window derives from a picture at run time.
enum Look : unsigned {
    NoLook = 0,
    HoverLook = 1u << 0, // image button: brightened hover face
    GreyLook = 1u << 1,  // shown through the grey colour matrix (disabled, no fix)
    Opaque = 1u << 2,    // flattened onto black: every pixel fully opaque
};

struct SkinPicture {
    int id;                // resource id the window code asks for
    std::string_view name; // short name, also part of the resource path
    std::string_view path; // Qt resource path, ":/skin/<id>-<name>.png"
    int width;
    int height;
    unsigned looks; // Look flags
};

// Every picture with a resource id, one row per id.
std::span<const SkinPicture> pictures();

// The picture of `id`, or nullptr when the skin has none.
const SkinPicture* findPicture(int id);

// The application icon (resource id 128) in every size it was drawn at,
// smallest first; the small sizes are drawn for their size.
std::span<const SkinPicture> appIconSizes();

// Name under which the application icon is installed for the desktop.
inline constexpr std::string_view kDesktopIconName = "kolvex";

} // namespace kolvex::skin
