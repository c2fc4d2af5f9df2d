#include "engine/Engine.h"

#include "engine/PictureSizes.h"
#include "engine/StageView.h"
#include "model/AppState.h"

namespace jhk {

Engine::Engine(Machine &machine, const Catalogue &catalogue, StageView &view, SoundPlayer &player,
               const PictureSizes &sizes)
    : m_m(machine)
    , m_catalogue(catalogue)
    , m_view(view)
    , m_sizes(sizes)
    , m_sound(player)
{
    m_stage.moneyLabel = MoneyLabelPrefix + std::to_string(m_m.app.MoneyInHand);
}

int Engine::messageThen(const std::string &text, std::function<int()> rest)
{
    if (m_observer)
        m_observer->messageShown(text);
    const AppState &app = m_m.app;
    if (app.RunMode != ModeRunning && app.RunMode != ModeOneBlock) {
        m_view.showMessage(text);
        return rest ? rest() : -1;
    }
    const unsigned stops = m_stops;
    const unsigned ticket = ++m_messageTicket;
    m_messageAnswer.reset();
    m_messageAsking = true;
    m_view.showRunMessage(text, [this, ticket](RunMessageAnswer answer) { answerRunMessage(ticket, answer); });
    m_messageAsking = false;
    if (m_messageAnswer) {
        const RunMessageAnswer answer = *m_messageAnswer;
        m_messageAnswer.reset();
        if (answer == RunMessageAnswer::Stop)
            stopRun();
        if (m_stops != stops)
            return -1; // the block that showed the message does nothing more
        return rest ? rest() : -1;
    }
    if (m_stops != stops || !m_run.active)
        return -1;
    // The program pauses here; the answer runs the rest of the block and goes on.
    m_run.wait = RunWait::Message;
    m_run.message = ticket;
    m_afterMessage = std::move(rest);
    return -1;
}

void Engine::answerRunMessage(unsigned ticket, RunMessageAnswer answer)
{
    if (ticket != m_messageTicket)
        return; // the run it belonged to has been stopped
    if (m_messageAsking) {
        m_messageAnswer = answer;
        return;
    }
    if (!m_run.active || m_run.wait != RunWait::Message || m_run.message != ticket)
        return;
    if (answer == RunMessageAnswer::Stop) {
        stopRun();
        return;
    }
    m_run.wait = RunWait::None;
    const std::function<int()> rest = std::move(m_afterMessage);
    m_afterMessage = {};
    int next = m_run.next;
    if (rest) {
        m_soundsWait = m_scheduler != nullptr;
        next = rest();
        m_soundsWait = false;
    }
    if (!m_run.active)
        return;
    if (m_run.wait == RunWait::Message)
        m_run.next = next;
    else
        blockDone(m_run.waitedBlock, next, m_run.messageRan);
    driveRun();
}

void Engine::playSound(const char *name, PlayMode mode)
{
    if (m_observer)
        m_observer->soundPlayed(name);
    m_sound.playOnce(name, mode);
}

void Engine::changed(StageChange what, int index)
{
    m_view.stageChanged(what, index);
}

void Engine::addRunListLine(const std::string &line, bool select)
{
    m_stage.runList.push_back(line);
    if (select)
        m_stage.runListSelection = static_cast<int>(m_stage.runList.size()) - 1;
    m_view.runListLineAdded(line);
}

void Engine::clearRunList()
{
    m_stage.runList.clear();
    m_stage.runListSelection = -1;
    changed(StageChange::RunList);
}

void Engine::setBlockState(const char *text)
{
    m_stage.blockStateLabel = text;
    changed(StageChange::Panel);
}

void Engine::setPartPicture(int i, const std::string &picture)
{
    if (!isPartSlot(i))
        return;
    m_stage.setPartPicture(m_m, m_sizes, i, picture);
    changed(StageChange::Part, i);
}

} // namespace jhk
