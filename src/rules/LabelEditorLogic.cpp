#include "rules/LabelEditorLogic.h"

#include "engine/Stage.h"
#include "model/AppState.h"
#include "model/Int16.h"
#include "rules/PropertyDialogLogic.h"

#include <cmath>

namespace jhk {

namespace {

constexpr int StripLeft = 232;
constexpr int StripTops[2] = {88, 128};
constexpr int StripWidth = 144;
constexpr int StripHeight = 17;
constexpr double LargestFontSize = 1000;

int colourIndex(std::int32_t stored) { return stored >= 0 ? static_cast<int>(stored % ColorCount) : 0; }

} // namespace

LabelEditorLogic::LabelEditorLogic(const AppState &app, const LabelRecord &label, const LabelControl &control,
                                   const std::string &controlFont)
    : caption(label.Caption),
      fontName(controlFont),
      fontSizeText(std::to_string(control.fontSize)),
      italic(label.FontItalic == -1),
      bold(label.FontBold == -1),
      transparent(label.Transparent == 1),
      foreIndex(colourIndex(label.ForeColor)),
      backIndex(colourIndex(label.BackColor)),
      m_app(app),
      m_twipsX(app.TwipsX),
      m_twipsY(app.TwipsY)
{
}

std::vector<std::string> LabelEditorLogic::fontSizes()
{
    std::vector<std::string> sizes;
    for (int s = 8; s <= 20; ++s)
        sizes.push_back(std::to_string(s));
    for (const char *s : {"22", "24", "48"})
        sizes.emplace_back(s);
    return sizes;
}

LabelEditorLogic::Rect LabelEditorLogic::stripArea(int strip) const
{
    return {StripLeft * m_twipsX, StripTops[strip == 0 ? 0 : 1] * m_twipsY, StripWidth * m_twipsX,
            StripHeight * m_twipsY};
}

LabelEditorLogic::Rect LabelEditorLogic::cell(int strip, int j) const
{
    const Rect a = stripArea(strip);
    const int c = static_cast<int>(roundHalfEven(a.width / 9.0));
    return {a.left + c * j, a.top, c, a.height};
}

bool LabelEditorLogic::chooseColour(int x, int y)
{
    for (int strip = 0; strip < 2; ++strip) {
        const Rect a = stripArea(strip);
        const int right = a.left + a.width - 1;
        const int bottom = a.top + a.height - 1;
        const int c = static_cast<int>(roundHalfEven((right - a.left) / 9.0));
        if (c <= 0 || x < a.left || x >= right || y < a.top || y >= bottom)
            continue;
        int index = (x - a.left) / c;
        if (index > ColorCount - 1)
            index = ColorCount - 1;
        (strip == 0 ? foreIndex : backIndex) = index;
        return true;
    }
    return false;
}

void LabelEditorLogic::apply(LabelRecord &label, LabelControl &control, std::string &controlFont) const
{
    label.Caption = caption;
    control.caption = caption;
    controlFont = fontName;
    if (const auto size = PropertyDialogLogic::parseNumber(fontSizeText); size && *size >= 1 && *size <= LargestFontSize)
        control.fontSize = static_cast<int>(roundHalfEven(*size));
    label.FontItalic = italic ? -1 : 0;
    label.FontBold = bold ? -1 : 0;
    label.Transparent = transparent ? 1 : 0;
    control.italic = italic;
    control.bold = bold;
    control.transparent = transparent;
    label.ForeColor = foreIndex;
    label.BackColor = backIndex;
    control.foreColor = m_app.ColorTable[static_cast<std::size_t>(foreIndex)];
    control.backColor = m_app.ColorTable[static_cast<std::size_t>(backIndex)];
}

} // namespace jhk
