// The block interpreter: one block of one part's program per call.
#include "engine/Engine.h"

#include "engine/PictureSizes.h"
#include "model/AppState.h"
#include "model/Int16.h"

namespace jhk {

namespace {

std::int16_t param(const BlockRecord &b, int n)
{
    return b.Param[static_cast<std::size_t>(n)].toInt();
}

// Variable "A", "B" or "C" as an index into Hensuu; 0 for any other value.
int variableIndex(const ParamValue &v)
{
    if (v.isText("A"))
        return 1;
    if (v.isText("B"))
        return 2;
    if (v.isText("C"))
        return 3;
    return 0;
}

} // namespace

int Engine::lastCoinValue() const
{
    const int d = m_m.app.CoinIndex;
    return d >= 0 && d < static_cast<int>(CoinValues.size()) ? CoinValues[static_cast<std::size_t>(d)] : 0;
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
    if (app.ExecCount > MaxExecutedBlocks) {
        message(msg::EndlessLoop);
        return -1;
    }
    if (!isPartSlot(part) || block < 0 || block >= BlockSlots)
        return -1;

    PartsRecord &self = m_m.part(part);
    const BlockRecord &b = self.Blocks[static_cast<std::size_t>(block)];
    const int next = b.NextBlock;
    if (b.Kind >= FirstVendingBlock && b.Kind <= LastVendingBlock)
        app.LastBlockName = std::string(vendingBlockName(b.Kind));

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
    case 13:
    case 14:
    case 15:
        return next;
    case BlockDischarge:
        return executeDischarge(b);
    case BlockBuyLampOn:
    case BlockBuyLampOff:
    case BlockSoldOutLampOn: {
        const int q = param(b, 1);
        if (q == -1)
            return -1;
        if (!checkPartNumber(q))
            return next;
        PartsRecord &button = m_m.part(q);
        if (button.Kind != KindButton) {
            message(msg::NoLamp);
            return next;
        }
        self.LampLink = static_cast<std::int16_t>(q);
        if (b.Kind == BlockBuyLampOn) {
            setPartPicture(q, ButtonBuyPicture);
            button.A() = 1;
            button.B() = 0;
        } else if (b.Kind == BlockBuyLampOff) {
            setPartPicture(q, ButtonOffPicture);
            button.A() = 0;
        } else {
            setPartPicture(q, ButtonSoldOutPicture);
            button.B() = 1;
            button.A() = 0;
        }
        return next;
    }
    case BlockAddMoney: {
        const int q = param(b, 1);
        if (q == -1)
            return -1;
        if (!checkPartNumber(q))
            return next;
        PartsRecord &counter = m_m.part(q);
        if (counter.Kind == KindCounter) {
            counter.A() = add16(counter.A(), lastCoinValue());
            showAmount(q, counter.A());
        } else {
            message(msg::AddToNonCounter);
        }
        return next;
    }
    case BlockSubtract: {
        const int q = param(b, 1);
        if (q == -1)
            return -1;
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
        counter.A() = sub16(counter.A(), m_m.part(r).A());
        showAmount(q, counter.A());
        return next;
    }
    case BlockPayChange: {
        const int q = param(b, 1);
        if (q == -1)
            return -1;
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
        message("お釣が" + std::to_string(amount) + "円でました");
        int rest = amount;
        payChange(rest);
        counter.A() = 0;
        showAmount(q, 0);
        return next;
    }
    case BlockReduceStock: {
        const int q = param(b, 1);
        if (q == -1)
            return -1;
        if (!checkPartNumber(q))
            return -1;
        PartsRecord &product = m_m.part(q);
        if (product.Kind != KindProduct) {
            message(msg::NoStock);
            return -1;
        }
        product.B() = sub16(product.B(), 1);
        if (product.B() < StockFloorValue) {
            product.B() = StockFloorValue;
            message(msg::StockFloor);
        }
        return next;
    }
    case BlockBranch:
        return executeBranch(b);
    default:
        return -1;
    }
}

int Engine::executeDischarge(const BlockRecord &b)
{
    AppState &app = m_m.app;
    const int next = b.NextBlock;
    const int q = param(b, 1);
    if (q < 0)
        return -1;
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
        message(msg::DischargeLimit);
        app.DischargeCount = MaxDischarged;
        return next;
    }

    ProductImage image;
    image.n = app.DischargeCount;
    const PartControl &source = m_stage.part(q);
    image.picture = source.picture.empty() ? m_m.part(q).PictName : source.picture;
    image.sourceKind = m_m.part(q).Kind;
    const PixelSize px = partPictureSize(m_sizes, image.sourceKind, image.picture);
    image.rect.width = px.width * app.TwipsX;
    image.rect.height = px.height * app.TwipsY;
    const StageRect &on = m_stage.part(outlet).rect;
    image.rect.top = on.top;
    image.rect.left = static_cast<int>(roundHalfEven(on.left + on.width / 2.0 - image.rect.width / 2.0));
    m_stage.products.push_back(image);
    changed(StageChange::Products);

    m_sound.playOnce(ProductSound, PlayMode::Sync);

    // The image appears once the sound has ended, unless the run was stopped meanwhile.
    for (ProductImage &shown : m_stage.products) {
        if (shown.n == image.n)
            shown.visible = true;
    }
    changed(StageChange::Products);
    return next;
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
        if (!checkPartNumber(q))
            return false;
        value = m_m.part(q).Hensuu[static_cast<std::size_t>(which)];
        return true;
    };
    int left = 0;
    int right = 0;
    if (!side(1, 2, 1, left) || !side(4, 5, 5, right))
        return -1;

    const ParamValue &op = b.Param[3];
    bool holds;
    if (op.isText("="))
        holds = left == right;
    else if (op.isText(">"))
        holds = left > right;
    else if (op.isText("<"))
        holds = left < right;
    else if (op.isText(">="))
        holds = left >= right;
    else if (op.isText("<="))
        holds = left <= right;
    else
        return -1;
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
    // Digits are drawn from the right and drawing stops at the sign: a negative amount shows
    // without its minus.
    const std::size_t sign = s.rfind('-');
    m_stage.part(part).digits = sign == std::string::npos ? s : s.substr(sign + 1);
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
