#pragma once

#include <string>

namespace jhk {

struct Machine;

inline constexpr const char *TooManyPartsMessage = "ブロックは30個以上配置できません";
inline constexpr const char *StrangeMessage = "これはおかしい！";

struct CreatePartResult {
    int slot = -1;              // the new part's slot, -1 when nothing was created
    std::string message;        // the message to show when nothing was created
    bool paletteFull = false;   // the palette's part buttons are to be disabled
};

// Places a new part of `kind` at (DropX, DropY): takes the lowest free slot, fills its record
// (with the level-1 program at level 1) and makes it the current part. The window moves the
// part's picture, shows the selection frame and opens the property dialog.
CreatePartResult createPart(Machine &m, int kind);

// Fills label slot j of a label just placed at (DropX, DropY). The caller has counted it in
// LabelCount; widthTwips/heightTwips are the size of its control with the new caption.
void createLabel(Machine &m, int j, int widthTwips, int heightTwips);

// The caption of a new label in slot j: "ラベル1" …
std::string newLabelCaption(int j);

} // namespace jhk
