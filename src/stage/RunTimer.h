#pragma once

#include "engine/RunScheduler.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace jhk {

// The main window's clock for a run that waits for a product's sound or a slow run's block
// delay: a single-shot timer in the window's event loop, so that the window stays responsive
// and "停止" is heard at once. While a question is on screen the machine holds still and goes
// on once it has been answered.
class RunTimer : public QObject, public RunScheduler {
    Q_OBJECT
public:
    // `resume` resumes the engine's run and shows what it changed.
    explicit RunTimer(std::function<void()> resume, QObject *parent = nullptr);

    void resumeAfter(int ms) override;
    void cancelResume() override;
    bool pending() const { return m_timer.isActive(); }

private:
    void fire();

    std::function<void()> m_resume;
    QTimer m_timer;
};

} // namespace jhk
