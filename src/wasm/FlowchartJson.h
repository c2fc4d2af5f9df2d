#pragma once

#include "rules/FlowchartScene.h"
#include "wasm/Json.h"

#include <cstdint>
#include <string>

namespace jhk {

// A colour of the tables (0x00BBGGRR) as CSS.
std::string cssOfBgr(std::uint32_t bgr);

// A rectangle of the canvas in canvas pixels: the fields x, y, w, h (fractions where the twips
// fall between pixels).
void writeCanvasRect(JsonWriter &j, const TwipsRect &r, const CanvasGeometry &g);

// The fields of a flowchart as the page draws it, into an object the caller has opened:
// width, height, startBoxVisible, ovalsVisible, ovalColour, notice, startBox, endBox,
// boxes [{slot, x, y, w, h, caption, branch, complete, fill | picture, textColour}] and
// connectors [{type: "line" | "text", x1, y1, x2, y2, colour, text}].
void writeFlowchartFields(JsonWriter &j, const FlowchartScene &scene);

} // namespace jhk
