#include "document/UndoHistory.h"

#include "document/JhkDocument.h"
#include "document/JhkLayout.h"

#include <algorithm>

#include <utility>

namespace jhk {

namespace {

// Where a document keeps the current part: after the header, the level (one byte) and the
// run mode (two bytes).
constexpr std::size_t CurrentPartOffset = DocumentHeaderSize + 1 + 2;

// A machine whose texts the document cannot hold (a label typed with characters outside
// the document's character set) is kept as a copy of what a document would hold instead.
bool sameTables(const Machine &a, const Machine &b)
{
    for (int i = 0; i < PartSlots; ++i) {
        PartsRecord x = a.part(i);
        x.LeverDown = b.part(i).LeverDown; // not kept by a document
        if (!(x == b.part(i)))
            return false;
    }
    const AppState &p = a.app;
    const AppState &q = b.app;
    return a.labels == b.labels && p.Level == q.Level && p.PartsCount == q.PartsCount
        && p.LabelCount == q.LabelCount && p.BackPictName == q.BackPictName && p.MoneyInHand == q.MoneyInHand
        && p.MoneySetting == q.MoneySetting && p.Wallet == q.Wallet && p.WalletSaved == q.WalletSaved;
}

void copyTables(const Machine &from, Machine &to)
{
    copyDocumentContents(from, to);
    to.app.RunMode = ModeEditing;
}

} // namespace

UndoHistory::UndoHistory(std::size_t depth) : m_depth(depth < 1 ? 1 : depth) {}

UndoHistory::~UndoHistory() = default;

UndoHistory::State UndoHistory::take(const Machine &m, UndoExtra extra) const
{
    State s;
    EncodeResult encoded = encodeDocument(m);
    if (encoded.ok)
        s.document = std::move(encoded.bytes);
    else
        s.copy = std::make_shared<const Machine>(m);
    s.extra = std::move(extra);
    return s;
}

bool UndoHistory::same(const State &a, const State &b)
{
    if (a.extra.key != b.extra.key)
        return false;
    if (a.copy || b.copy)
        return a.copy && b.copy && sameTables(*a.copy, *b.copy);
    // Selecting another part is no edit: the current part's number is skipped.
    if (a.document.size() != b.document.size() || a.document.size() < CurrentPartOffset + 2)
        return a.document == b.document;
    return std::equal(a.document.begin(), a.document.begin() + CurrentPartOffset, b.document.begin())
        && std::equal(a.document.begin() + CurrentPartOffset + 2, a.document.end(),
                      b.document.begin() + CurrentPartOffset + 2);
}

bool UndoHistory::restore(const State &s, Machine &m)
{
    if (s.copy) {
        copyTables(*s.copy, m);
        return true;
    }
    return decodeDocument(s.document, m).ok;
}

void UndoHistory::reset(const Machine &m, UndoExtra extra)
{
    m_undo.clear();
    m_redo.clear();
    rebase(m, std::move(extra));
}

void UndoHistory::rebase(const Machine &m, UndoExtra extra)
{
    m_current = std::make_unique<State>(take(m, std::move(extra)));
}

bool UndoHistory::checkpoint(const Machine &m, UndoExtra extra)
{
    State now = take(m, std::move(extra));
    if (!m_current) {
        m_current = std::make_unique<State>(std::move(now));
        return false;
    }
    if (same(*m_current, now)) {
        // Still the newest selection: undoing the next edit selects what was selected then.
        *m_current = std::move(now);
        return false;
    }
    m_undo.push_back(std::move(*m_current));
    if (m_undo.size() > m_depth)
        m_undo.pop_front();
    m_redo.clear();
    *m_current = std::move(now);
    return true;
}

std::optional<UndoExtra> UndoHistory::travel(std::deque<State> &from, std::deque<State> &to, Machine &m,
                                             UndoExtra now)
{
    // An edit not reported yet is a step of its own: undo takes that one back first.
    checkpoint(m, std::move(now));
    if (from.empty())
        return std::nullopt;
    if (!restore(from.back(), m))
        return std::nullopt;
    to.push_back(std::move(*m_current));
    *m_current = std::move(from.back());
    from.pop_back();
    return m_current->extra;
}

std::optional<UndoExtra> UndoHistory::undo(Machine &m, UndoExtra now)
{
    return travel(m_undo, m_redo, m, std::move(now));
}

std::optional<UndoExtra> UndoHistory::redo(Machine &m, UndoExtra now)
{
    return travel(m_redo, m_undo, m, std::move(now));
}

} // namespace jhk
