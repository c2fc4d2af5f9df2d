#include "rules/RunViewPlacement.h"

#include <algorithm>

namespace jhk {

RunViewPlacement placeRunView(const ScreenRect &available, const ScreenRect &mainFrame, int frameWidth, int frameHeight)
{
    RunViewPlacement placed;
    const int roomRight = std::max(0, available.right() - mainFrame.right());
    const int roomLeft = std::max(0, mainFrame.x - available.x);
    const bool rightIsRoomier = roomRight >= roomLeft;
    const int maxHeight = std::max(1, available.height - frameHeight);

    int width = RunViewSizes::Width;
    int height = std::min(RunViewSizes::Height, maxHeight);
    int x = 0;
    if (roomRight >= width + frameWidth) {
        x = mainFrame.right();
    } else if (roomLeft >= width + frameWidth) {
        x = mainFrame.x - width - frameWidth;
    } else if (available.width >= mainFrame.width + width + frameWidth) {
        placed.mainX = available.x;
        x = available.x + mainFrame.width;
    } else {
        placed.compact = true;
        height = std::min(RunViewSizes::CompactHeight, maxHeight);
        const int room = (rightIsRoomier ? roomRight : roomLeft) - frameWidth;
        if (room >= RunViewSizes::CompactMinWidth) {
            width = std::min(RunViewSizes::CompactWidth, room);
            x = rightIsRoomier ? mainFrame.right() : mainFrame.x - width - frameWidth;
        } else if (available.width >= mainFrame.width + RunViewSizes::CompactWidth + frameWidth) {
            placed.mainX = available.x;
            width = RunViewSizes::CompactWidth;
            x = available.x + mainFrame.width;
        } else {
            width = std::min(RunViewSizes::CompactWidth, std::max(1, available.width - frameWidth));
            x = rightIsRoomier ? available.right() - width - frameWidth : available.x;
        }
    }
    // Level with the main window's top, moved up where the screen ends below it.
    int y = std::clamp(mainFrame.y, available.y, std::max(available.y, available.bottom() - height - frameHeight));
    x = std::clamp(x, available.x, std::max(available.x, available.right() - width - frameWidth));
    placed.frame = {x, y, width + frameWidth, height + frameHeight};
    return placed;
}

} // namespace jhk
