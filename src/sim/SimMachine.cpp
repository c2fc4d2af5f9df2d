#include "sim/SimMachine.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <utility>

namespace jhk {

namespace {

std::unique_ptr<Machine> startMachine()
{
    auto m = std::make_unique<Machine>();
    applyStartupValues(m->app, 15.0, 15.0);
    m->app.Level = 3;
    m->app.Step = 1;
    m->app.BackPictName = StartBackPictName;
    return m;
}

std::string jsonString(const std::string &s)
{
    std::string out = "\"";
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

} // namespace

SimMachine::SimMachine(const std::string &appDir, const std::string &documentPath, StageView &view,
                       SoundPlayer &player)
    : m_documentPath(documentPath)
    , m_machine(startMachine())
    , m_catalogue(appDir)
    , m_sizes(appDir, documentPath)
    , m_engine(*m_machine, m_catalogue, view, player, m_sizes)
{
    m_engine.partsLoad();
    m_machine->app.MoneyInHand = MainWindowMoney;
}

bool SimMachine::open()
{
    return m_engine.openDocument(m_documentPath);
}

void SimMachine::touch(int i)
{
    if (!m_machine->partExists(i))
        return;
    m_engine.runPartDown(i, 0, 0);
    m_engine.runPartUp(i);
    m_engine.touchPart(i);
}

void SimMachine::dropCoin(int yen, bool away)
{
    const Machine &m = *m_machine;
    int d = 0;
    while (CoinValues[static_cast<std::size_t>(d)] != yen)
        ++d;
    const int k = m_engine.visibleCoin(d);
    if (k < 0)
        return;
    const StageRect from = m_engine.stage().coins[static_cast<std::size_t>(k)].rect;

    const int hitW = CoinSlotHitPixels * m.app.TwipsX;
    const int hitH = CoinSlotHitPixels * m.app.TwipsY;
    int slot = -1;
    for (int i = 0; i < PartSlots; ++i) {
        if (m.partExists(i) && m.part(i).Kind == KindCoinSlot)
            slot = i;
    }
    std::optional<std::pair<int, int>> target;
    if (!away && slot >= 0) {
        target = std::pair{int(m.part(slot).Left), int(m.part(slot).Top)};
    } else {
        // The first place on the stage, scanning from its top-left corner, where the whole coin
        // lies on the stage and its corner is on no coin slot.
        auto onSlot = [&](int x, int y) {
            for (int i = 0; i < PartSlots; ++i) {
                const PartsRecord &p = m.part(i);
                if (m.partExists(i) && p.Kind == KindCoinSlot && p.Left <= x && x < p.Left + hitW
                    && p.Top <= y && y < p.Top + hitH)
                    return true;
            }
            return false;
        };
        for (int y = 0; !target && y + from.height <= Stage::heightTwips(m); y += hitH) {
            for (int x = 0; !target && x + from.width <= Stage::widthTwips(m); x += hitW) {
                if (!onSlot(x, y))
                    target = std::pair{x, y};
            }
        }
        if (!target)
            target = std::pair{from.left, from.top};
    }
    m_engine.coinDown(k, 0, 0);
    m_engine.coinMove(k, target->first - from.left, target->second - from.top);
    m_engine.coinUp(k);
}

void SimMachine::play(const SimCommand &c, std::ostream &out)
{
    switch (c.op) {
    case SimOp::Run:
        m_engine.startRun();
        break;
    case SimOp::Stop:
        m_engine.stopRun();
        break;
    case SimOp::StepMode:
        m_engine.stepMode();
        break;
    case SimOp::Next:
        m_engine.nextStep();
        break;
    case SimOp::Touch:
        touch(c.number);
        break;
    case SimOp::Coin:
        dropCoin(c.number, c.away);
        break;
    case SimOp::Money:
        m_engine.setMoneyInHand(c.text);
        break;
    case SimOp::Exercise:
        m_engine.chooseExerciseStep(c.number);
        break;
    case SimOp::Save: {
        std::error_code ec;
        const auto path = std::filesystem::absolute(c.text, ec);
        m_engine.saveDocument(ec ? c.text : path.string());
        break;
    }
    case SimOp::State:
        out << "state\t" << stateJson() << '\n';
        break;
    }
}

std::string SimMachine::stateJson() const
{
    const Machine &m = *m_machine;
    const AppState &app = m.app;
    const Stage &stage = m_engine.stage();
    std::ostringstream o;
    o << "{\"run_mode\":" << app.RunMode << ",\"level\":" << int(app.Level) << ",\"step\":" << int(app.Step)
      << ",\"money_in_hand\":" << app.MoneyInHand << ",\"money_setting\":" << app.MoneySetting << ",\"wallet\":[";
    for (std::size_t d = 0; d < app.Wallet.size(); ++d)
        o << (d ? "," : "") << app.Wallet[d];
    o << "],\"discharged\":" << stage.products.size() << ",\"parts_count\":" << app.PartsCount
      << ",\"label_count\":" << app.LabelCount << ",\"parts\":[";
    bool first = true;
    for (int i = 0; i < PartSlots; ++i) {
        const PartsRecord &p = m.part(i);
        if (!p.isUsed())
            continue;
        o << (first ? "" : ",") << "{\"slot\":" << i << ",\"kind\":" << p.Kind << ",\"a\":" << p.A()
          << ",\"b\":" << p.B() << ",\"c\":" << p.C() << ",\"lamp_link\":" << p.LampLink
          << ",\"picture\":" << jsonString(stage.part(i).picture)
          << ",\"display\":" << jsonString(stage.part(i).digits) << ",\"first_block\":" << p.FirstBlock
          << ",\"block_count\":" << p.BlockCount << ",\"left\":" << stage.part(i).rect.left
          << ",\"top\":" << stage.part(i).rect.top << "}";
        first = false;
    }
    o << "],\"products\":[";
    first = true;
    for (const ProductImage &img : stage.products) {
        o << (first ? "" : ",") << "{\"n\":" << img.n << ",\"picture\":" << jsonString(img.picture)
          << ",\"left\":" << img.rect.left << ",\"top\":" << img.rect.top << "}";
        first = false;
    }
    o << "]}";
    return o.str();
}

} // namespace jhk
