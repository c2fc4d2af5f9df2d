#pragma once

#include "engine/RunScheduler.h"

#include <functional>

namespace jhk {

// The face's clock: calls back once, some milliseconds from now, from its event loop.
class RunClock {
public:
    virtual ~RunClock() = default;
    // Calls the timing's clockFired() once, `ms` milliseconds from now; a new request replaces
    // the one not yet made.
    virtual void wakeAfter(int ms) = 0;
    // Forgets the request not yet made.
    virtual void cancel() = 0;
    virtual bool waiting() const = 0;
};

// The run's timing for a run that waits for a product's sound or a slow run's block delay: the
// engine's resumes become requests to the face's clock. While a question is on screen the
// machine holds still and goes on once it has been answered.
class RunTiming : public RunScheduler {
public:
    // `questionOpen`: a question waits for the pupil's answer; `resume` resumes the engine's run
    // and shows what it changed.
    RunTiming(RunClock &clock, std::function<bool()> questionOpen, std::function<void()> resume);

    void resumeAfter(int ms) override;
    void cancelResume() override;
    bool pending() const { return m_clock.waiting(); }
    // The clock's call: the run goes on, or looks again a little later while a question is open.
    void clockFired();

    // How often a run held by a question on screen looks again.
    static constexpr int HeldRetryMs = 50;

private:
    RunClock &m_clock;
    std::function<bool()> m_questionOpen;
    std::function<void()> m_resume;
};

} // namespace jhk
