#pragma once

#include <QSize>

namespace jhk {

// The program's window sizes are outer sizes, frame and caption included, as a pupil sees
// them on the desktop; Qt is given the client area inside them. The main window's menu bar
// comes off its client area as well.
inline constexpr int WindowBorderPixels = 4;
inline constexpr int WindowCaptionPixels = 22;

constexpr QSize clientSizeOf(int outerWidth, int outerHeight)
{
    return QSize(outerWidth - 2 * WindowBorderPixels, outerHeight - 2 * WindowBorderPixels - WindowCaptionPixels);
}

} // namespace jhk
