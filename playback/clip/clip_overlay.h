// The clip's burnt-in read-out: a few lines of text in a dark box in the
// picture's bottom right corner (the camera's own caption keeps the bottom
// left). The box is drawn with Qt once per change of its text and blended
// into each planar YUV 4:2:0 picture, which costs only the box's area.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace kolvex {

class CClipOverlay {
public:
    // For pictures of width x height pixels.
    CClipOverlay(int width, int height);

    // The box with these lines, drawn as it is blended (for comparisons).
    QImage Render(const std::vector<std::string>& lines) const;
    // Where the box of these lines goes in the picture.
    QPoint Position(const QImage& box) const;

    // Blends the box of `lines` into a YUV 4:2:0 picture (8-bit planes).
    void Blend(const std::vector<std::string>& lines, uint8_t* const planes[3],
               const int strides[3]);

private:
    void Prepare(const std::vector<std::string>& lines);

    int m_width, m_height;
    int m_pixelSize;
    std::vector<std::string> m_lines;
    // The box as Y, U, V and alpha at full and at half resolution.
    int m_x = 0, m_y = 0, m_boxW = 0, m_boxH = 0;
    std::vector<uint8_t> m_yPlane, m_alpha, m_uPlane, m_vPlane, m_alphaHalf;
};

} // namespace kolvex
