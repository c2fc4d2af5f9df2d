#include "rules/Connectors.h"

#include "model/Int16.h"
#include "model/Records.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace jhk {

namespace {

// How far right of the boxes a link back up goes round, in pixels.
constexpr int LoopReach = 12;

ConnectorItem line(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    ConnectorItem item;
    item.x1 = clamp16(x1);
    item.y1 = clamp16(y1);
    item.x2 = clamp16(x2);
    item.y2 = clamp16(y2);
    item.colour = colour;
    return item;
}

ConnectorItem caption(int x, int y, std::string text)
{
    ConnectorItem item;
    item.type = ConnectorItem::Type::Text;
    item.x1 = clamp16(x);
    item.y1 = clamp16(y);
    item.text = std::move(text);
    return item;
}

bool blockInUse(const PartsRecord &part, int slot)
{
    return slot >= 0 && slot < BlockSlots && part.Blocks[static_cast<std::size_t>(slot)].isUsed();
}

TwipsRect boxOf(int slot, const BoxPlaces &g)
{
    return g.blocks[static_cast<std::size_t>(slot)];
}

void appendStartLink(std::vector<ConnectorItem> &out, const PartsRecord &part, const BoxPlaces &g)
{
    if (part.FirstBlock == LinkNone || !blockInUse(part, part.FirstBlock))
        return;
    const TwipsRect s = g.start;
    const TwipsRect b = boxOf(part.FirstBlock, g);
    const int tipX = b.left + b.width / 2;
    out.push_back(line(s.left + s.width / 2, s.top + s.height, tipX, b.top, ConnectorGreen));
    // The arrowhead points along the line from the start box's centre, not from its bottom.
    appendArrowhead(out, s.left + s.width / 2, s.top + s.height / 2, tipX, b.top, ConnectorGreen, g.arrowWing);
}

void appendBlockLink(std::vector<ConnectorItem> &out, const PartsRecord &part, int i, int exit, const BoxPlaces &g)
{
    const BlockRecord &block = part.Blocks[static_cast<std::size_t>(i)];
    const int link = exit == 0 ? block.NextBlock : block.NextBlock2;
    if (link < 0)
        return;
    const bool toEnd = link == LinkEnd;
    if (!toEnd && !blockInUse(part, link))
        return;

    const TwipsRect f = boxOf(i, g);
    const TwipsRect t = toEnd ? g.end : boxOf(link, g);
    int x1 = f.left + f.width / 2;
    const int y1 = f.top + f.height / 2;
    int x2 = t.left + t.width / 2;
    int y2 = t.top + t.height / 2;
    const int dx = std::abs(x1 - x2);
    const int dy = std::abs(y1 - y2);

    if (toEnd) {
        // The end box is entered from the right whichever side the block lies on, or from the top.
        if (dx > dy)
            x2 = t.left + t.width;
        else
            y2 = t.top;
    } else if (dx > dy) {
        if (f.left < t.left)
            x2 = t.left;
        else if (f.left > t.left)
            x2 = t.left + t.width;
    } else {
        if (f.top < t.top)
            y2 = t.top;
        else if (f.top > t.top)
            y2 = t.top + t.height;
    }

    const std::uint32_t colour = exit == 0 ? ConnectorGreen : ConnectorOlive;
    const bool branch = block.Kind == BlockBranch;
    const int pixel = g.pixel;
    if (branch && exit == 1) {
        // The failing exit leaves the branch sideways before it turns to its target.
        x1 = f.left + f.width;
        out.push_back(line(x1, y1, x1 + 20 * pixel, y1, colour));
        x1 += 20 * pixel;
    }
    if (!toEnd && dx <= dy && t.top < f.top) {
        // A link back up (a loop) would run along the arrows going down between the boxes and
        // through the boxes between: it goes round on the right instead, into the target's
        // right side.
        const int side = std::max({x1, f.left + f.width, t.left + t.width}) + LoopReach * pixel;
        y2 = t.top + t.height / 2;
        if (x1 < side)
            out.push_back(line(std::max(x1, f.left + f.width), y1, side, y1, colour));
        out.push_back(line(side, y1, side, y2, colour));
        if (branch)
            out.push_back(caption(side + 2 * pixel, y1 + (y2 - y1) / 2, exit == 0 ? "成立" : "不成立"));
        x2 = t.left + t.width;
        out.push_back(line(side, y2, x2, y2, colour));
        appendArrowhead(out, side, y2, x2, y2, colour, g.arrowWing);
        return;
    }
    out.push_back(line(x1, y1, x2, y2, colour));
    if (branch)
        out.push_back(caption(x1 + (x2 - x1) / 2 - 10 * pixel, y1 + (y2 - y1) / 2, exit == 0 ? "成立" : "不成立"));
    appendArrowhead(out, x1, y1, x2, y2, colour, g.arrowWing);
}

} // namespace

BoxPlaces canvasPlaces(const PartsRecord &part, const CanvasGeometry &g)
{
    BoxPlaces places{g.startBox(), g.endBox(), {}, g.twipsX, ArrowWingTwips};
    places.blocks.reserve(part.Blocks.size());
    for (const BlockRecord &b : part.Blocks)
        places.blocks.push_back(g.boxAt(b.X, b.Y));
    return places;
}

void appendArrowhead(std::vector<ConnectorItem> &out, int x1, int y1, int x2, int y2, std::uint32_t colour, int wing)
{
    constexpr double pi = std::numbers::pi;
    const double dx = x2 - x1;
    const double dy = y1 - y2; // y upward
    double theta = 0;
    if (dx != 0) {
        theta = std::atan(dy / dx);
        if (dx < 0)
            theta += pi;
    } else if (dy > 0) {
        theta = pi / 2;
    } else if (dy < 0) {
        theta = -pi / 2;
    }
    for (const double degrees : {160.0, 200.0}) {
        const double phi = theta + degrees * pi / 180.0;
        const long long wx = roundHalfEven(x2 + wing * std::cos(phi));
        const long long wy = roundHalfEven(y2 - wing * std::sin(phi));
        out.push_back(line(x2, y2, static_cast<int>(clamp16(wx)), static_cast<int>(clamp16(wy)), colour));
    }
}

std::vector<ConnectorItem> connectorDrawing(const PartsRecord &part, const CanvasGeometry &g)
{
    return connectorDrawing(part, canvasPlaces(part, g));
}

std::vector<ConnectorItem> connectorDrawing(const PartsRecord &part, const BoxPlaces &g)
{
    std::vector<ConnectorItem> out;
    appendStartLink(out, part, g);
    for (int i = 0; i < BlockSlots; ++i) {
        if (!part.Blocks[static_cast<std::size_t>(i)].isUsed())
            continue;
        appendBlockLink(out, part, i, 0, g);
        appendBlockLink(out, part, i, 1, g);
    }
    return out;
}

std::vector<ConnectorItem> linkDrawing(const PartsRecord &part, const CanvasGeometry &canvas, int from, int exit)
{
    const BoxPlaces g = canvasPlaces(part, canvas);
    std::vector<ConnectorItem> out;
    if (from == -1)
        appendStartLink(out, part, g);
    else if (blockInUse(part, from) && (exit == 0 || exit == 1))
        appendBlockLink(out, part, from, exit, g);
    return out;
}

} // namespace jhk
