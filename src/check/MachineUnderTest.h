#pragma once

#include "check/Roles.h"
#include "check/Scenario.h"
#include "engine/Sound.h"
#include "sim/SimMachine.h"

#include <optional>
#include <string>
#include <vector>

namespace jhk {

// A pupil's machine opened for a check, with everything a pupil would see of it: the
// messages shown, the lamps, the amount displays, the products, the stock, the wallet and
// the money in hand. Opened afresh for every scenario and every model run.
class MachineUnderTest {
public:
    MachineUnderTest(const std::string &appDir, const std::string &path);

    // Opens the document as the simulator does; false with openMessage() when it was refused.
    bool open();
    const std::string &openMessage() const { return m_openMessage; }

    SimMachine &sim() { return m_sim; }
    const RoleMap &roles() const { return *m_roles; }

    // The slot a scenario names, or nothing when the machine has no such part: the text
    // then says so in the report's words ("ボタン2 がありません").
    std::optional<int> resolve(const PartRef &part, int kind, std::string &missing) const;

    // Plays an action; a touch by role must be resolved by the caller into `command.number`.
    void play(const SimCommand &command);

    // The messages shown since the last call, line breaks written as \n.
    std::vector<std::string> takeMessages();

    Lamp lamp(int slot) const;
    std::string display(int slot) const; // digits, "" when blank
    int products() const;
    int stock(int slot) const;
    int money() const;
    int coins(int d) const;

private:
    class MessageLog : public StageView {
    public:
        std::vector<std::string> messages;
        void showMessage(const std::string &text) override { messages.push_back(text); }
    };

    MessageLog m_log;
    SilentSoundPlayer m_silence;
    SimMachine m_sim;
    std::optional<RoleMap> m_roles;
    std::string m_openMessage;
};

// The caption of a kind of part, e.g. "ボタン".
std::string kindCaption(int kind);

} // namespace jhk
