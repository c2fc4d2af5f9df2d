#include "stage/RunTimer.h"

#include <QApplication>

namespace jhk {

namespace {

// How often a run held by a question on screen looks again.
constexpr int HeldRetryMs = 50;

} // namespace

RunTimer::RunTimer(std::function<void()> resume, QObject *parent)
    : QObject(parent)
    , m_resume(std::move(resume))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RunTimer::fire);
}

void RunTimer::resumeAfter(int ms)
{
    m_timer.start(ms);
}

void RunTimer::cancelResume()
{
    m_timer.stop();
}

void RunTimer::fire()
{
    if (QApplication::activeModalWidget()) {
        m_timer.start(HeldRetryMs);
        return;
    }
    m_resume();
}

} // namespace jhk
