#pragma once

#include "rules/RunTiming.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace jhk {

// The main window's clock for the run's timing: a single-shot timer in the window's event loop,
// so that the window stays responsive and "停止" is heard at once. A question on screen is a
// modal dialog.
class RunTimer : public QObject, public RunClock, public RunTiming {
    Q_OBJECT
public:
    // `resume` resumes the engine's run and shows what it changed.
    explicit RunTimer(std::function<void()> resume, QObject *parent = nullptr);

    void wakeAfter(int ms) override;
    void cancel() override;
    bool waiting() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace jhk
