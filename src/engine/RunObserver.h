#pragma once

#include <string>

namespace jhk {

// Why a program's run ended.
enum class RunEnd {
    Finished,     // the end box, or a block with no next block
    Guard,        // the 1000-block guard ended a probable endless loop
    UnsetPart,    // a block names no part, or a part that does not exist (a quiet stop)
    UnsetOperand, // a block's operand is not set (a quiet stop)
    Message,      // a block showed a message and ended the run
    Stopped,      // "停止" ended the run
};

// Where and why a program's run ended. `part` and `block` are the slots of the block that
// ended it (`block` is -1 when there was none); `detail` says why in words a pupil reads,
// empty for Finished and Stopped.
struct RunEndInfo {
    RunEnd reason = RunEnd::Finished;
    int part = -1;
    int block = -1;
    std::string detail;
};

// What the engine reports of a run, for the run view, the simulator's trace and the tests.
// Every method has an empty default so an observer overrides only what it shows. The engine
// keeps at most one observer; with none set a run costs no more than before.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // A touched part's or a dropped coin's program starts at `firstBlock`.
    virtual void runStarted(int part, int firstBlock) { (void)part; (void)firstBlock; }
    virtual void blockAboutToRun(int part, int block) { (void)part; (void)block; }
    // `next` is the block that runs next, -1 when the program is over.
    virtual void blockRan(int part, int block, int next) { (void)part; (void)block; (void)next; }
    // Variable A, B or C ('A', 'B', 'C') of part `part` now holds `value`.
    virtual void variableChanged(int part, char which, int value) { (void)part; (void)which; (void)value; }
    virtual void messageShown(const std::string &text) { (void)text; }
    virtual void soundPlayed(const std::string &name) { (void)name; }
    // One-block mode: "▼" will run block `block` of part `part` next.
    virtual void nextBlockWaiting(int part, int block) { (void)part; (void)block; }
    virtual void runEnded(const RunEndInfo &info) { (void)info; }
};

} // namespace jhk
