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

bool Engine::message(const std::string &text)
{
    if (m_observer)
        m_observer->messageShown(text);
    const AppState &app = m_m.app;
    if (app.RunMode != ModeRunning && app.RunMode != ModeOneBlock) {
        m_view.showMessage(text);
        return true;
    }
    const unsigned stops = m_stops;
    if (m_view.showRunMessage(text) == RunMessageAnswer::Stop)
        stopRun();
    return m_stops == stops;
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
