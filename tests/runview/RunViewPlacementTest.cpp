#include "rules/RunViewPlacement.h"

#include <gtest/gtest.h>

using namespace jhk;

namespace {

bool inside(const ScreenRect &inner, const ScreenRect &outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() && inner.bottom() <= outer.bottom();
}

int overlapWidth(const ScreenRect &a, const ScreenRect &b)
{
    return std::max(0, std::min(a.right(), b.right()) - std::max(a.x, b.x));
}

} // namespace

// The main window with a window manager's frame (2 pixels wider, 22 higher): 779 × 551.
TEST(RunViewPlacement, BesideTheMainWindowWhereTheScreenHasRoomCompactWhereItHasNot)
{
    constexpr int Fw = 2, Fh = 22;
    struct Case {
        const char *what;
        ScreenRect screen;
        ScreenRect main;
        ScreenRect expected;
        bool compact;
        std::optional<int> mainX = {};
    };
    const Case cases[] = {
        {"large screen: full size on the right", {0, 0, 1920, 1080}, {0, 0, 779, 551}, {779, 0, 782, 582}, false},
        {"large screen, main window on the right: full size on the left", {0, 0, 1920, 1080}, {1100, 40, 779, 551},
         {318, 40, 782, 582}, false},
        {"large screen, main window centred: it moves to the left edge, full size beside it", {0, 0, 1920, 1080},
         {570, 264, 779, 551}, {779, 264, 782, 582}, false, 0},
        {"school laptop, main window at the left: compact on the right", {0, 0, 1366, 768}, {0, 0, 779, 551},
         {779, 0, 582, 582}, true},
        {"school laptop under a top panel", {0, 27, 1366, 741}, {0, 27, 779, 551}, {779, 27, 582, 582}, true},
        {"school laptop, main window low: moved up to stay on the screen", {0, 0, 1366, 768}, {0, 300, 779, 551},
         {779, 186, 582, 582}, true},
        {"school laptop, main window centred: it moves to the left edge, compact beside it", {0, 0, 1366, 768},
         {293, 100, 779, 551}, {779, 100, 582, 582}, true, 0},
        {"narrow screen, main window centred: compact at the roomier edge", {0, 0, 1280, 768}, {250, 100, 779, 551},
         {698, 100, 582, 582}, true},
        {"a little short of room: narrower beside it", {0, 0, 1300, 768}, {0, 0, 779, 551}, {779, 0, 521, 582}, true},
        {"netbook: compact at the screen's right edge, as high as the screen allows", {0, 0, 1024, 560},
         {0, 0, 779, 551}, {442, 0, 582, 560}, true},
    };
    for (const Case &c : cases) {
        const RunViewPlacement p = placeRunView(c.screen, c.main, Fw, Fh);
        EXPECT_EQ(p.frame, c.expected) << c.what << ": got " << p.frame.x << "," << p.frame.y << " " << p.frame.width
                                       << "×" << p.frame.height;
        EXPECT_EQ(p.compact, c.compact) << c.what;
        EXPECT_EQ(p.mainX, c.mainX) << c.what;
        EXPECT_TRUE(inside(p.frame, c.screen)) << c.what;
        EXPECT_LE(p.frame.height - Fh, RunViewSizes::Height) << c.what;
        if (p.compact) {
            EXPECT_LE(p.frame.width - Fw, RunViewSizes::CompactWidth) << c.what;
            EXPECT_TRUE(runViewCompact(p.frame.width - Fw)) << c.what;
        }
        if (!p.compact || p.mainX) {
            ScreenRect main = c.main;
            main.x = p.mainX.value_or(main.x);
            EXPECT_EQ(overlapWidth(p.frame, main), 0) << c.what;
        }
        if (!p.compact) {
            EXPECT_FALSE(runViewCompact(p.frame.width - Fw)) << c.what;
        }
    }
}
