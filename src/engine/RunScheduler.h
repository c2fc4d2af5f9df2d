#pragma once

namespace jhk {

// The host's clock for a run that waits: a window resumes the engine from its event loop
// after the time asked for, so that it stays responsive while a product's sound plays or a
// slow run lets a block stay in view. Without a scheduler the engine runs every program to its
// end within the call that started it.
class RunScheduler {
public:
    virtual ~RunScheduler() = default;
    // Calls Engine::resumeRun() once, `ms` milliseconds from now.
    virtual void resumeAfter(int ms) = 0;
    // Forgets a resume asked for and not yet made.
    virtual void cancelResume() = 0;
};

} // namespace jhk
