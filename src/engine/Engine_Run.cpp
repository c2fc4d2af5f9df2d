// Running and stopping the machine, touching parts, and the one-block mode.
#include "engine/Engine.h"

#include "engine/RunEndHint.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/Int16.h"

namespace jhk {

int Engine::runStart(int part) const
{
    const PartsRecord &p = m_m.part(part);
    if (p.BlockCount <= 0)
        return -1;
    return p.FirstBlock == LinkNone ? 0 : p.FirstBlock;
}

void Engine::startRun()
{
    AppState &app = m_m.app;
    if (app.RunMode != ModeEditing)
        return;
    m_stage.selection.visible = false;
    StageControls &c = m_stage.controls;
    c.openEnabled = false;
    c.saveEnabled = false;

    app.RunMode = ModeRunning;
    c.stepEnabled = true;
    m_stage.stateLabel = StateRunning;
    c.startEnabled = false;
    c.stopEnabled = true;
    c.runPointer = true;

    checkAll();
    app.StepGo = 0;
    app.ExecCount = 0;
    for (PartControl &p : m_stage.parts) {
        p.digits.clear();
        p.numberShown = false;
    }
    c.moneyEnabled = false;
    layOutWallet();
    keepMoneyInHand();

    app.SavedPartsCount = app.PartsCount;
    c.partButtonsEnabled = false;
    c.labelButtonEnabled = false;
    c.deleteEnabled = false;
    m_run = {};
    m_stage.runHint.clear();
    m_runEndCurrent = false;
    clearRunList();
    changed(StageChange::Everything);
}

void Engine::forgetRunEnd()
{
    m_runEndCurrent = false;
    if (m_stage.runHint.empty())
        return;
    m_stage.runHint.clear();
    changed(StageChange::Panel);
}

void Engine::layOutWallet()
{
    AppState &app = m_m.app;
    const int tx = app.TwipsX;
    const int ty = app.TwipsY;
    for (std::size_t d = 0; d < CoinValues.size(); ++d) {
        app.WalletSaved[d] = app.Wallet[d];
        const int row = 40 * static_cast<int>(d);
        CoinLabel &label = m_stage.coinLabels[d];
        label.rect = {42 * tx, (row + 305) * ty, 48 * tx, 20 * ty};
        const bool any = app.Wallet[d] > 0;
        for (std::size_t k : {d, d + 5}) {
            m_stage.coins[k].rect = {10 * tx, (row + 300) * ty, 30 * tx, 30 * ty};
            m_stage.coins[k].visible = any;
        }
        label.visible = any;
        if (any) {
            label.text = std::to_string(app.Wallet[d]) + "枚";
            if (app.Wallet[d] == 1) // one coin shows one picture, not a small pile
                m_stage.coins[d].visible = false;
        }
    }
    app.DraggedCoin = -1;
    changed(StageChange::Wallet);
}

void Engine::stepMode()
{
    AppState &app = m_m.app;
    // A program still at work (a sound, a slow run) finishes as it began.
    if (app.RunMode != ModeRunning || m_run.active)
        return;
    m_stage.controls.chartVisible = true;
    clearRunList();
    app.RunMode = ModeOneBlock;
    app.StepGo = 0;
    m_stage.stateLabel = StateOneBlock;
    m_stage.controls.stepEnabled = false;
    changed(StageChange::Panel);
}

void Engine::nextStep()
{
    // "▼" with no step run waiting is not remembered: the next touched program waits for its
    // own first press.
    if (m_m.app.RunMode != ModeOneBlock || !stepRunWaiting())
        return;
    m_m.app.StepGo = -1;
    driveRun();
}

void Engine::touchPart(int i)
{
    AppState &app = m_m.app;
    if (!m_m.partExists(i))
        return;
    const PartsRecord &p = m_m.part(i);
    const bool runnable = p.BlockCount > 0 && p.Kind != KindCoinSlot;

    if (app.RunMode == ModeRunning) {
        if (!runnable || m_run.active)
            return;
        addRunListLine(m_catalogue.kindName(p.Kind), false);
        beginProgram(i, runStart(i), false, -1);
        return;
    }

    if (app.RunMode != ModeOneBlock || m_run.active)
        return;
    int first = -1;
    if (runnable) {
        first = runStart(i);
        addRunListLine(std::to_string(i) + ":" + m_catalogue.kindName(p.Kind) + TouchRunTitleSuffix);
        setBlockState(BlockStateWaiting);
        app.CurParts = static_cast<std::int16_t>(i);
        m_stage.showSelection(m_m, SelectionPart, i);
        m_stage.chartEndColor = ChartEndActiveColor;
        changed(StageChange::Selection);
    }
    beginProgram(i, first, false, -1);
}

void Engine::beginProgram(int part, int first, bool fromCoin, int coin)
{
    m_run = {};
    m_run.active = true;
    m_run.oneBlock = m_m.app.RunMode == ModeOneBlock;
    m_run.fromCoin = fromCoin;
    m_run.part = part;
    m_run.coin = coin;
    m_run.next = first;
    m_run.started = first != -1;
    m_stopCause = {};
    if (m_run.started)
        m_runEndCurrent = false;
    if (m_run.started && !m_stage.runHint.empty()) {
        m_stage.runHint.clear();
        changed(StageChange::Panel);
    }
    if (m_run.started && m_observer)
        m_observer->runStarted(part, first);
    if (m_run.oneBlock && first != -1 && first != LinkEnd) {
        m_run.wait = RunWait::Step;
        if (m_observer)
            m_observer->nextBlockWaiting(part, first);
    }
    driveRun();
}

// Runs the program's blocks until it has to wait (for "▼", a sound or the block delay) or
// has ended.
void Engine::driveRun()
{
    AppState &app = m_m.app;
    while (m_run.active) {
        if (m_run.wait == RunWait::Step) {
            if (app.StepGo == 0)
                return;
            m_run.wait = RunWait::None;
        } else if (m_run.wait != RunWait::None) {
            return; // the scheduler resumes the run
        }
        const int block = m_run.next;
        // The continuous run passes the end box to the interpreter once more (it counts
        // towards the guard); the one-block mode stops in front of it.
        if (block == -1 || (m_run.oneBlock && block == LinkEnd)) {
            finishProgram();
            return;
        }
        runBlock(block);
    }
}

void Engine::runBlock(int block)
{
    m_soundsWait = m_scheduler != nullptr;
    m_soundWaitMs = 0;
    m_blockRuns = false;
    const int next = executeBlock(m_run.part, block);
    m_soundsWait = false;
    if (!m_run.active) // stopped while a message was up
        return;
    if (m_run.wait == RunWait::Message) {
        // Paused on a message: the answer finishes the block.
        m_run.next = next;
        m_run.waitedBlock = block;
        m_run.messageRan = m_blockRuns;
        return;
    }
    blockDone(block, next, m_blockRuns);
}

void Engine::blockDone(int block, int next, bool ran)
{
    m_run.next = next;
    // The end box and a block refused by the guard did not run.
    if (ran)
        m_run.block = block;
    if (m_soundWaitMs > 0) {
        m_run.waitedBlock = block;
        waitFor(RunWait::Sound, m_soundWaitMs);
        return;
    }
    afterBlock(block, ran);
}

// What follows a block once it has fully run (its sound included): the run list, the
// one-block mode's wait for "▼", a slow run's delay.
void Engine::afterBlock(int block, bool ran)
{
    AppState &app = m_m.app;
    const int next = m_run.next;
    if (ran && m_observer)
        m_observer->blockRan(m_run.part, block, next);
    if (m_run.oneBlock) {
        addRunListLine(RunListIndent + app.LastBlockName, m_run.fromCoin);
        setBlockState(BlockStateRunning);
        app.StepGo = 0;
        if (next != -1 && next != LinkEnd) {
            m_run.wait = RunWait::Step;
            if (m_observer)
                m_observer->nextBlockWaiting(m_run.part, next);
        }
        return;
    }
    if (next == -1)
        return;
    if (!m_run.fromCoin) {
        m_stage.runListSelection = static_cast<int>(m_stage.runList.size()) - 1;
        addRunListLine(RunListIndent + app.LastBlockName, false);
    }
    if (m_blockDelayMs > 0 && m_scheduler && next != LinkEnd)
        waitFor(RunWait::Delay, m_blockDelayMs);
}

void Engine::waitFor(RunWait wait, int ms)
{
    m_run.wait = wait;
    m_scheduler->resumeAfter(ms);
}

void Engine::resumeRun()
{
    if (m_run.wait == RunWait::Sound) {
        m_run.wait = RunWait::None;
        showProduct(m_run.reveal);
        m_run.reveal = 0;
        afterBlock(m_run.waitedBlock, true);
    } else if (m_run.wait == RunWait::Delay) {
        m_run.wait = RunWait::None;
    } else {
        return; // nothing was waiting for the scheduler
    }
    driveRun();
}

void Engine::finishProgram()
{
    AppState &app = m_m.app;
    const ProgramRun run = m_run;
    RunEndInfo info;
    info.part = run.part;
    info.block = run.block;
    if (m_stopCause.set) {
        info.reason = m_stopCause.reason;
        info.detail = m_stopCause.detail;
    }
    m_stopCause = {};
    if (run.oneBlock) {
        if (run.fromCoin) {
            addRunListLine(CoinRunEnd, false);
            addRunListLine(RunListIndent);
            finishCoinDrop(run.coin);
            addRunListLine("", false);
        } else {
            addRunListLine(TouchRunEnd, false);
            addRunListLine("", false);
            m_stage.selection.visible = false;
            changed(StageChange::Selection);
            app.ExecCount = 0;
        }
        setBlockState(BlockStateFinished);
    } else if (run.fromCoin) {
        finishCoinDrop(run.coin);
    } else {
        app.ExecCount = 0;
    }
    m_run = {};
    if (run.started) {
        m_runEndCurrent = true;
        m_stage.runHint = runEndHint(info, m_m, m_catalogue);
        if (!m_stage.runHint.empty())
            changed(StageChange::Panel);
        if (m_observer)
            m_observer->runEnded(info);
    }
}

void Engine::stopRun()
{
    AppState &app = m_m.app;
    if (app.RunMode != ModeRunning && app.RunMode != ModeOneBlock)
        return;
    ++m_stops;
    // A program waiting for "▼", a sound or the block delay ends here, at once: it does not go
    // on after the stop.
    const ProgramRun run = m_run;
    if (run.active && (run.wait == RunWait::Sound || run.wait == RunWait::Delay)) {
        m_scheduler->cancelResume();
        if (run.wait == RunWait::Sound)
            m_sound.stopSound();
    }
    m_run = {};
    m_stopCause = {};
    // A message still up belongs to the run that ended: its answer changes nothing.
    ++m_messageTicket;
    m_afterMessage = {};
    if (run.started)
        m_runEndCurrent = true;
    if (run.started && m_observer)
        m_observer->runEnded(RunEndInfo{RunEnd::Stopped, run.part, run.block, {}});
    if (app.DraggedCoin >= 0 && app.DraggedCoin < static_cast<int>(m_stage.coins.size()))
        m_stage.coins[static_cast<std::size_t>(app.DraggedCoin)].rect = m_coinOrigin;
    app.RunMode = ModeEditing;
    m_stage.stateLabel = StateEditing;
    StageControls &c = m_stage.controls;
    c.openEnabled = true;
    c.saveEnabled = true;

    // Every used slot, whatever its number: a part in a high slot must not keep a lit lamp
    // or a stale amount into editing and into the saved file.
    for (int j = 0; j < PartSlots; ++j) {
        PartsRecord &p = m_m.part(j);
        if (!p.isUsed())
            continue;
        if (p.Kind == KindButton) {
            setPartPicture(j, ButtonOffPicture);
            setVariable(j, 1, 0);
            setVariable(j, 2, 0);
        } else if (p.Kind == KindCounter) {
            m_stage.part(j).digits.clear();
            setVariable(j, 1, 0);
        }
        p.LampLink = p.ImageNo;
    }

    c.startEnabled = true;
    c.stopEnabled = false;
    c.stepEnabled = false;
    c.runPointer = false;
    m_stage.chartEndColor = 0;

    m_stage.products.clear();
    m_draggedProduct = -1;
    app.DischargeCount = 0;

    for (std::size_t d = 0; d < CoinValues.size(); ++d) {
        app.Wallet[d] = app.WalletSaved[d];
        m_stage.coinLabels[d].visible = false;
        m_stage.coins[d].visible = false;
        m_stage.coins[d + 5].visible = false;
    }
    restoreMoneyInHand();
    app.DraggedCoin = -1;
    m_stage.walletDrawn = false;

    if (app.CurParts > 0 && app.SelKind == SelectionPart && m_m.partExists(app.CurParts)) {
        m_stage.showSelection(m_m, SelectionPart, app.CurParts);
        m_stage.selection.visible = true;
    }
    c.moneyEnabled = true;
    for (PartControl &p : m_stage.parts)
        p.numberShown = true;
    c.chartVisible = false;
    if (app.PartsCount != MaxParts)
        c.partButtonsEnabled = true;
    c.labelButtonEnabled = true;
    c.deleteEnabled = true;
    changed(StageChange::Everything);
}

void Engine::tickBlink()
{
    if (m_m.app.BlockEditorOpen == -1)
        return;
    m_stage.blinkCounter = (m_stage.blinkCounter + 1) % static_cast<int>(BlinkColors.size());
    m_stage.stateLabelColor = BlinkColors[static_cast<std::size_t>(m_stage.blinkCounter)];
    changed(StageChange::Blink);
}

void Engine::runPartDown(int i, int x, int y)
{
    AppState &app = m_m.app;
    if (app.RunMode != ModeRunning || !m_m.partExists(i))
        return;
    const StageRect &r = m_stage.part(i).rect;
    app.GrabX = clamp16(x);
    app.GrabY = clamp16(y);
    app.OrigLeft = clamp16(r.left);
    app.OrigTop = clamp16(r.top);
    app.SelKind = SelectionPart;
    app.DragIndex = static_cast<std::int16_t>(i);
    app.CurParts = static_cast<std::int16_t>(i);
    PartsRecord &p = m_m.part(i);
    if (p.Kind == KindLever) {
        setPartPicture(i, LeverPulledPicture);
        p.LeverDown = -1;
    }
}

void Engine::runPartMove(int i, int x, int y)
{
    (void)i;
    AppState &app = m_m.app;
    if (app.RunMode != ModeRunning || !m_m.partExists(app.DragIndex))
        return;
    if (m_m.part(app.DragIndex).RunDrag != -1)
        return;
    StageRect &r = m_stage.part(app.DragIndex).rect;
    r.left += x - app.GrabX;
    r.top += y - app.GrabY;
    changed(StageChange::Part, app.DragIndex);
}

void Engine::runPartUp(int i)
{
    (void)i;
    AppState &app = m_m.app;
    if (app.RunMode != ModeRunning || !m_m.partExists(app.DragIndex))
        return;
    const int held = app.DragIndex;
    StageRect &r = m_stage.part(held).rect;
    if (Stage::isOutside(m_m, r)) {
        r.left = app.OrigLeft;
        r.top = app.OrigTop;
    }
    PartsRecord &p = m_m.part(held);
    if (p.Kind == KindLever && p.LeverDown == -1) {
        setPartPicture(held, LeverRestPicture);
        p.LeverDown = 0;
    }
    app.DragIndex = -1;
    p.Left = clamp16(r.left);
    p.Top = clamp16(r.top);
    changed(StageChange::Part, held);
}

void Engine::productDown(int n, int x, int y)
{
    AppState &app = m_m.app;
    if (app.RunMode != ModeRunning && app.RunMode != ModeOneBlock)
        return;
    for (std::size_t k = 0; k < m_stage.products.size(); ++k) {
        if (m_stage.products[k].n != n)
            continue;
        const StageRect &r = m_stage.products[k].rect;
        app.GrabX = clamp16(x);
        app.GrabY = clamp16(y);
        app.OrigLeft = clamp16(r.left);
        app.OrigTop = clamp16(r.top);
        m_draggedProduct = static_cast<int>(k);
        return;
    }
}

void Engine::productMove(int n, int x, int y)
{
    (void)n;
    AppState &app = m_m.app;
    if (m_draggedProduct < 0)
        return;
    if (app.RunMode != ModeRunning && (app.RunMode != ModeOneBlock || stepRunInProgress()))
        return;
    StageRect &r = m_stage.products[static_cast<std::size_t>(m_draggedProduct)].rect;
    r.left += x - app.GrabX;
    r.top += y - app.GrabY;
    changed(StageChange::Products);
}

void Engine::productUp(int n)
{
    (void)n;
    AppState &app = m_m.app;
    if (m_draggedProduct < 0)
        return;
    StageRect &r = m_stage.products[static_cast<std::size_t>(m_draggedProduct)].rect;
    if (Stage::isOutside(m_m, r)) {
        r.left = app.OrigLeft;
        r.top = app.OrigTop;
    }
    m_draggedProduct = -1;
    changed(StageChange::Products);
}

} // namespace jhk
