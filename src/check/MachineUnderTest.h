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
    // The products discharged onto the part in `slot`.
    int products(int slot) const;
    // Where each discharged product is, in the order they came out: the slot of the part it
    // lies on and the slot of the product it copies.
    struct ProductPlace {
        int on = -1;
        int source = -1;
    };
    std::vector<ProductPlace> productPlaces() const;
    // The part in a slot as the report names it, e.g. "ボタン1（No.5）".
    std::string partName(int slot) const;
    // In words where the products that did not come out on `outlet` lie, e.g.
    // "商品が 金額表示1（No.3） の上に出ました"; "" when all did.
    std::string strayProducts(int outlet) const;
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
