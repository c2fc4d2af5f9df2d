// The block interpreter: one block of one part's program per call.
#include "engine/Engine.h"

#include "engine/PictureSizes.h"
#include "model/AppState.h"
#include "model/Int16.h"

namespace jhk {

namespace {

std::int16_t param(const BlockRecord &b, int n)
{
    const ParamValue &v = b.Param[static_cast<std::size_t>(n)];
    return v.isInt() ? v.intValue() : v.toInt();
}

// Variable "A", "B" or "C" as an index into Hensuu; 0 for any other value.
int variableIndex(const ParamValue &v)
{
    if (!v.isText())
        return 0;
    const std::string &t = v.textValue();
    return t.size() == 1 && t[0] >= 'A' && t[0] <= 'C' ? t[0] - 'A' + 1 : 0;
}

// Why a block stops its program when the part it works on is not set, in a pupil's words.
const char *unsetPartReason(int kind)
{
    switch (kind) {
    case BlockDischarge: return "どの商品を出すのか設定されていません";
    case BlockBuyLampOn:
    case BlockBuyLampOff:
    case BlockSoldOutLampOn: return "どのボタンのランプか設定されていません";
    case BlockAddMoney: return "どの金額表示に加えるのか設定されていません";
    case BlockSubtract: return "どの金額表示から引くのか設定されていません";
    case BlockPayChange: return "どの金額表示からお釣を出すのか設定されていません";
    case BlockReduceStock: return "どの商品の在庫を減らすのか設定されていません";
    default: return "パーツが設定されていません";
    }
}

constexpr const char *NoOperatorReason = "比べ方（=、>、<、>=、<=）が設定されていません";
constexpr const char *NotRunnableReason = "このブロックは実行できません";

} // namespace

int Engine::lastCoinValue() const
{
    const int d = m_m.app.CoinIndex;
    return d >= 0 && d < static_cast<int>(CoinValues.size()) ? CoinValues[static_cast<std::size_t>(d)] : 0;
}

int Engine::stop(RunEnd reason, const char *detail)
{
    m_stopCause.set = true;
    m_stopCause.reason = reason;
    m_stopCause.detail = detail;
    return -1;
}

int Engine::stopAtGuard()
{
    stopWithMessage(msg::EndlessLoop);
    if (m_stopCause.set)
        m_stopCause.reason = RunEnd::Guard;
    return -1;
}

int Engine::stopWithMessage(const std::string &text)
{
    if (!message(text))
        return -1; // "停止" has ended the run already
    m_stopCause.set = true;
    m_stopCause.reason = RunEnd::Message;
    m_stopCause.detail = text;
    return -1;
}

// A part number taken from a block must name a slot of the table; any other number is a part
// that does not exist.
bool Engine::checkPartNumber(int q)
{
    if (isPartSlot(q))
        return true;
    message(msg::NoSuchPart);
    return false;
}

int Engine::executeBlock(int part, int block)
{
    AppState &app = m_m.app;
    app.ExecCount = add16(app.ExecCount, 1);
    if (block == LinkEnd)
        return -1;
    if (app.ExecCount > MaxExecutedBlocks)
        return stopAtGuard();
    if (!isPartSlot(part) || block < 0 || block >= BlockSlots)
        return stop(RunEnd::UnsetOperand, NotRunnableReason);

    const BlockRecord &b = m_m.part(part).Blocks[static_cast<std::size_t>(block)];
    m_blockRuns = true;
    if (m_observer)
        m_observer->blockAboutToRun(part, block);
    if (b.Kind >= FirstVendingBlock && b.Kind <= LastVendingBlock)
        app.LastBlockName.set(b.Kind);
    // The blocks of loops and comparisons are dispatched here; the blocks that change the
    // stage and show messages each run in a function of their own, which keeps this one lean.
    switch (b.Kind) {
    case 13:
    case 14:
    case 15:
        return b.NextBlock;
    case BlockBranch:
        return executeBranch(b);
    case BlockReduceStock:
        return executeReduceStock(b);
    default:
        return executeEffect(part, b);
    }
}

int Engine::executeReduceStock(const BlockRecord &b)
{
    const int next = b.NextBlock;
    const int q = param(b, 1);
    if (q == -1)
        return stop(RunEnd::UnsetPart, unsetPartReason(b.Kind));
    if (!isPartSlot(q))
        return stopWithMessage(msg::NoSuchPart);
    const PartsRecord &product = m_m.part(q);
    if (product.Kind != KindProduct)
        return stopWithMessage(msg::NoStock);
    const std::int16_t stock = sub16(product.B(), 1);
    if (stock < StockFloorValue) {
        setVariable(q, 2, StockFloorValue);
        message(msg::StockFloor);
    } else {
        setVariable(q, 2, stock);
    }
    return next;
}

int Engine::executeEffect(int part, const BlockRecord &b)
{
    AppState &app = m_m.app;
    PartsRecord &self = m_m.part(part);
    const int next = b.NextBlock;
    switch (b.Kind) {
    case BlockMove: {
        const int q = param(b, 3);
        if (!checkPartNumber(q))
            return next;
        StageRect &r = m_stage.part(q).rect;
        r.left = param(b, 1);
        r.top = param(b, 2);
        changed(StageChange::Part, q);
        return next;
    }
    case BlockDischarge:
        return executeDischarge(b);
    case BlockBuyLampOn:
    case BlockBuyLampOff:
    case BlockSoldOutLampOn: {
        const int q = param(b, 1);
        if (q == -1)
            return stop(RunEnd::UnsetPart, unsetPartReason(b.Kind));
        if (!checkPartNumber(q))
            return next;
        if (m_m.part(q).Kind != KindButton) {
            message(msg::NoLamp);
            return next;
        }
        self.LampLink = static_cast<std::int16_t>(q);
        if (b.Kind == BlockBuyLampOn) {
            setPartPicture(q, ButtonBuyPicture);
            setVariable(q, 1, 1);
            setVariable(q, 2, 0);
        } else if (b.Kind == BlockBuyLampOff) {
            setPartPicture(q, ButtonOffPicture);
            setVariable(q, 1, 0);
        } else {
            setPartPicture(q, ButtonSoldOutPicture);
            setVariable(q, 2, 1);
            setVariable(q, 1, 0);
        }
        return next;
    }
    case BlockAddMoney: {
        const int q = param(b, 1);
        if (q == -1)
            return stop(RunEnd::UnsetPart, unsetPartReason(b.Kind));
        if (!checkPartNumber(q))
            return next;
        PartsRecord &counter = m_m.part(q);
        if (counter.Kind == KindCounter) {
            setVariable(q, 1, add16(counter.A(), lastCoinValue()));
            showAmount(q, counter.A());
        } else {
            message(msg::AddToNonCounter);
        }
        return next;
    }
    case BlockSubtract: {
        const int q = param(b, 1);
        if (q == -1)
            return stop(RunEnd::UnsetPart, unsetPartReason(b.Kind));
        if (!checkPartNumber(q))
            return next;
        PartsRecord &counter = m_m.part(q);
        if (counter.Kind != KindCounter) {
            message(msg::SubtractFromNonCounter);
            return next;
        }
        const int r = param(b, 2);
        if (!checkPartNumber(r))
            return next;
        if (m_m.part(r).Kind != KindProduct) {
            message(msg::NoPrice);
            return next;
        }
        setVariable(q, 1, sub16(counter.A(), m_m.part(r).A()));
        showAmount(q, counter.A());
        return next;
    }
    case BlockPayChange: {
        const int q = param(b, 1);
        if (q == -1)
            return stop(RunEnd::UnsetPart, unsetPartReason(b.Kind));
        if (!checkPartNumber(q))
            return next;
        PartsRecord &counter = m_m.part(q);
        if (counter.Kind != KindCounter) {
            message(msg::ChangeFromNonCounter);
            return next;
        }
        const int amount = counter.A();
        app.MoneyInHand = add16(app.MoneyInHand, amount);
        // The change is the customer's now: the money-in-hand label follows at once.
        m_stage.moneyLabel = MoneyLabelPrefix + std::to_string(app.MoneyInHand);
        changed(StageChange::Panel);
        if (!message("お釣が" + std::to_string(amount) + "円でました"))
            return -1; // the stop has put the wallet and the money in hand back
        int rest = amount;
        payChange(rest);
        setVariable(q, 1, 0);
        showAmount(q, 0);
        return next;
    }
    default:
        return stop(RunEnd::UnsetOperand, NotRunnableReason);
    }
}

int Engine::executeDischarge(const BlockRecord &b)
{
    AppState &app = m_m.app;
    const int next = b.NextBlock;
    const int q = param(b, 1);
    if (q < 0)
        return stop(RunEnd::UnsetPart, unsetPartReason(b.Kind));
    if (!checkPartNumber(q))
        return next;
    if (m_m.part(q).Kind != KindProduct) {
        message(msg::NotAProduct);
        return next;
    }
    const int outlet = param(b, 2);
    if (outlet < 0) {
        message(msg::NoOutlet);
        return next;
    }
    if (!checkPartNumber(outlet))
        return next;
    if (!m_m.partExists(q)) {
        message(msg::NoSuchPart);
        return next;
    }
    const int before = app.DischargeCount;
    app.DischargeCount = add16(app.DischargeCount, 1);
    if (before >= MaxDischarged) {
        if (!message(msg::DischargeLimit))
            return -1; // the stop has emptied the outlet; the count stays 0
        app.DischargeCount = MaxDischarged;
        return next;
    }

    ProductImage image;
    image.n = app.DischargeCount;
    const PartControl &source = m_stage.part(q);
    image.picture = source.picture.empty() ? m_m.part(q).PictName : source.picture;
    image.sourceKind = m_m.part(q).Kind;
    image.sourcePart = q;
    image.onPart = outlet;
    const PixelSize px = partPictureSize(m_sizes, image.sourceKind, image.picture);
    image.rect.width = px.width * app.TwipsX;
    image.rect.height = px.height * app.TwipsY;
    const StageRect &on = m_stage.part(outlet).rect;
    image.rect.top = on.top;
    image.rect.left = static_cast<int>(roundHalfEven(on.left + on.width / 2.0 - image.rect.width / 2.0));
    m_stage.products.push_back(image);
    changed(StageChange::Products);

    // The image appears once the sound has ended, unless the run was stopped meanwhile. A
    // run with a scheduler leaves the wait to it and shows the image when it resumes.
    if (m_soundsWait) {
        if (m_observer)
            m_observer->soundPlayed(ProductSound);
        m_soundWaitMs = m_sound.startOnce(ProductSound);
        if (m_soundWaitMs > 0) {
            m_run.reveal = image.n;
            return next;
        }
    } else {
        playSound(ProductSound, PlayMode::Sync);
    }
    showProduct(image.n);
    return next;
}

void Engine::showProduct(int n)
{
    for (ProductImage &shown : m_stage.products) {
        if (shown.n == n)
            shown.visible = true;
    }
    changed(StageChange::Products);
}

int Engine::executeBranch(const BlockRecord &b)
{
    // One side of the comparison: variable `nameParam` of part `partParam`, or the constant
    // `constParam` when no variable is named (P(1) on the left, P(5) on the right).
    auto side = [&](int partParam, int nameParam, int constParam, int &value) {
        const int which = variableIndex(b.Param[static_cast<std::size_t>(nameParam)]);
        if (which == 0) {
            value = param(b, constParam);
            return true;
        }
        const int q = param(b, partParam);
        if (!isPartSlot(q))
            return false;
        value = m_m.part(q).Hensuu[static_cast<std::size_t>(which)];
        return true;
    };
    int left = 0;
    int right = 0;
    if (!side(1, 2, 1, left) || !side(4, 5, 5, right))
        return stopWithMessage(msg::NoSuchPart);

    const std::string &op = b.Param[3].textValue(); // "" for a number
    bool holds;
    if (op == "=")
        holds = left == right;
    else if (op == ">")
        holds = left > right;
    else if (op == "<")
        holds = left < right;
    else if (op == ">=")
        holds = left >= right;
    else if (op == "<=")
        holds = left <= right;
    else
        return stop(RunEnd::UnsetOperand, NoOperatorReason);
    return holds ? b.NextBlock : b.NextBlock2;
}

void Engine::showAmount(int part, int value)
{
    if (!isPartSlot(part))
        return;
    const std::string s = std::to_string(value);
    if (s.size() >= 5) {
        message(msg::Overflow);
        return;
    }
    // Drawn from the right, a negative amount with its minus sign in the place before its
    // digits ("-300"): a counter run below zero reads as such.
    m_stage.part(part).digits = s;
    changed(StageChange::Part, part);
}

void Engine::payChange(int &amount)
{
    AppState &app = m_m.app;
    for (std::size_t d = 0; d < CoinValues.size(); ++d) {
        // A negative amount (a counter run below zero) takes no coins out of the wallet.
        const int c = amount > 0 ? amount / CoinValues[d] : 0;
        app.Wallet[d] = add16(app.Wallet[d], c);
        amount -= c * CoinValues[d];
        if (app.Wallet[d] != 0) {
            m_stage.coinLabels[d].text = std::to_string(app.Wallet[d]) + "枚";
            m_stage.coinLabels[d].visible = true;
            for (std::size_t k : {d, d + 5}) {
                m_stage.coins[k].rect.top = (40 * static_cast<int>(d) + 300) * app.TwipsY;
                m_stage.coins[k].visible = true;
            }
            if (app.Wallet[d] == 1)
                m_stage.coins[d].visible = false;
        }
    }
    changed(StageChange::Wallet);
}

} // namespace jhk
