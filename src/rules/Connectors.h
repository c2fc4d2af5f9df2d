#pragma once

#include "rules/CanvasGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jhk {

struct PartsRecord;

// Colours of the connectors, 0x00BBGGRR.
inline constexpr std::uint32_t ConnectorGreen = 0x00C000; // start link and every NextBlock
inline constexpr std::uint32_t ConnectorOlive = 0x008080; // every NextBlock2
inline constexpr int ArrowWingTwips = 400;

// One thing the connector drawing puts on the canvas, in drawing order: a line in a colour,
// or a branch caption whose top-left corner is (x1, y1).
struct ConnectorItem {
    enum class Type { Line, Text };
    Type type = Type::Line;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    std::uint32_t colour = 0;
    std::string text;

    bool operator==(const ConnectorItem &) const = default;
};

// Where the boxes of a flowchart stand and how large its marks are, in one unit: the canvas's
// twips, or the places a worksheet gives the boxes on paper. A side exit leaves a branch 20
// `pixel`s to the right; arrowhead wings are `arrowWing` long.
struct BoxPlaces {
    TwipsRect start;
    TwipsRect end;
    std::vector<TwipsRect> blocks; // by block slot
    int pixel = 15;
    int arrowWing = ArrowWingTwips;
};

// The places the canvas gives the boxes: block boxes at their X, Y, the start and end boxes
// where the canvas puts them.
BoxPlaces canvasPlaces(const PartsRecord &part, const CanvasGeometry &g);

// Every connector of the part's flowchart, worked out from its links and the boxes' places
// (block boxes at their X, Y; start and end boxes where the canvas puts them): the start link,
// then each used block's NextBlock and NextBlock2 in slot order with their side exits, branch
// captions "成立" / "不成立" and arrowheads. Links to free slots draw nothing.
std::vector<ConnectorItem> connectorDrawing(const PartsRecord &part, const CanvasGeometry &g);
// The same drawing for boxes standing at `places`.
std::vector<ConnectorItem> connectorDrawing(const PartsRecord &part, const BoxPlaces &places);

// The lines of one link as connectorDrawing draws them: the start link when `from` is -1,
// otherwise exit `exit` (0 NextBlock, 1 NextBlock2) of block `from`. Empty when that link is
// not drawn.
std::vector<ConnectorItem> linkDrawing(const PartsRecord &part, const CanvasGeometry &g, int from, int exit);

// The two wings of the arrowhead whose tip is (x2, y2), for a line travelling from (x1, y1):
// 400 twips long at 160° and 200° from the direction of travel (a zero-length line points right).
void appendArrowhead(std::vector<ConnectorItem> &out, int x1, int y1, int x2, int y2, std::uint32_t colour,
                     int wing = ArrowWingTwips);

} // namespace jhk
