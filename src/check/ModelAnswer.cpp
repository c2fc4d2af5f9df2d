#include "check/ModelAnswer.h"

#include "check/Findings.h"
#include "check/MachineUnderTest.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace jhk {

namespace {

// A small generator whose sequence is the same with every compiler and library, so a seed
// names the same sessions on every machine.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

// Money settings a pupil types: ordinary amounts, and now and then one the box refuses.
constexpr const char *MoneyAmounts[] = {"100", "500", "1000", "1500", "2670", "3000", "5000", "9990", "10000"};
constexpr const char *RefusedMoney[] = {"10010", "abc"};

enum class Mode { Editing, Running, OneBlock };

class SessionMaker {
public:
    SessionMaker(const RoleMap &roles, std::uint64_t seed) : m_rng(seed)
    {
        for (int kind : {int(KindButton), int(KindLever)}) {
            for (const Role &r : roles.roles(kind))
                m_touchable.push_back(r);
        }
    }

    std::vector<ModelAction> make()
    {
        m_actions.clear();
        m_mode = Mode::Editing;
        money(false);
        const std::size_t length = 25 + static_cast<std::size_t>(m_rng.below(26));
        while (m_actions.size() < length) {
            const int r = m_rng.below(100);
            switch (m_mode) {
            case Mode::Editing:
                if (r < 15)
                    money(m_rng.below(4) == 0);
                else if (r < 90)
                    add("run", Mode::Running);
                else if (r < 95)
                    coin();
                else
                    touch();
                break;
            case Mode::Running:
                if (r < 45)
                    coin();
                else if (r < 80)
                    touch();
                else if (r < 86)
                    add("stepmode", Mode::OneBlock);
                else if (r < 95)
                    add("stop", Mode::Editing);
                else
                    money(false);
                break;
            case Mode::OneBlock:
                if (r < 50)
                    add("next", Mode::OneBlock);
                else if (r < 68)
                    touch();
                else if (r < 86)
                    coin();
                else
                    add("stop", Mode::Editing);
                break;
            }
        }
        return m_actions;
    }

private:
    void add(const std::string &line, Mode after, std::optional<Role> role = std::nullopt)
    {
        SimParseProblem problem;
        const auto command = parseSimCommand(line, problem, SimParseOptions{true});
        m_actions.push_back(ModelAction{line, *command, role});
        m_mode = after;
    }
    void money(bool refused)
    {
        const char *amount = refused ? RefusedMoney[m_rng.below(static_cast<int>(std::size(RefusedMoney)))]
                                     : MoneyAmounts[m_rng.below(static_cast<int>(std::size(MoneyAmounts)))];
        add(std::string("money ") + amount, m_mode);
    }
    void coin()
    {
        add("coin " + std::to_string(CoinValues[static_cast<std::size_t>(m_rng.below(5))]), m_mode);
    }
    void touch()
    {
        if (m_touchable.empty())
            return coin();
        const Role role = m_touchable[static_cast<std::size_t>(m_rng.below(static_cast<int>(m_touchable.size())))];
        add("touch " + role.name(), m_mode, role);
    }

    SplitMix64 m_rng;
    std::vector<Role> m_touchable;
    std::vector<ModelAction> m_actions;
    Mode m_mode = Mode::Editing;
};

// The slots of the sight's roles in one machine.
struct SightSlots {
    std::vector<int> buttons, displays, products;
    std::string missing; // the first role the machine lacks
};

SightSlots resolveSight(const MachineUnderTest &m, const SightRoles &roles)
{
    SightSlots s;
    auto resolve = [&](const std::vector<Role> &from, std::vector<int> &to) {
        for (const Role &r : from) {
            const int slot = m.roles().slot(r);
            if (slot < 0 && s.missing.empty())
                s.missing = r.name() + " がありません";
            to.push_back(slot);
        }
    };
    resolve(roles.buttons, s.buttons);
    resolve(roles.displays, s.displays);
    resolve(roles.products, s.products);
    return s;
}

Sight look(MachineUnderTest &m, const SightSlots &s)
{
    Sight sight;
    sight.messages = m.takeMessages();
    for (int slot : s.buttons)
        sight.lamps.push_back(slot < 0 ? Lamp::Off : m.lamp(slot));
    for (int slot : s.displays)
        sight.displays.push_back(slot < 0 ? std::string() : m.display(slot));
    sight.products = m.products();
    for (const MachineUnderTest::ProductPlace &p : m.productPlaces()) {
        const auto on = m.roles().roleOf(p.on);
        const auto source = m.roles().roleOf(p.source);
        sight.places.emplace_back(on ? on->name() : "No." + std::to_string(p.on),
                                  source ? source->name() : "No." + std::to_string(p.source));
    }
    for (int slot : s.products)
        sight.stocks.push_back(slot < 0 ? 0 : m.stock(slot));
    for (int d = 0; d < 5; ++d)
        sight.wallet[static_cast<std::size_t>(d)] = m.coins(d);
    sight.money = m.money();
    return sight;
}

constexpr const char *ModelWord = "模範";

// The part a role names in the pupil's machine, as the report names it.
std::string named(const MachineUnderTest &m, const Role &role)
{
    const int slot = m.roles().slot(role);
    return slot < 0 ? role.name() : m.partName(slot);
}

// A role's name written as a sight keeps it, named with the pupil's slot where it is a role.
std::string namedWord(const MachineUnderTest &m, const std::string &word)
{
    const auto role = parseRole(word);
    return role ? named(m, *role) : word;
}

// The first thing a pupil would see differently, in words.
std::string difference(const Sight &model, const Sight &seen, const SightRoles &roles, const MachineUnderTest &m)
{
    if (model.messages != seen.messages)
        return disagreement(MessageWhat, messagesWord(model.messages), messagesWord(seen.messages), ModelWord);
    for (std::size_t i = 0; i < model.lamps.size(); ++i) {
        if (model.lamps[i] != seen.lamps[i])
            return disagreement(lampWhat(named(m, roles.buttons[i])), LampWords[static_cast<int>(model.lamps[i])],
                                LampWords[static_cast<int>(seen.lamps[i])], ModelWord);
    }
    for (std::size_t i = 0; i < model.displays.size(); ++i) {
        if (model.displays[i] != seen.displays[i])
            return disagreement(displayWhat(named(m, roles.displays[i])), displayWord(model.displays[i]),
                                displayWord(seen.displays[i]), ModelWord);
    }
    if (model.products != seen.products)
        return disagreement(ProductsWhat, std::to_string(model.products), std::to_string(seen.products), ModelWord);
    for (std::size_t i = 0; i < model.places.size(); ++i) {
        const auto &[modelOn, modelProduct] = model.places[i];
        const auto &[seenOn, seenProduct] = seen.places[i];
        if (modelOn != seenOn)
            return "商品が " + namedWord(m, seenOn) + " の上に出ました (模範 " + modelOn + ")";
        if (modelProduct != seenProduct)
            return namedWord(m, seenOn) + " に " + namedWord(m, seenProduct) + " が出ました (模範 " + modelProduct + ")";
    }
    for (std::size_t i = 0; i < model.stocks.size(); ++i) {
        if (model.stocks[i] != seen.stocks[i])
            return disagreement(stockWhat(named(m, roles.products[i])), std::to_string(model.stocks[i]),
                                std::to_string(seen.stocks[i]), ModelWord);
    }
    for (int d = 0; d < 5; ++d) {
        const auto k = static_cast<std::size_t>(d);
        if (model.wallet[k] != seen.wallet[k])
            return disagreement(walletWhat(d), std::to_string(model.wallet[k]), std::to_string(seen.wallet[k]), ModelWord);
    }
    if (model.money != seen.money)
        return disagreement(MoneyWhat, std::to_string(model.money), std::to_string(seen.money), ModelWord);
    return {};
}

// The expectation lines that hold for `sight`; its messages only when asked for.
void writeExpectations(std::ostream &out, const Sight &sight, const SightRoles &roles, bool messages)
{
    if (messages) {
        for (const std::string &m : sight.messages)
            out << "expect message " << m << '\n';
        out << "expect no message\n";
    }
    for (std::size_t i = 0; i < roles.buttons.size(); ++i)
        out << "expect lamp " << roles.buttons[i].name() << ' ' << LampWords[static_cast<int>(sight.lamps[i])] << '\n';
    for (std::size_t i = 0; i < roles.displays.size(); ++i)
        out << "expect display " << roles.displays[i].name() << ' ' << displayWord(sight.displays[i]) << '\n';
    out << "expect products " << sight.products << '\n';
    for (const Role &outlet : roles.outlets) {
        const auto on = std::count_if(sight.places.begin(), sight.places.end(),
                                      [&](const auto &place) { return place.first == outlet.name(); });
        out << "expect products " << on << ' ' << outlet.name() << '\n';
    }
    for (std::size_t i = 0; i < roles.products.size(); ++i)
        out << "expect stock " << roles.products[i].name() << ' ' << sight.stocks[i] << '\n';
    for (int d = 0; d < 5; ++d)
        out << "expect coins " << CoinValues[static_cast<std::size_t>(d)] << ' ' << sight.wallet[static_cast<std::size_t>(d)] << '\n';
    out << "expect money " << sight.money << '\n';
}

// When the difference showed, in a pupil's words: "100円玉を入れたとき".
std::string actionWords(const ModelAction &action, const MachineUnderTest &m)
{
    const SimCommand &c = action.command;
    switch (c.op) {
    case SimOp::Run:
        return "実行したとき";
    case SimOp::Stop:
        return "停止したとき";
    case SimOp::StepMode:
        return "１ブロックづつ実行にしたとき";
    case SimOp::Next:
        return "次のブロックへ進めたとき";
    case SimOp::Touch:
        return (action.role ? named(m, *action.role) : m.partName(c.number)) + " を押したとき";
    case SimOp::Coin:
        return std::to_string(c.number) + (c.number >= 1000 ? "円札" : "円玉") + (c.away ? "を落としたとき" : "を入れたとき");
    case SimOp::Money:
        return "所持金を「" + c.text + "」にしたとき";
    case SimOp::Exercise:
    case SimOp::Save:
    case SimOp::State:
        break;
    }
    return action.line + " のとき";
}

} // namespace

std::vector<std::vector<ModelAction>> makeModelSequences(const RoleMap &roles, int runs, std::uint64_t seed)
{
    SessionMaker maker(roles, seed);
    std::vector<std::vector<ModelAction>> out;
    for (int r = 0; r < runs; ++r)
        out.push_back(maker.make());
    return out;
}

std::optional<ModelAnswer> ModelAnswer::build(const std::string &appDir, const std::string &modelPath, int runs,
                                              std::uint64_t seed, std::string &error)
{
    ModelAnswer a;
    a.m_modelPath = modelPath;
    a.m_seed = seed;
    {
        MachineUnderTest model(appDir, modelPath);
        if (!model.open()) {
            error = model.openMessage();
            return std::nullopt;
        }
        a.m_roles = {model.roles().roles(KindButton), model.roles().roles(KindCounter), model.roles().roles(KindProduct),
                     model.roles().roles(KindProductOutlet)};
        a.m_sequences = makeModelSequences(model.roles(), runs, seed);
    }
    for (const auto &actions : a.m_sequences) {
        MachineUnderTest model(appDir, modelPath);
        model.open();
        const SightSlots slots = resolveSight(model, a.m_roles);
        std::vector<Sight> sights;
        for (const ModelAction &action : actions) {
            SimCommand c = action.command;
            if (action.role)
                c.number = model.roles().slot(*action.role);
            model.play(c);
            sights.push_back(look(model, slots));
        }
        a.m_sights.push_back(std::move(sights));
    }
    return a;
}

CheckOutcome ModelAnswer::check(const std::string &appDir, const std::string &path, std::string *diff) const
{
    for (std::size_t r = 0; r < m_sequences.size(); ++r) {
        MachineUnderTest m(appDir, path);
        if (!m.open())
            return {false, m.openMessage()};
        const SightSlots slots = resolveSight(m, m_roles);
        const auto &actions = m_sequences[r];
        for (std::size_t i = 0; i < actions.size(); ++i) {
            const ModelAction &action = actions[i];
            std::string divergence;
            SimCommand c = action.command;
            if (action.role) {
                c.number = m.roles().slot(*action.role);
                if (c.number < 0)
                    divergence = action.role->name() + " がありません";
            }
            if (divergence.empty()) {
                m.play(c);
                divergence = slots.missing.empty() ? difference(m_sights[r][i], look(m, slots), m_roles, m) : slots.missing;
            }
            if (divergence.empty())
                continue;
            const std::string text = actionWords(action, m) + ": " + divergence;
            if (diff)
                *diff = diffScenario(static_cast<int>(r), static_cast<int>(i), path, text);
            return {false, text};
        }
    }
    return {};
}

std::string ModelAnswer::diffScenario(int run, int action, const std::string &machinePath,
                                      const std::string &divergence) const
{
    const auto &actions = m_sequences[static_cast<std::size_t>(run)];
    const auto &sights = m_sights[static_cast<std::size_t>(run)];
    std::ostringstream out;
    out << "# 模範解答 " << std::filesystem::path(m_modelPath).filename().string() << " と "
        << std::filesystem::path(machinePath).filename().string() << " の違い (--seed " << m_seed << ")\n"
        << "# 試行" << run + 1 << "の" << action + 1 << "手目、" << divergence << "\n"
        << "# 操作は違いが出たところまで、expect は模範解答が見せたものです。\n"
        << "scenario 模範解答との違い\n";
    for (int i = 0; i < action; ++i)
        out << actions[static_cast<std::size_t>(i)].line << '\n';
    if (action > 0) {
        out << "# ここまでは模範解答と同じ\n";
        writeExpectations(out, sights[static_cast<std::size_t>(action - 1)], m_roles, false);
    }
    out << actions[static_cast<std::size_t>(action)].line << '\n';
    writeExpectations(out, sights[static_cast<std::size_t>(action)], m_roles, true);
    return out.str();
}

} // namespace jhk
