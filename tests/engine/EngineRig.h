#pragma once

// A machine on a stage with an engine, a view that records what the pupil would see and a
// sound player that records what was played. Shared by the engine tests, the simulator tests,
// the fuzz target and the benchmark.

#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/StageView.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/Creation.h"

#include <initializer_list>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace jhk::testing {

class RecordingView : public StageView {
public:
    std::vector<std::string> messages;
    std::vector<std::string> lines;
    // The message shown during a run that is answered with "停止" (1 = the first), 0 for none;
    // with `stopsFromWindow` the window's own "停止" ends the run while that message is up.
    int stopAtRunMessage = 0;
    bool stopsFromWindow = false;
    Engine *engine = nullptr;
    int runMessages = 0;
    void showMessage(const std::string &text) override { messages.push_back(text); }
    // With `answerLater` a run message waits in `unanswered` until the test answers it.
    bool answerLater = false;
    std::vector<std::function<void(RunMessageAnswer)>> unanswered;
    void showRunMessage(const std::string &text, std::function<void(RunMessageAnswer)> answered) override
    {
        messages.push_back(text);
        if (answerLater) {
            unanswered.push_back(std::move(answered));
            return;
        }
        if (++runMessages != stopAtRunMessage) {
            answered(RunMessageAnswer::Ok);
            return;
        }
        if (!stopsFromWindow) {
            answered(RunMessageAnswer::Stop);
            return;
        }
        engine->stopRun();
        answered(RunMessageAnswer::Ok);
    }
    void runListLineAdded(const std::string &line) override { lines.push_back(line); }
};

class RecordingPlayer : public SoundPlayer {
public:
    std::vector<std::string> played; // "kan.wav sync", "Money_1.wav async"
    void play(const std::string &name, PlayMode mode) override
    {
        played.push_back(name + (mode == PlayMode::Sync ? " sync" : mode == PlayMode::Async ? " async" : " loop"));
    }
    void stop() override {}
};

// No picture files: every part shows the built-in size of its kind.
class NoPictureFiles : public PictureSizes {
public:
    std::optional<PixelSize> fileSize(const std::string &) const override { return std::nullopt; }
};

// One block of a program: kind, parameters P(1)..P(5) (-1 = not set) and the two exits.
struct B {
    int index;
    int kind;
    std::vector<ParamValue> params;
    int next = LinkEnd;
    int next2 = LinkNone;
};

struct Rig {
    Machine m;
    Catalogue catalogue;
    RecordingView view;
    RecordingPlayer player;
    NoPictureFiles sizes;
    Engine engine;

    explicit Rig(int level = 3, const std::string &appDir = JHK_APP_DIR)
        : catalogue(appDir)
        , engine(m, catalogue, view, player, sizes)
    {
        applyStartupValues(m.app, 15.0, 15.0);
        m.app.Level = static_cast<std::uint8_t>(level);
        m.app.Step = 1;
        m.app.BackPictName = StartBackPictName;
        m.app.MoneyInHand = MainWindowMoney;
        view.engine = &engine;
    }

    // Places a part of `kind` at (left, top) pixels with variables A and B, as a drop on the
    // stage does, and shows it with its built-in picture.
    int add(int kind, int leftPx, int topPx, int a = 0, int b = 0)
    {
        m.app.DropX = static_cast<float>(leftPx * 15);
        m.app.DropY = static_cast<float>(topPx * 15);
        const int slot = createPart(m, kind).slot;
        PartsRecord &p = m.part(slot);
        p.PictName = "dummy";
        p.A() = static_cast<std::int16_t>(a);
        p.B() = static_cast<std::int16_t>(b);
        engine.showPart(slot);
        return slot;
    }

    // Gives part `slot` a program starting at block `first`.
    void program(int slot, std::initializer_list<B> blocks, int first = 0)
    {
        PartsRecord &p = m.part(slot);
        p.FirstBlock = static_cast<std::int16_t>(first);
        p.BlockCount = static_cast<std::int16_t>(blocks.size());
        for (const B &b : blocks) {
            BlockRecord &r = p.Blocks[static_cast<std::size_t>(b.index)];
            r.Used = -1;
            r.Kind = static_cast<std::int16_t>(b.kind);
            r.NextBlock = static_cast<std::int16_t>(b.next);
            r.NextBlock2 = static_cast<std::int16_t>(b.next2);
            r.Caption = std::to_string(b.index) + std::string(vendingBlockName(b.kind));
            int n = 1;
            for (const ParamValue &v : b.params)
                r.Param[static_cast<std::size_t>(n++)] = v;
            r.Complete = -1;
        }
    }

    // Runs part `slot`'s program from `first` to its end as a touch does, without run lines.
    void runProgram(int slot, int first = 0)
    {
        for (int next = first; next != -1;)
            next = engine.executeBlock(slot, next);
    }

    // Drops coin picture k on the highest coin slot (or at (x, y) twips when given).
    void dropCoin(int d, std::optional<std::pair<int, int>> at = std::nullopt)
    {
        const int k = engine.visibleCoin(d);
        if (k < 0)
            return;
        std::pair<int, int> target;
        if (at) {
            target = *at;
        } else {
            for (int i = 0; i < PartSlots; ++i) {
                if (m.partExists(i) && m.part(i).Kind == KindCoinSlot)
                    target = {m.part(i).Left, m.part(i).Top};
            }
        }
        const StageRect from = engine.stage().coins[static_cast<std::size_t>(k)].rect;
        engine.coinDown(k, 0, 0);
        engine.coinMove(k, target.first - from.left, target.second - from.top);
        engine.coinUp(k);
    }
};

// Slots of the vending machine that buildVendingMachine makes.
enum VendingSlot { Product = 0, Button = 1, CoinSlot = 2, Counter = 3, Outlet = 4, Lever = 5 };

// A whole level-3 machine: a product priced 120 with 5 in stock, its button, a coin slot, an
// amount display, a product outlet and a change lever, each with its program.
inline void buildVendingMachine(Rig &r)
{
    r.add(KindProduct, 40, 40, 120, 5);
    r.add(KindButton, 40, 120);
    r.add(KindCoinSlot, 300, 100);
    r.add(KindCounter, 150, 200);
    r.add(KindProductOutlet, 100, 400);
    r.add(KindLever, 300, 200);
    // The button: buy lamp lit? discharge, charge the price, one less in stock, and the lamp
    // goes out when the rest no longer pays for another.
    r.program(Button, {
        B{0, BlockBranch, {Button, "A", "=", -1, 1}, 1, LinkEnd},
        B{1, BlockDischarge, {Product, Outlet, -1, -1, -1}, 2},
        B{2, BlockSubtract, {Counter, Product, -1, -1, -1}, 3},
        B{3, BlockReduceStock, {Product, -1, -1, -1, -1}, 4},
        B{4, BlockBranch, {Counter, "A", ">=", Product, "A"}, LinkEnd, 5},
        B{5, BlockBuyLampOff, {Button, -1, -1, -1, -1}, LinkEnd},
    });
    // The coin slot: count the coin, light the lamp once the price is paid.
    r.program(CoinSlot, {
        B{0, BlockAddMoney, {Counter, -1, -1, -1, -1}, 1},
        B{1, BlockBranch, {Counter, "A", ">=", Product, "A"}, 2, LinkEnd},
        B{2, BlockBuyLampOn, {Button, -1, -1, -1, -1}, LinkEnd},
    });
    // The change lever: pay back what the display shows and put the lamp out.
    r.program(Lever, {
        B{0, BlockPayChange, {Counter, -1, -1, -1, -1}, 1},
        B{1, BlockBuyLampOff, {Button, -1, -1, -1, -1}, LinkEnd},
    });
}

} // namespace jhk::testing
