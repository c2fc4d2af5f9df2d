#include "wasm/PagePrint.h"

#include "rules/MachinePrintLayout.h"
#include "rules/WorksheetPages.h"
#include "wasm/Json.h"
#include "wasm/PageMachine.h"

#include <cstdio>

namespace jhk {

namespace {

constexpr int CssDpi = 96;

std::string css(std::uint32_t rgb)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06x", rgb & 0xFFFFFFu);
    return buf;
}

const char *kindName(PaperItem::Kind k)
{
    using Kind = PaperItem::Kind;
    switch (k) {
    case Kind::Picture: return "picture";
    case Kind::Fill: return "fill";
    case Kind::Text: return "text";
    case Kind::Line: return "line";
    case Kind::Box: return "box";
    case Kind::Oval: return "oval";
    case Kind::Decision: return "decision";
    case Kind::Clip: return "clip";
    case Kind::Unclip: return "unclip";
    }
    return "";
}

void writePage(JsonWriter &j, const PaperPage &page, const Machine &m)
{
    j.beginObject().field("width", page.width).field("height", page.height);
    j.key("items").beginArray();
    for (const PaperItem &i : page.items) {
        j.beginObject().field("kind", kindName(i.kind));
        j.field("x", i.rect.x).field("y", i.rect.y).field("w", i.rect.w).field("h", i.rect.h);
        switch (i.kind) {
        case PaperItem::Kind::Picture:
            j.field("picture", i.picture).field("slot", i.slot);
            j.field("partKind", i.slot >= 0 ? int(m.part(i.slot).Kind) : -1);
            break;
        case PaperItem::Kind::Text:
            j.field("text", i.text).field("family", i.font.family).field("pixels", i.font.pixels);
            j.field("bold", i.font.bold).field("colour", css(i.colour)).field("opaque", i.opaque);
            j.field("ax", i.at.x).field("ay", i.at.y);
            break;
        case PaperItem::Kind::Fill:
            j.field("colour", css(i.colour));
            break;
        case PaperItem::Kind::Line:
            j.field("ax", i.at.x).field("ay", i.at.y).field("bx", i.to.x).field("by", i.to.y);
            j.field("pen", i.pen).field("colour", css(i.colour));
            break;
        case PaperItem::Kind::Decision:
            j.field("tip", i.tip);
            break;
        default:
            break;
        }
        j.endObject();
    }
    j.endArray().endObject();
}

} // namespace

std::string printPageJson(PageMachine &pm, bool numbers, double pageWidth, const PaperMeasure &measure)
{
    const Machine &m = pm.machine();
    JsonWriter j;
    j.beginObject();
    if (!printRequested(m, {true, numbers})) {
        j.field("refusal", "");
    } else {
        const MachinePrint print{m, pm.engine().stage(), pm.editor().labelFonts(), "", numbers};
        PaperPage page{pageWidth, 0, layoutMachinePrint(print, CssDpi, CssDpi, pageWidth, measure)};
        j.key("page");
        writePage(j, page, m);
    }
    j.endObject();
    return j.text();
}

std::string worksheetJson(PageMachine &pm, int part, bool blank, const std::string &title, const PaperMeasure &measure)
{
    const WorksheetPages sheet = layoutWorksheet(pm.machine(), pm.catalogue(), blank ? OperandStyle::Blank : OperandStyle::Filled,
                                                 title, measure, part);
    JsonWriter j;
    j.beginObject();
    if (!sheet.refusal.empty())
        j.field("refusal", sheet.refusal);
    j.key("pages").beginArray();
    for (const PaperPage &page : sheet.pages)
        writePage(j, page, pm.machine());
    j.endArray().endObject();
    return j.text();
}

} // namespace jhk
