#pragma once

namespace kolvex {

// Registers the map pages under qrc:/map-web/ (ymap.html, bmap.html and
// their assets). Safe to call more than once.
void RegisterMapPages();

} // namespace kolvex
