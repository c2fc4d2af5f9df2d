#include "rules/SavedState.h"

namespace jhk {

void SavedState::markSaved(const Machine &m)
{
    m_parts = m.parts;
    m_labels = m.labels;
    m_level = m.app.Level;
    m_background = m.app.BackPictName;
    m_moneySetting = m.app.MoneySetting;
    m_known = true;
}

bool SavedState::hasUnsavedChanges(const Machine &m) const
{
    if (!m_known)
        return true;
    // Free slots hold leftovers that no document keeps apart from the used ones; compare only
    // what exists.
    for (int i = 0; i < PartSlots; ++i) {
        const PartsRecord &now = m.part(i);
        const PartsRecord &then = m_parts[static_cast<std::size_t>(i)];
        if (now.isUsed() != then.isUsed())
            return true;
        if (!now.isUsed())
            continue;
        PartsRecord a = now;
        PartsRecord b = then;
        a.LeverDown = b.LeverDown = 0;
        // Sizes are twips until the first save turns them into pixels.
        a.Width = b.Width;
        a.Height = b.Height;
        if (!(a == b))
            return true;
    }
    for (int j = 0; j < LabelSlots; ++j) {
        const LabelRecord &now = m.label(j);
        const LabelRecord &then = m_labels[static_cast<std::size_t>(j)];
        if (now.isUsed() != then.isUsed() || (now.isUsed() && !(now == then)))
            return true;
    }
    return m.app.Level != m_level || m.app.BackPictName != m_background || m.app.MoneySetting != m_moneySetting;
}

} // namespace jhk
