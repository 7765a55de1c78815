#include "clip_overlay.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace kolvex {

namespace {

QFont OverlayFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// BT.601 limited range, as the cameras' H.264 pictures are.
inline uint8_t Luma(int r, int g, int b) {
    return static_cast<uint8_t>(std::clamp((66 * r + 129 * g + 25 * b + 128) / 256 + 16, 0, 255));
}
inline uint8_t ChromaU(int r, int g, int b) {
    return static_cast<uint8_t>(std::clamp((-38 * r - 74 * g + 112 * b + 128) / 256 + 128, 0, 255));
}
inline uint8_t ChromaV(int r, int g, int b) {
    return static_cast<uint8_t>(std::clamp((112 * r - 94 * g - 18 * b + 128) / 256 + 128, 0, 255));
}

} // namespace

CClipOverlay::CClipOverlay(int width, int height)
    : m_width(width), m_height(height), m_pixelSize(std::max(12, height / 36)) {}

QImage CClipOverlay::Render(const std::vector<std::string>& lines) const {
    const QFont font = OverlayFont(m_pixelSize);
    const QFontMetrics metrics(font);
    const int pad = m_pixelSize / 3;
    int textW = 0;
    for (const std::string& line : lines)
        textW = std::max(textW, metrics.horizontalAdvance(QString::fromStdString(line)));
    const int lineH = metrics.height();
    // Even sizes keep the box on whole chroma samples.
    const int w = std::min(m_width, (textW + 2 * pad + 1) & ~1);
    const int h = std::min(m_height, (lineH * static_cast<int>(lines.size()) + 2 * pad + 1) & ~1);
    QImage box(std::max(2, w), std::max(2, h), QImage::Format_ARGB32_Premultiplied);
    box.fill(QColor(0, 0, 0, 150));
    QPainter painter(&box);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (size_t i = 0; i < lines.size(); ++i)
        painter.drawText(pad, pad + static_cast<int>(i) * lineH + metrics.ascent(),
                         QString::fromStdString(lines[i]));
    return box;
}

QPoint CClipOverlay::Position(const QImage& box) const {
    const int margin = (m_pixelSize / 2) & ~1;
    return QPoint(std::max(0, (m_width - box.width() - margin) & ~1),
                  std::max(0, (m_height - box.height() - margin) & ~1));
}

void CClipOverlay::Prepare(const std::vector<std::string>& lines) {
    if (lines == m_lines && !m_yPlane.empty())
        return;
    m_lines = lines;
    const QImage box = Render(lines);
    const QPoint at = Position(box);
    m_x = at.x();
    m_y = at.y();
    m_boxW = std::min(box.width(), m_width - m_x) & ~1;
    m_boxH = std::min(box.height(), m_height - m_y) & ~1;
    m_yPlane.assign(static_cast<size_t>(m_boxW * m_boxH), 0);
    m_alpha.assign(m_yPlane.size(), 0);
    const size_t half = static_cast<size_t>((m_boxW / 2) * (m_boxH / 2));
    m_uPlane.assign(half, 128);
    m_vPlane.assign(half, 128);
    m_alphaHalf.assign(half, 0);
    // Premultiplied colour: the box's pixel over black is colour/alpha.
    for (int y = 0; y < m_boxH; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(box.constScanLine(y));
        for (int x = 0; x < m_boxW; ++x) {
            const QRgb p = row[x];
            const int a = qAlpha(p);
            const int r = a ? qRed(p) * 255 / a : 0, g = a ? qGreen(p) * 255 / a : 0,
                      b = a ? qBlue(p) * 255 / a : 0;
            const size_t i = static_cast<size_t>(y * m_boxW + x);
            m_yPlane[i] = Luma(r, g, b);
            m_alpha[i] = static_cast<uint8_t>(a);
            if ((x & 1) == 0 && (y & 1) == 0) {
                const size_t j = static_cast<size_t>((y / 2) * (m_boxW / 2) + x / 2);
                m_uPlane[j] = ChromaU(r, g, b);
                m_vPlane[j] = ChromaV(r, g, b);
                m_alphaHalf[j] = static_cast<uint8_t>(a);
            }
        }
    }
}

void CClipOverlay::Blend(const std::vector<std::string>& lines, uint8_t* const planes[3],
                         const int strides[3]) {
    Prepare(lines);
    auto mix = [](uint8_t& dst, uint8_t src, int a) {
        dst = static_cast<uint8_t>((src * a + dst * (255 - a) + 127) / 255);
    };
    for (int y = 0; y < m_boxH; ++y) {
        uint8_t* dst = planes[0] + static_cast<ptrdiff_t>(m_y + y) * strides[0] + m_x;
        const size_t row = static_cast<size_t>(y * m_boxW);
        for (int x = 0; x < m_boxW; ++x)
            mix(dst[x], m_yPlane[row + static_cast<size_t>(x)],
                m_alpha[row + static_cast<size_t>(x)]);
    }
    const int hw = m_boxW / 2;
    for (int y = 0; y < m_boxH / 2; ++y) {
        uint8_t* u = planes[1] + static_cast<ptrdiff_t>(m_y / 2 + y) * strides[1] + m_x / 2;
        uint8_t* v = planes[2] + static_cast<ptrdiff_t>(m_y / 2 + y) * strides[2] + m_x / 2;
        const size_t row = static_cast<size_t>(y * hw);
        for (int x = 0; x < hw; ++x) {
            const int a = m_alphaHalf[row + static_cast<size_t>(x)];
            mix(u[x], m_uPlane[row + static_cast<size_t>(x)], a);
            mix(v[x], m_vPlane[row + static_cast<size_t>(x)], a);
        }
    }
}

} // namespace kolvex
