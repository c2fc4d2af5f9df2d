#pragma once

#include "check/Roles.h"
#include "check/Scenario.h"
#include "check/ScenarioRunner.h"
#include "sim/SimCommand.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace jhk {

class MachineUnderTest;

// One pupil action of a model run, written as a scenario line ("touch ボタン1").
struct ModelAction {
    std::string line;
    SimCommand command;
    std::optional<Role> role; // touch by role
};

// The random pupil sessions of a model answer: each starts by setting the money in hand (so
// every machine starts with the same wallet, whatever its file holds) and goes on with runs,
// coins of every value, touches of every button and change lever, one-block steps, stops and
// more money settings. The same roles, run count and seed give the same sessions everywhere.
std::vector<std::vector<ModelAction>> makeModelSequences(const RoleMap &roles, int runs, std::uint64_t seed);

// What a pupil sees after an action: the messages it showed and the state of every button,
// amount display and product the model has, the products discharged, the wallet and the money.
struct Sight {
    std::vector<std::string> messages;
    std::vector<Lamp> lamps;
    std::vector<std::string> displays;
    int products = 0;
    // Where each product came out, in order: the role of the part it lies on and of the
    // product it copies ("商品出口1", "商品2"), so that machines with other slots compare.
    std::vector<std::pair<std::string, std::string>> places;
    std::vector<int> stocks;
    std::array<int, 5> wallet{};
    int money = 0;
    bool operator==(const Sight &) const = default;
};

// The parts a sight looks at: the model's buttons, amount displays and products by role.
struct SightRoles {
    std::vector<Role> buttons;
    std::vector<Role> displays;
    std::vector<Role> products;
    std::vector<Role> outlets;
};

// The model answer: the model's sessions and what it showed after every action, checked
// against each machine.
class ModelAnswer {
public:
    // Opens the model and plays every session on it. Nothing, with the reader's message in
    // `error`, when the model cannot be opened.
    static std::optional<ModelAnswer> build(const std::string &appDir, const std::string &modelPath, int runs,
                                            std::uint64_t seed, std::string &error);

    // Plays every session on the machine at `path` and compares after every action. A
    // machine that diverges fails with the first divergence in words; `diffScenario` then
    // receives a scenario file that replays it (the actions up to the divergence and the
    // model's expectations).
    CheckOutcome check(const std::string &appDir, const std::string &path, std::string *diffScenario) const;

    int runs() const { return static_cast<int>(m_sequences.size()); }
    std::uint64_t seed() const { return m_seed; }
    const std::string &modelPath() const { return m_modelPath; }

private:
    std::string diffScenario(int run, int action, const std::string &machinePath, const std::string &divergence) const;

    std::string m_modelPath;
    std::uint64_t m_seed = 0;
    SightRoles m_roles;
    std::vector<std::vector<ModelAction>> m_sequences;
    std::vector<std::vector<Sight>> m_sights; // per run, after each action
};

} // namespace jhk
