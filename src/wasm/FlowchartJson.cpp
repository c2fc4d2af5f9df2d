#include "wasm/FlowchartJson.h"

#include <cstdio>

namespace jhk {

std::string cssOfBgr(std::uint32_t bgr)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return buf;
}

void writeCanvasRect(JsonWriter &j, const TwipsRect &r, const CanvasGeometry &g)
{
    const double tx = g.twipsX, ty = g.twipsY;
    j.field("x", r.left / tx).field("y", r.top / ty).field("w", r.width / tx).field("h", r.height / ty);
}

void writeFlowchartFields(JsonWriter &j, const FlowchartScene &scene)
{
    const CanvasGeometry &g = scene.geometry;
    const double tx = g.twipsX, ty = g.twipsY;
    j.field("width", CanvasGeometry::WidthPx).field("height", CanvasGeometry::HeightPx);
    j.field("startBoxVisible", scene.startBoxVisible).field("ovalsVisible", scene.ovalsVisible);
    j.field("ovalColour", cssOfBgr(StartEndColour));
    j.field("notice", scene.notice);
    j.key("startBox").beginObject();
    writeCanvasRect(j, g.startBox(), g);
    j.endObject();
    j.key("endBox").beginObject();
    writeCanvasRect(j, g.endBox(), g);
    j.endObject();
    j.key("boxes").beginArray();
    for (const BlockBox &b : scene.boxes) {
        j.beginObject().field("slot", b.slot);
        writeCanvasRect(j, b.rect, g);
        j.field("caption", b.caption).field("branch", b.branch).field("complete", b.complete);
        if (b.branch) {
            // A branch: its caption over the marker picture of its state.
            j.field("picture", b.complete ? "builtin/branch_complete.png" : "builtin/branch_incomplete.png");
            j.field("textColour", cssOfBgr(BranchTextColour));
        } else {
            j.field("fill", cssOfBgr(b.complete ? CompleteBoxColour : IncompleteBoxColour)).field("textColour", "#000000");
        }
        j.endObject();
    }
    j.endArray();
    j.key("connectors").beginArray();
    for (const ConnectorItem &c : scene.connectors) {
        j.beginObject().field("type", c.type == ConnectorItem::Type::Line ? "line" : "text");
        j.field("x1", c.x1 / tx).field("y1", c.y1 / ty).field("x2", c.x2 / tx).field("y2", c.y2 / ty);
        j.field("colour", cssOfBgr(c.colour)).field("text", c.text).endObject();
    }
    j.endArray();
}

} // namespace jhk
