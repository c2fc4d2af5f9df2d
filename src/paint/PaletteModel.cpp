#include "paint/PaletteModel.h"

#include "paint/PaintSession.h"

#include <algorithm>
#include <cmath>

namespace jhk {

void PaletteModel::activate()
{
    const int target = session_.state().PaletteTarget;
    if (target == TargetFront)
        title_ = QStringLiteral("前景色");
    else if (target == TargetBack)
        title_ = QStringLiteral("背景色");
    else
        title_ = QStringLiteral("パレット %1").arg(target);
    const Colour colour = session_.targetColour(target);
    pressBar(Red, redOf(colour));
    pressBar(Green, greenOf(colour));
    pressBar(Blue, blueOf(colour));
}

void PaletteModel::pressBar(Channel channel, double x)
{
    const int v = static_cast<int>(std::floor(x));
    values_[channel] = v;
    markers_[channel] = x;
    hex_[channel] = QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    // The colour is the blue, green and red texts read as one hexadecimal number.
    const Colour colour = (hex_[Blue] + hex_[Green] + hex_[Red]).toUInt(nullptr, 16);
    session_.setTargetColour(session_.state().PaletteTarget, colour);
}

void PaletteModel::dragBar(Channel channel, double x, bool leftHeld)
{
    if (!leftHeld)
        return;
    pressBar(channel, std::clamp(x, 0.0, double(BarWidth - 1)));
}

} // namespace jhk
