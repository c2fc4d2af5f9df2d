#pragma once

#include <optional>

namespace jhk {

// A rectangle of the desktop in screen pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }   // one past the last column
    int bottom() const { return y + height; } // one past the last row
    bool operator==(const ScreenRect &) const = default;
};

// Where the run view "実行のようす" opens and how big, the first that fits: its full size beside
// the main window; its full size beside the main window moved to the screen's left edge (a
// main window in the middle of a large screen); its compact size (the flowchart scaled to fit)
// beside the main window; its compact size beside the main window moved to the left edge (a
// school laptop's screen); its compact size at the edge of the screen on the roomier side,
// covering as little of the main window as it can. It never leaves the screen.
struct RunViewPlacement {
    ScreenRect frame; // the window with its frame
    bool compact = false;
    std::optional<int> mainX; // where the main window's frame moves to make room
};

struct RunViewSizes {
    static constexpr int Width = 780;
    static constexpr int Height = 560;
    static constexpr int CompactWidth = 580;
    static constexpr int CompactHeight = 560;
    // Narrower than this the compact window stops fitting into the room beside the main window
    // and goes to the screen's edge at its compact width instead.
    static constexpr int CompactMinWidth = 480;
};

// `available` is the screen without its panels, `mainFrame` the main window with its frame,
// `frameWidth`/`frameHeight` what the window manager's frame adds to a window's size.
RunViewPlacement placeRunView(const ScreenRect &available, const ScreenRect &mainFrame, int frameWidth = 0,
                              int frameHeight = 0);

// Whether a run view of this inner width shows its compact layout.
inline bool runViewCompact(int width) { return width < RunViewSizes::Width; }

} // namespace jhk
