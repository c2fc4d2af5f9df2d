#pragma once

#include <string>
#include <vector>

namespace jhk {

struct AppState;
struct LabelRecord;
struct LabelControl;

// The rules of the label editor "ラベルの編集": the label's text, font, size, style, the two
// colour strips and the transparent background. Positions are twips in the dialog.
class LabelEditorLogic {
public:
    LabelEditorLogic(const AppState &app, const LabelRecord &label, const LabelControl &control,
                     const std::string &fontName);

    std::string caption;
    std::string fontName;
    std::string fontSizeText;
    bool italic = false;
    bool bold = false;
    bool transparent = false;
    int foreIndex = 8;
    int backIndex = 7;

    // "8" … "20", "22", "24", "48".
    static std::vector<std::string> fontSizes();

    struct Rect {
        int left, top, width, height;
    };
    // The area of strip 0 (text colour) or 1 (background colour).
    Rect stripArea(int strip) const;
    // The filled cell j of a strip, and the outline of the chosen cell.
    Rect cell(int strip, int j) const;
    // Mouse button down at (x, y): chooses a colour when the point is on a strip.
    bool chooseColour(int x, int y);

    // "決定": writes the record and the stage control. A font size that is not a number is
    // ignored (the control keeps its size).
    void apply(LabelRecord &label, LabelControl &control, std::string &controlFont) const;

private:
    const AppState &m_app;
    int m_twipsX;
    int m_twipsY;
};

} // namespace jhk
