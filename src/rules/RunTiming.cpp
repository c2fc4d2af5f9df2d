#include "rules/RunTiming.h"

#include <utility>

namespace jhk {

RunTiming::RunTiming(RunClock &clock, std::function<bool()> questionOpen, std::function<void()> resume)
    : m_clock(clock), m_questionOpen(std::move(questionOpen)), m_resume(std::move(resume))
{
}

void RunTiming::resumeAfter(int ms)
{
    m_clock.wakeAfter(ms);
}

void RunTiming::cancelResume()
{
    m_clock.cancel();
}

void RunTiming::clockFired()
{
    if (m_questionOpen && m_questionOpen()) {
        m_clock.wakeAfter(HeldRetryMs);
        return;
    }
    m_resume();
}

} // namespace jhk
