#include "rules/Connectors.h"
#include "model/Records.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace jhk;

namespace {

using Item = ConnectorItem;

Item line(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    Item i;
    i.x1 = x1;
    i.y1 = y1;
    i.x2 = x2;
    i.y2 = y2;
    i.colour = colour;
    return i;
}

Item text(int x, int y, const std::string &t)
{
    Item i;
    i.type = Item::Type::Text;
    i.x1 = x;
    i.y1 = y;
    i.text = t;
    return i;
}

PartsRecord partWithBlocks(std::initializer_list<std::tuple<int, int, int, int>> blocks) // slot, kind, X, Y
{
    PartsRecord p;
    p.Used = -1;
    for (auto [slot, kind, x, y] : blocks) {
        BlockRecord &b = p.Blocks[static_cast<std::size_t>(slot)];
        b.Used = -1;
        b.Kind = static_cast<std::int16_t>(kind);
        b.X = static_cast<std::int16_t>(x);
        b.Y = static_cast<std::int16_t>(y);
        b.NextBlock = -1;
        b.NextBlock2 = -1;
        ++p.BlockCount;
    }
    return p;
}

std::vector<Item> linesOnly(const std::vector<Item> &items, std::uint32_t colour)
{
    std::vector<Item> out;
    for (const Item &i : items) {
        if (i.type == Item::Type::Line && i.colour == colour)
            out.push_back(i);
    }
    return out;
}

const CanvasGeometry g; // 15 twips per pixel: boxes 1095 × 375, end box at top 6120

} // namespace

TEST(Connectors, StartLinkRunsFromTheStartBoxBottomToTheBlockTop)
{
    PartsRecord p = partWithBlocks({{0, 20, 1323, 1102}});
    p.FirstBlock = 0;
    const auto items = connectorDrawing(p, g);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], line(547, 375, 1870, 1102, ConnectorGreen));
    // The arrowhead's direction comes from the start box's centre (547, 187).
    std::vector<Item> arrow;
    appendArrowhead(arrow, 547, 187, 1870, 1102, ConnectorGreen);
    EXPECT_EQ(items[1], arrow[0]);
    EXPECT_EQ(items[2], arrow[1]);

    p.Blocks[0].Used = 0; // the first block deleted: FirstBlock alone draws nothing
    EXPECT_TRUE(connectorDrawing(p, g).empty());
    p.Blocks[0].Used = -1;
    p.FirstBlock = -1;
    EXPECT_TRUE(connectorDrawing(p, g).empty());
}

TEST(Connectors, EntrySideFollowsTheLargerDistance)
{
    struct Case {
        const char *what;
        int fx, fy, tx, ty;
        int x1, y1, x2, y2;
    };
    const Case cases[] = {
        {"beside, to the right", 0, 1102, 1323, 1102, 547, 1289, 1323, 1289},
        {"beside, to the left", 1323, 1102, 0, 1102, 1870, 1289, 1095, 1289},
        {"exactly below", 0, 1102, 0, 2204, 547, 1289, 547, 2204},
        {"dx equals dy: vertical rule", 0, 1102, 1323, 2425, 547, 1289, 1870, 2425},
        {"down and right, mostly sideways", 0, 1102, 2646, 1653, 547, 1289, 2646, 1840},
    };
    for (const Case &c : cases) {
        PartsRecord p = partWithBlocks({{0, 20, c.fx, c.fy}, {1, 20, c.tx, c.ty}});
        p.Blocks[0].NextBlock = 1;
        const auto items = connectorDrawing(p, g);
        ASSERT_EQ(items.size(), 3u) << c.what;
        EXPECT_EQ(items[0], line(c.x1, c.y1, c.x2, c.y2, ConnectorGreen)) << c.what;
    }
}

// A link back up (a loop) goes round on the right of the boxes into the target's right side,
// clear of the arrows going down between them; a link up and far to the side stays straight.
TEST(Connectors, ALinkBackUpGoesRoundOnTheRight)
{
    PartsRecord p = partWithBlocks({{0, 20, 0, 1102}, {1, 20, 0, 2204}, {2, 20, 0, 3306}});
    p.Blocks[0].NextBlock = 1;
    p.Blocks[1].NextBlock = 2;
    p.Blocks[2].NextBlock = 0; // back to the top
    const auto green = linesOnly(connectorDrawing(p, g), ConnectorGreen);
    ASSERT_EQ(green.size(), 3u * 2 + 5u);
    const std::vector<ConnectorItem> loop(green.end() - 5, green.end());
    const int side = 1095 + 12 * 15;
    EXPECT_EQ(loop[0], line(1095, 3493, side, 3493, ConnectorGreen));
    EXPECT_EQ(loop[1], line(side, 3493, side, 1289, ConnectorGreen));
    EXPECT_EQ(loop[2], line(side, 1289, 1095, 1289, ConnectorGreen)) << "into the top block's right side";
    // Nothing of the loop runs down the middle where the forward arrows are.
    for (const ConnectorItem &item : loop)
        EXPECT_FALSE(item.x1 == 547 && item.x2 == 547);

    PartsRecord far = partWithBlocks({{0, 20, 2646, 2204}, {1, 20, 0, 1102}});
    far.Blocks[0].NextBlock = 1; // up, but more sideways than up
    const auto straight = linesOnly(connectorDrawing(far, g), ConnectorGreen);
    ASSERT_EQ(straight.size(), 3u);
    EXPECT_EQ(straight[0], line(3193, 2391, 1095, 1289, ConnectorGreen));
}

TEST(Connectors, EndBoxIsEnteredFromTheRightOrFromTheTop)
{
    PartsRecord p = partWithBlocks({{0, 20, 1323, 6061}, {1, 20, 0, 4408}, {2, 20, 0, 6612}});
    p.Blocks[0].NextBlock = 99; // level with the end box: across it to its right edge
    p.Blocks[1].NextBlock = 99; // above it
    p.Blocks[2].NextBlock = 99; // below it: still its top edge
    const auto green = linesOnly(connectorDrawing(p, g), ConnectorGreen);
    ASSERT_EQ(green.size(), 9u);
    EXPECT_EQ(green[0], line(1870, 6248, 1095, 6307, ConnectorGreen));
    EXPECT_EQ(green[3], line(547, 4595, 547, 6120, ConnectorGreen));
    EXPECT_EQ(green[6], line(547, 6799, 547, 6120, ConnectorGreen));
}

TEST(Connectors, BranchHasASideExitAndCaptionedExits)
{
    PartsRecord p = partWithBlocks({{0, 28, 0, 1102}, {1, 20, 1323, 2204}, {2, 20, 0, 3306}});
    p.Blocks[0].NextBlock = 2;
    p.Blocks[0].NextBlock2 = 1;
    const auto items = connectorDrawing(p, g);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0], line(547, 1289, 547, 3306, ConnectorGreen));
    EXPECT_EQ(items[1], text(547 + (0 / 2) - 150, 1289 + (3306 - 1289) / 2, "成立"));
    EXPECT_EQ(items[4], line(1095, 1289, 1395, 1289, ConnectorOlive));
    EXPECT_EQ(items[5], line(1395, 1289, 1323, 2391, ConnectorOlive));
    EXPECT_EQ(items[6], text(1395 - 36 - 150, 1840, "不成立"));
    EXPECT_EQ(items[7].colour, ConnectorOlive);

    // Only NextBlock set: one green line with its caption; a plain block's NextBlock2 has no side exit.
    p.Blocks[0].NextBlock2 = -1;
    p.Blocks[2].NextBlock2 = 1;
    const auto again = connectorDrawing(p, g);
    ASSERT_EQ(again.size(), 7u);
    EXPECT_EQ(again[1].text, "成立");
    EXPECT_EQ(again[4], line(547, 3493, 1323, 2391, ConnectorOlive));
}

TEST(Connectors, LinksToFreeSlotsDrawNothing)
{
    PartsRecord p = partWithBlocks({{0, 20, 0, 1102}});
    p.Blocks[0].NextBlock = 5;
    p.Blocks[5].NextBlock = 0; // a free slot's own link is not drawn either
    EXPECT_TRUE(connectorDrawing(p, g).empty());
}

TEST(Connectors, ArrowheadWingsAre400TwipsAt160And200Degrees)
{
    std::vector<ConnectorItem> zero;
    appendArrowhead(zero, 1000, 1000, 1000, 1000, ConnectorGreen);
    ASSERT_EQ(zero.size(), 2u);
    EXPECT_EQ(zero[0], line(1000, 1000, 624, 863, ConnectorGreen)); // points to the right
    EXPECT_EQ(zero[1], line(1000, 1000, 624, 1137, ConnectorGreen));

    std::vector<ConnectorItem> down;
    appendArrowhead(down, 547, 0, 547, 1000, ConnectorOlive);
    EXPECT_EQ(down[0], line(547, 1000, 684, 624, ConnectorOlive));
    EXPECT_EQ(down[1], line(547, 1000, 410, 624, ConnectorOlive));

    for (auto [x1, y1] : {std::pair{0, 0}, std::pair{5000, 300}, std::pair{1200, 6000}, std::pair{1190, 1201}}) {
        std::vector<ConnectorItem> wings;
        appendArrowhead(wings, x1, y1, 1200, 1200, ConnectorGreen);
        for (const ConnectorItem &w : wings)
            EXPECT_NEAR(std::hypot(w.x2 - w.x1, w.y2 - w.y1), 400.0, 1.0);
    }
}
