#include "stage/RunTimer.h"

#include <QApplication>

namespace jhk {

RunTimer::RunTimer(std::function<void()> resume, QObject *parent)
    : QObject(parent)
    , RunTiming(*this, [] { return QApplication::activeModalWidget() != nullptr; }, std::move(resume))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { clockFired(); });
}

void RunTimer::wakeAfter(int ms)
{
    m_timer.start(ms);
}

void RunTimer::cancel()
{
    m_timer.stop();
}

} // namespace jhk
