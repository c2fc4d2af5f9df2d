#pragma once

#include "paint/Colour.h"

#include <QString>

#include <array>

namespace jhk {

class PaintSession;

// The rules of the palette window: three bars mix the colour of PaletteTarget from its red,
// green and blue parts, and every change goes to the target at once.
class PaletteModel
{
public:
    enum Channel { Red = 0, Green = 1, Blue = 2 };
    static constexpr int BarWidth = 256; // bar units across, 0..255
    static constexpr int ChannelCount = 3;

    explicit PaletteModel(PaintSession &session) : session_(session) {}

    // The window became active: show the target's colour on the bars.
    void activate();
    // A press on a bar at x, in bar units.
    void pressBar(Channel channel, double x);
    // A move over a bar: only with the left button held, x clamped to the bar.
    void dragBar(Channel channel, double x, bool leftHeld);

    const QString &title() const { return title_; }
    int value(Channel c) const { return values_[c]; }
    const QString &hexText(Channel c) const { return hex_[c]; }
    double markerX(Channel c) const { return markers_[c]; }

private:
    PaintSession &session_;
    QString title_;
    std::array<int, ChannelCount> values_{};
    std::array<QString, ChannelCount> hex_{QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00")};
    std::array<double, ChannelCount> markers_{};
};

} // namespace jhk
