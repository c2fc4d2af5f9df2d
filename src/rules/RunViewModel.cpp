#include "rules/RunViewModel.h"

#include "model/AppState.h"
#include "model/Catalogue.h"

#include <chrono>
#include <optional>

namespace jhk {

namespace {

std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int variableIndex(char which)
{
    return which == 'A' ? 1 : which == 'B' ? 2 : which == 'C' ? 3 : 0;
}

// Bit of a link in the set of links already on the path.
std::uint64_t linkBit(const RunViewModel::Link &l)
{
    return std::uint64_t{1} << (l.from == RunViewModel::Link::StartBox ? 0 : 1 + 2 * l.from + l.exit);
}

} // namespace

RunViewModel::RunViewModel(const Machine &machine, const Catalogue &catalogue, Clock clock)
    : m_m(machine), m_catalogue(catalogue), m_clock(clock ? std::move(clock) : Clock(steadyMs))
{
    m_rowOfSlot.fill(-1);
    m_kindOfSlot.fill(-2); // nothing built yet
    sync();
    m_changed = false;
}

void RunViewModel::changed()
{
    if (m_changed)
        return;
    m_changed = true;
    if (m_onChange)
        m_onChange();
}

bool RunViewModel::takeChanged()
{
    const bool was = m_changed;
    m_changed = false;
    return was;
}

bool RunViewModel::machineRunning() const
{
    return m_m.app.RunMode == ModeRunning || m_m.app.RunMode == ModeOneBlock;
}

void RunViewModel::show(int part)
{
    if (part == m_shownPart)
        return;
    m_shownPart = part;
    changed();
}

// --- Run events ----------------------------------------------------------------------------

void RunViewModel::runStarted(int part, int firstBlock)
{
    show(part);
    m_path.clear();
    m_pathSeen = 0;
    m_pathPart = part;
    m_running = -1;
    m_waiting = -1;
    m_stopped = -1;
    m_phase = Phase::Running;
    if (m_m.partExists(part) && firstBlock >= 0 && firstBlock == m_m.part(part).FirstBlock) {
        m_path.push_back({Link::StartBox, 0});
        m_pathSeen = linkBit(m_path.back());
    }
    changed();
}

void RunViewModel::blockAboutToRun(int part, int block)
{
    show(part);
    if (part != m_pathPart) { // the view opened in the middle of a program
        m_path.clear();
        m_pathSeen = 0;
        m_pathPart = part;
    }
    m_running = block;
    m_waiting = -1;
    m_phase = Phase::Running;
    changed();
}

void RunViewModel::blockRan(int part, int block, int next)
{
    if (part != m_pathPart || !m_m.partExists(part) || block < 0 || block >= BlockSlots || next < 0)
        return;
    const BlockRecord &b = m_m.part(part).Blocks[static_cast<std::size_t>(block)];
    Link link{block, 0};
    if (next == b.NextBlock)
        link.exit = 0;
    else if (next == b.NextBlock2)
        link.exit = 1;
    else
        return; // a jump the flowchart draws no line for
    const std::uint64_t bit = linkBit(link);
    if (m_pathSeen & bit)
        return;
    m_pathSeen |= bit;
    m_path.push_back(link);
    changed();
}

void RunViewModel::variableChanged(int part, char which, int value)
{
    Cell *cell = cellOf(part, which);
    if (!cell)
        return;
    cell->value = valueText(m_m.part(part).Kind, which, value);
    cell->changedAt = m_clock();
    cell->everChanged = true;
    changed();
}

void RunViewModel::messageShown(const std::string &text)
{
    addLog("メッセージ：" + text);
}

void RunViewModel::soundPlayed(const std::string &name)
{
    addLog("音：" + name);
}

void RunViewModel::nextBlockWaiting(int part, int block)
{
    show(part);
    m_waiting = block;
    m_phase = Phase::Waiting;
    changed();
}

void RunViewModel::runEnded(const RunEndInfo &info)
{
    m_end = info;
    m_phase = Phase::Ended;
    m_running = -1;
    m_waiting = -1;
    m_stopped = isQuietStop(info.reason) ? info.block : -1;
    if (isQuietStop(info.reason) && m_m.partExists(info.part))
        show(info.part);
    changed();
}

void RunViewModel::forgetRunEnd()
{
    if (m_phase != Phase::Ended)
        return;
    m_phase = Phase::Idle;
    m_stopped = -1;
    changed();
}

void RunViewModel::addLog(std::string line)
{
    m_log.push_back(std::move(line));
    ++m_logSerial;
    while (m_log.size() > LogLimit)
        m_log.pop_front();
    changed();
}

// --- The machine ---------------------------------------------------------------------------

int RunViewModel::selectedPart() const
{
    return m_m.app.SelKind == SelectionPart && m_m.partExists(m_m.app.CurParts) ? m_m.app.CurParts : -1;
}

void RunViewModel::followMode()
{
    const bool running = machineRunning();
    const bool wasRunning = m_lastMode == ModeRunning || m_lastMode == ModeOneBlock;
    m_lastMode = m_m.app.RunMode;
    if (running && !wasRunning) {
        // "実行": a new log, and no path until a program runs.
        m_log.clear();
        ++m_logSerial;
        m_path.clear();
        m_pathSeen = 0;
        m_pathPart = -1;
        m_running = m_waiting = m_stopped = -1;
        m_phase = Phase::Idle;
        m_shownPart = -2; // makes show() below report a change
        show(selectedPart());
    } else if (!running && wasRunning) {
        // "停止" ends a program that was still running or waiting; a quiet stop's hint stays.
        m_running = m_waiting = -1;
        if (!quietStop())
            m_phase = Phase::Idle;
        changed();
    }
}

void RunViewModel::sync()
{
    followMode();
    const bool running = machineRunning();
    // While editing, and in a run before any program has run, the selected part is shown.
    if (!running || m_phase == Phase::Idle)
        show(selectedPart());

    bool rebuild = false;
    for (int i = 0; i < PartSlots; ++i) {
        const int kind = m_m.partExists(i) ? m_m.part(i).Kind : -1;
        if (m_kindOfSlot[static_cast<std::size_t>(i)] != kind)
            rebuild = true;
    }
    if (rebuild) {
        rebuildRows();
        changed();
    }
    for (Row &row : m_rows) {
        const PartsRecord &p = m_m.part(row.slot);
        for (Cell &cell : row.cells) {
            std::string value = valueText(row.kind, cell.which, p.Hensuu[static_cast<std::size_t>(variableIndex(cell.which))]);
            if (value == cell.value)
                continue;
            cell.value = std::move(value);
            // A value a run changed without telling is marked all the same; editing is not.
            if (running && !rebuild) {
                cell.changedAt = m_clock();
                cell.everChanged = true;
            }
            changed();
        }
    }
}

void RunViewModel::rebuildRows()
{
    m_rows.clear();
    m_rowOfSlot.fill(-1);
    std::array<std::optional<Catalogue::Entry>, PartsKindCount> entries;
    std::array<bool, PartsKindCount> looked{};
    for (int i = 0; i < PartSlots; ++i) {
        const int kind = m_m.partExists(i) ? m_m.part(i).Kind : -1;
        m_kindOfSlot[static_cast<std::size_t>(i)] = kind;
        if (kind < 0)
            continue;
        Row row;
        row.slot = i;
        row.kind = kind;
        if (kind < PartsKindCount) {
            const auto k = static_cast<std::size_t>(kind);
            if (!looked[k]) {
                entries[k] = m_catalogue.entry(kind);
                looked[k] = true;
            }
            if (entries[k]) {
                row.kindName = entries[k]->name;
                const std::string *labels[] = {&entries[k]->labelA, &entries[k]->labelB, &entries[k]->labelC};
                for (int v = 0; v < 3; ++v) {
                    if (Catalogue::variableUnused(*labels[v]))
                        continue;
                    Cell cell;
                    cell.which = static_cast<char>('A' + v);
                    cell.label = *labels[v];
                    cell.value = valueText(kind, cell.which, m_m.part(i).Hensuu[static_cast<std::size_t>(v + 1)]);
                    row.cells.push_back(std::move(cell));
                }
            }
        }
        m_rowOfSlot[static_cast<std::size_t>(i)] = static_cast<int>(m_rows.size());
        m_rows.push_back(std::move(row));
    }
}

RunViewModel::Cell *RunViewModel::cellOf(int part, char which)
{
    if (!isPartSlot(part))
        return nullptr;
    const int r = m_rowOfSlot[static_cast<std::size_t>(part)];
    if (r < 0)
        return nullptr;
    for (Cell &cell : m_rows[static_cast<std::size_t>(r)].cells)
        if (cell.which == which)
            return &cell;
    return nullptr;
}

std::string RunViewModel::valueText(int kind, char which, int value) const
{
    // A button's variables are its lamps.
    if (kind == KindButton && (which == 'A' || which == 'B'))
        return value != 0 ? "点灯" : "消灯";
    return std::to_string(value);
}

bool RunViewModel::flashing(const Cell &cell, std::int64_t now) const
{
    return cell.everChanged && now - cell.changedAt < FlashMs;
}

std::int64_t RunViewModel::nextFlashEnd(std::int64_t now) const
{
    std::int64_t earliest = -1;
    for (const Row &row : m_rows)
        for (const Cell &cell : row.cells)
            if (flashing(cell, now) && (earliest < 0 || cell.changedAt + FlashMs < earliest))
                earliest = cell.changedAt + FlashMs;
    return earliest;
}

// --- Texts ---------------------------------------------------------------------------------

std::string RunViewModel::kindName(int part) const
{
    if (!isPartSlot(part))
        return {};
    const int r = m_rowOfSlot[static_cast<std::size_t>(part)];
    return r >= 0 ? m_rows[static_cast<std::size_t>(r)].kindName : std::string();
}

std::string RunViewModel::blockText(int part, int block) const
{
    if (block == LinkEnd)
        return "「終了」";
    if (!m_m.partExists(part) || block < 0 || block >= BlockSlots)
        return {};
    const BlockRecord &b = m_m.part(part).Blocks[static_cast<std::size_t>(block)];
    std::string name(vendingBlockName(b.Kind));
    if (name.empty()) {
        // Other blocks: the caption without its leading block number.
        name = b.Caption;
        name.erase(0, name.find_first_not_of("0123456789"));
    }
    return "ブロック" + std::to_string(block) + "「" + name + "」";
}

std::string RunViewModel::title() const
{
    if (m_m.partExists(m_shownPart))
        return "No." + std::to_string(m_shownPart) + " " + kindName(m_shownPart) + " のプログラム";
    return machineRunning() ? "パーツのプログラムが動くと、ここに出ます" : "パーツを選ぶと、そのプログラムが出ます";
}

std::string RunViewModel::status() const
{
    switch (m_phase) {
    case Phase::Idle:
        if (machineRunning())
            return "実行中：パーツをクリックするか、お金を投入口に入れて下さい";
        return "編集中：ここでは見るだけです";
    case Phase::Running:
        return m_running >= 0 ? "実行中：" + blockText(m_shownPart, m_running) : std::string("実行中");
    case Phase::Waiting:
        return "「▼」で次に" + blockText(m_shownPart, m_waiting) + "を実行します";
    case Phase::Ended: break;
    }
    switch (m_end.reason) {
    case RunEnd::Finished: return "実行終了";
    case RunEnd::Stopped: return "停止しました";
    case RunEnd::Guard:
        return m_end.detail.empty() ? "1000ブロック実行したので止めました（無限ループのおそれ）"
                                    : "止めました：" + m_end.detail;
    case RunEnd::Message:
        return m_end.detail.empty() ? "メッセージが出て止まりました" : "止まりました：" + m_end.detail;
    case RunEnd::UnsetPart:
    case RunEnd::UnsetOperand: break;
    }
    std::string why = m_end.detail;
    if (why.empty())
        why = m_end.reason == RunEnd::UnsetPart ? "パーツが設定されていません" : "設定されていない項目があります";
    std::string where = "No." + std::to_string(m_end.part) + " " + kindName(m_end.part) + " の";
    const bool blockThere = m_m.partExists(m_end.part) && m_end.block >= 0 && m_end.block < BlockSlots
        && m_m.part(m_end.part).Blocks[static_cast<std::size_t>(m_end.block)].Used != 0;
    where += blockThere ? blockText(m_end.part, m_end.block) : std::string("プログラム");
    return where + "で止まりました：" + why;
}

} // namespace jhk
