#pragma once

#include "engine/RunObserver.h"

#include <iosfwd>

namespace jhk {

// Writes the blocks a run executes and the variables they change as TAB-separated lines:
// "block<TAB>PART<TAB>BLOCK" before a block runs, "var<TAB>PART<TAB>A|B|C<TAB>VALUE" after a
// variable has changed. The simulator's --trace.
class TraceObserver : public RunObserver {
public:
    explicit TraceObserver(std::ostream &out) : m_out(out) {}

    void blockAboutToRun(int part, int block) override;
    void variableChanged(int part, char which, int value) override;

private:
    std::ostream &m_out;
};

} // namespace jhk
