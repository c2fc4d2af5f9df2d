#pragma once

namespace jhk {

struct Machine;

// Writes the ready-made level-1 program of the part's kind (button, coin slot, change lever)
// and cuts it down to the current exercise step. Other kinds get no program.
void giveLevel1Program(Machine &m, int slot);

// Switches the exercise step (1, 2 or 3): every part's program is cut down or restored.
// Parameters the pupil set stay in switched-off blocks, so step 3 brings them back.
void switchExerciseStep(Machine &m, int step);

} // namespace jhk
