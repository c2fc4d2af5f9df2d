#pragma once

#include "model/AppState.h"

#include <array>
#include <string>

namespace jhk {

// The names the steps of the history go by ("元に戻す「パーツの削除」"), so that a pupil knows
// what an undo will take back before choosing it.
struct StepName {
    std::string name;
    // False for a step that changes nothing the stage shows (a program): after undoing it,
    // the pupil is told, since the stage looks the same.
    bool shownOnStage = true;

    bool operator==(const StepName &) const = default;
};

// The machine as one side of an edit: the tables with what is kept beside them.
struct EditSide {
    const Machine &machine;
    const std::array<std::string, LabelSlots> &labelFonts;
    const std::string &paintedKey; // changes whenever a drawing of the paint tool does
};

// The name of the edit that turned `before` into `after`: what the pupil did that shows most
// (a part placed or deleted before a part moved, a move before a property, a program last).
StepName nameEdit(const EditSide &before, const EditSide &after);

// The Edit menu's entries, naming the step when there is one: "元に戻す「パーツの削除」(&U)";
// without one (or without a name), "元に戻す(&U)" and "やり直し(&R)".
std::string editCaption(bool undo, const StepName *step);

// What the pupil is told after undoing (or redoing) a step the stage does not show; empty for
// a step the stage shows.
std::string travelNote(bool undo, const StepName &step);

} // namespace jhk
