#pragma once

#include <QColor>
#include <QRgb>

#include <cstdint>

namespace jhk {

// A drawing colour as the paint tool keeps it: 0x00BBGGRR.
using Colour = std::uint32_t;

inline constexpr Colour ColourBlack = 0x000000;
inline constexpr Colour ColourWhite = 0xFFFFFF;
inline constexpr Colour ColourRed = 0x0000FF;

inline constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
inline constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr Colour colourFromRgb(int r, int g, int b)
{
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

inline QRgb toQRgb(Colour c) { return qRgb(redOf(c), greenOf(c), blueOf(c)); }
inline QColor toQColor(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
inline Colour fromQRgb(QRgb c) { return colourFromRgb(qRed(c), qGreen(c), qBlue(c)); }

} // namespace jhk
