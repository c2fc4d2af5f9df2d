#pragma once

#include "model/AppState.h"

namespace jhk {

// Remembers the machine as it was last opened or saved, to tell whether it has changes that
// would be lost.
class SavedState {
public:
    explicit SavedState(const Machine &m) { markSaved(m); }

    void markSaved(const Machine &m);
    // The machine counts as unsaved whatever it holds, until it is saved again (a file the
    // face could not write after all, a machine restored from a recovery copy).
    void forget() { m_known = false; }
    bool hasUnsavedChanges(const Machine &m) const;

private:
    PartsTable m_parts;
    LabelTable m_labels;
    std::uint8_t m_level = 0;
    std::string m_background;
    std::int16_t m_moneySetting = 0;
    bool m_known = true;
};

} // namespace jhk
