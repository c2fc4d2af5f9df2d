#pragma once

#include "paint/Colour.h"

#include <cstdint>

namespace jhk {

// Mouse buttons as the tools see them; any button but the left one counts as the right one.
enum PaintButton : std::uint8_t { ButtonNone = 0, ButtonLeft = 1, ButtonRight = 2, ButtonMiddle = 4 };

// ColorSel: which colour the current action uses.
inline constexpr std::uint8_t UseFrontColour = 1;
inline constexpr std::uint8_t UseBackColour = 2;

// PaletteTarget values besides the swatch numbers 0..17.
inline constexpr std::uint8_t TargetFront = 254;
inline constexpr std::uint8_t TargetBack = 255;

// The largest canvas, in twips of the screen.
inline constexpr int MaxCanvasWidthTwips = 7125;
inline constexpr int MaxCanvasHeightTwips = 5925;

// The paint tool's part of the application state; set to these values each time the paint
// window opens.
struct PaintState {
    Colour FrontColor = ColourBlack;
    Colour BackgroundColor = ColourWhite;
    std::int32_t StartX = 0;
    std::int32_t StartY = 0;
    std::int32_t EndX = 0;
    std::int32_t EndY = 0;
    std::uint8_t ColorSel = 0;
    std::uint8_t FirstPoint = 0;
    std::uint8_t HeldButton = ButtonNone;
    std::uint8_t EraserSize = 1;
    std::uint8_t PenWidth = 1;
    std::uint8_t FillShapes = 0;
    std::uint8_t PaletteTarget = TargetFront;
    float Zoom = 1;
    std::int16_t MaxHeight = 0;
    std::int16_t MaxWidth = 0;
};

// MaxWidth and MaxHeight for the screen's twips per pixel (rounded, halves to even).
int maxCanvasWidth(double twipsX);
int maxCanvasHeight(double twipsY);

} // namespace jhk
