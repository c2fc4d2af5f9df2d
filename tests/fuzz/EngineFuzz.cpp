// Builds a machine with random programs from the input and plays random pupil actions on it:
// runs, touches, coins, the one-block mode, stops, and blocks executed directly. The engine
// must never crash, read outside the tables or overflow, and must keep its own rules: the
// wallet never holds a negative count, the one-block mode never runs outside mode 2, and a
// stop always leaves the editing state behind.
#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/StageView.h"
#include "model/AppState.h"
#include "model/Catalogue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <memory>

using namespace jhk;

namespace {

class QuietView : public StageView {
public:
    void showMessage(const std::string &) override {}
};

class NoFiles : public PictureSizes {
public:
    std::optional<PixelSize> fileSize(const std::string &) const override { return std::nullopt; }
};

ParamValue randomParam(FuzzedDataProvider &in)
{
    static const char *const texts[] = {"A", "B", "C", "=", ">", "<", ">=", "<=", "a", "", "12", "=="};
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return ParamValue(in.ConsumeIntegralInRange<int>(-2, 32));
    case 1:
        return ParamValue(in.ConsumeIntegral<std::int16_t>());
    case 2:
        return ParamValue(texts[in.ConsumeIntegralInRange<std::size_t>(0, std::size(texts) - 1)]);
    default:
        return ParamValue();
    }
}

int randomLink(FuzzedDataProvider &in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return LinkEnd;
    case 1:
        return in.ConsumeIntegral<std::int16_t>();
    default:
        return in.ConsumeIntegralInRange(-1, 5);
    }
}

void buildMachine(FuzzedDataProvider &in, Machine &m)
{
    const int parts = in.ConsumeIntegralInRange(1, 8);
    for (int n = 0; n < parts; ++n) {
        const int slot = in.ConsumeBool() ? n : in.ConsumeIntegralInRange(0, 30);
        PartsRecord &p = m.part(slot);
        if (!p.isUsed())
            m.app.PartsCount = static_cast<std::int16_t>(m.app.PartsCount + 1);
        p.Used = -1;
        p.Kind = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int16_t>(-1, 8) : in.ConsumeIntegral<std::int16_t>();
        p.PictName = "dummy";
        p.Left = in.ConsumeIntegralInRange<std::int16_t>(-100, 7000);
        p.Top = in.ConsumeIntegralInRange<std::int16_t>(-100, 8000);
        p.Width = 32;
        p.Height = 32;
        for (int v = 1; v <= 3; ++v)
            p.Hensuu[static_cast<std::size_t>(v)] = in.ConsumeIntegral<std::int16_t>();
        p.RunDrag = in.ConsumeBool() ? -1 : 0;
        p.FirstBlock = static_cast<std::int16_t>(randomLink(in));
        const int blocks = in.ConsumeIntegralInRange(0, 6);
        p.BlockCount = static_cast<std::int16_t>(in.ConsumeIntegralInRange(0, blocks + 1));
        for (int k = 0; k < blocks; ++k) {
            BlockRecord &b = p.Blocks[static_cast<std::size_t>(k)];
            b.Used = -1;
            b.Kind = in.ConsumeIntegralInRange<std::int16_t>(-1, 30);
            for (int i = 1; i <= 5; ++i)
                b.Param[static_cast<std::size_t>(i)] = randomParam(in);
            b.NextBlock = static_cast<std::int16_t>(randomLink(in));
            b.NextBlock2 = static_cast<std::int16_t>(randomLink(in));
        }
    }
    for (std::int16_t &w : m.app.Wallet)
        w = in.ConsumeIntegralInRange<std::int16_t>(0, 30);
    m.app.DischargeCount = in.ConsumeIntegralInRange<std::int16_t>(0, 999);
    m.app.CoinIndex = in.ConsumeIntegralInRange<std::int16_t>(-1, 6);
    m.app.CurParts = in.ConsumeIntegralInRange<std::int16_t>(-1, 40);
    m.app.CurBlock = in.ConsumeIntegralInRange<std::int16_t>(-1, 40);
    m.app.Level = in.ConsumeIntegralInRange<std::uint8_t>(1, 3);
}

void check(const Engine &e)
{
    const Machine &m = e.machine();
    for (std::int16_t w : m.app.Wallet) {
        if (w < 0)
            std::abort();
    }
    if (e.stepRunInProgress() && m.app.RunMode != ModeOneBlock)
        std::abort();
    if (m.app.DischargeCount > 999 || e.stage().products.size() > 999)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    auto m = std::make_unique<Machine>();
    applyStartupValues(m->app, 15.0, 15.0);
    buildMachine(in, *m);
    static const Catalogue catalogue("/nonexistent-catalogue-folder");
    QuietView view;
    SilentSoundPlayer player;
    NoFiles sizes;
    Engine e(*m, catalogue, view, player, sizes);
    e.rebuildStage();

    for (int steps = 0; steps < 64 && in.remaining_bytes() > 0; ++steps) {
        const int part = in.ConsumeIntegralInRange(-2, 32);
        switch (in.ConsumeIntegralInRange(0, 13)) {
        case 0: e.startRun(); break;
        case 1: e.stepMode(); break;
        case 2: e.nextStep(); break;
        case 3: {
            e.stopRun();
            if (m->app.RunMode != ModeEditing && m->app.RunMode < ModePickOperand1)
                std::abort();
            break;
        }
        case 4:
            e.runPartDown(part, 0, 0);
            e.runPartMove(part, in.ConsumeIntegral<std::int16_t>(), in.ConsumeIntegral<std::int16_t>());
            e.runPartUp(part);
            e.touchPart(part);
            break;
        case 5: {
            const int k = in.ConsumeIntegralInRange(-1, 10);
            e.coinDown(k, 0, 0);
            e.coinMove(k, in.ConsumeIntegral<std::int16_t>(), in.ConsumeIntegral<std::int16_t>());
            e.coinUp(k);
            break;
        }
        case 6: {
            const int k = e.visibleCoin(in.ConsumeIntegralInRange(0, 4));
            if (k >= 0) {
                int slot = -1;
                for (int i = 0; i < PartSlots; ++i)
                    if (m->partExists(i) && m->part(i).Kind == KindCoinSlot)
                        slot = i;
                const StageRect from = e.stage().coins[static_cast<std::size_t>(k)].rect;
                e.coinDown(k, 0, 0);
                if (slot >= 0)
                    e.coinMove(k, m->part(slot).Left - from.left, m->part(slot).Top - from.top);
                e.coinUp(k);
            }
            break;
        }
        case 7: {
            int next = in.ConsumeIntegralInRange(-1, 32);
            for (int guard = 0; next != -1 && guard < 2000; ++guard)
                next = e.executeBlock(part, next);
            break;
        }
        case 8: e.showAmount(part, in.ConsumeIntegral<std::int32_t>()); break;
        case 9: {
            int amount = in.ConsumeIntegralInRange(-40000, 40000);
            e.payChange(amount);
            break;
        }
        case 10: e.setMoneyInHand(in.ConsumeRandomLengthString(16)); break;
        case 11: {
            // the block editor's pick on the stage, and back
            const std::int16_t mode = m->app.RunMode;
            m->app.RunMode = static_cast<std::int16_t>(in.ConsumeIntegralInRange(3, 5));
            e.pickPart(part);
            e.chooseVariable(in.ConsumeBool() ? "A" : "C", "x");
            m->app.RunMode = mode;
            break;
        }
        case 12: e.chooseExerciseStep(in.ConsumeIntegralInRange(0, 4)); break;
        default:
            e.productDown(in.ConsumeIntegralInRange(0, 1000), 0, 0);
            e.productMove(0, in.ConsumeIntegral<std::int16_t>(), in.ConsumeIntegral<std::int16_t>());
            e.productUp(0);
            break;
        }
        check(e);
    }
    return 0;
}
