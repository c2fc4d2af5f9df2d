#include "paint/PaintState.h"

#include <cmath>

namespace jhk {

int maxCanvasWidth(double twipsX)
{
    return static_cast<int>(std::nearbyint(MaxCanvasWidthTwips / twipsX));
}

int maxCanvasHeight(double twipsY)
{
    return static_cast<int>(std::nearbyint(MaxCanvasHeightTwips / twipsY));
}

} // namespace jhk
