#include "paint/ToolTable.h"

namespace jhk {

namespace {

bool between(int v, int low, int high) { return v > low && v < high; }

} // namespace

int lineWidthEntryAt(int x, int y)
{
    if (!between(x, 7, 40))
        return -1;
    for (int i = 0; i < static_cast<int>(PenWidths.size()); ++i) {
        if (between(y, 10 * i + 7, 10 * i + 14))
            return i;
    }
    return -1;
}

int fillShapesEntryAt(int x, int y)
{
    if (between(x, 8, 37) && between(y, 7, 23))
        return 0;
    if (between(x, 8, 36) && between(y, 30, 45))
        return 1;
    return -1;
}

} // namespace jhk
