// Money in hand, the wallet and coins dropped into the coin slot.
#include "engine/Engine.h"

#include "model/AppState.h"
#include "model/Int16.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace jhk {

namespace {

// Reads the answer of the money-in-hand box as a number. Full-width digits, signs and the
// full-width point count as their ASCII forms; spaces around the number are allowed.
bool parseAmount(const std::string &text, double &value)
{
    std::string ascii;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // U+FF0B plus, U+FF0D minus, U+FF0E point, U+FF10..U+FF19 digits: EF BC 8B..99
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBC) {
            const unsigned char t = static_cast<unsigned char>(text[i + 2]);
            if (t >= 0x90 && t <= 0x99) {
                ascii += static_cast<char>('0' + (t - 0x90));
                i += 3;
                continue;
            }
            if (t == 0x8B || t == 0x8D || t == 0x8E) {
                ascii += t == 0x8B ? '+' : t == 0x8D ? '-' : '.';
                i += 3;
                continue;
            }
        }
        if (c == 0xE3 && text.compare(i, 3, "\u3000") == 0) { // ideographic space
            ascii += ' ';
            i += 3;
            continue;
        }
        ascii += static_cast<char>(c);
        ++i;
    }
    const auto first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const auto last = ascii.find_last_not_of(" \t");
    const std::string s = ascii.substr(first, last - first + 1);
    // Plain decimal numbers only: no hexadecimal, no infinity.
    for (char ch : s) {
        if (!(std::isdigit(static_cast<unsigned char>(ch)) || ch == '+' || ch == '-' || ch == '.'
              || ch == 'e' || ch == 'E'))
            return false;
    }
    char *end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(value);
}

} // namespace

bool Engine::setMoneyInHand(const std::string &answer)
{
    AppState &app = m_m.app;
    if (app.RunMode != ModeEditing || answer.empty())
        return true;
    double value = 0;
    if (!parseAmount(answer, value)) {
        message(msg::NotANumber);
        return false;
    }
    if (value > MaxMoneyInHand) {
        message(msg::TooMuchMoney);
        return false;
    }
    if (value < 0) {
        message(msg::NegativeMoney);
        return false;
    }
    app.MoneySetting = clamp16(roundHalfEven(value));
    app.MoneyInHand = app.MoneySetting;
    m_stage.moneyLabel = MoneyLabelPrefix + answer;
    long long r = roundHalfEven(value);
    for (std::size_t d = 0; d < CoinValues.size(); ++d) {
        app.Wallet[d] = clamp16(r / CoinValues[d]);
        r -= static_cast<long long>(app.Wallet[d]) * CoinValues[d];
    }
    changed(StageChange::Panel);
    changed(StageChange::Wallet);
    return true;
}

int Engine::visibleCoin(int d) const
{
    if (d < 0 || d >= static_cast<int>(CoinValues.size()))
        return -1;
    const int mode = m_m.app.RunMode;
    if (mode != ModeRunning && mode != ModeOneBlock)
        return -1;
    for (int k : {d + 5, d}) {
        if (m_stage.coins[static_cast<std::size_t>(k)].visible)
            return k;
    }
    return -1;
}

void Engine::coinDown(int k, int x, int y)
{
    AppState &app = m_m.app;
    if (k < 0 || k >= static_cast<int>(m_stage.coins.size()))
        return;
    if (app.RunMode != ModeRunning && app.RunMode != ModeOneBlock)
        return;
    // While a program runs, the coin that started it is still on the slot and the program may
    // still read which coin was dropped: no other coin can be taken.
    if (m_run.active)
        return;
    app.CoinIndex = static_cast<std::int16_t>(k % 5);
    app.DraggedCoin = static_cast<std::int16_t>(k);
    m_coinOrigin = m_stage.coins[static_cast<std::size_t>(k)].rect;
    m_coinGrabX = x;
    m_coinGrabY = y;
}

void Engine::coinMove(int k, int x, int y)
{
    AppState &app = m_m.app;
    if (app.RunMode != ModeRunning && app.RunMode != ModeOneBlock)
        return;
    if (m_run.active || app.DraggedCoin < 0 || app.DraggedCoin != k || app.CoinIndex < 0)
        return;
    StageRect &r = m_stage.coins[static_cast<std::size_t>(k)].rect;
    r.left += x - m_coinGrabX;
    r.top += y - m_coinGrabY;
    changed(StageChange::Wallet);
}

// The coin slot a coin goes into: the highest-numbered coin slot on the stage.
int Engine::findCoinSlot() const
{
    for (int i = PartSlots - 1; i >= 0; --i) {
        if (m_m.partExists(i) && m_m.part(i).Kind == KindCoinSlot)
            return i;
    }
    return -1;
}

// The desktop's drag counts a coin whose centre is over the slot's picture or within a few
// pixels of it, which is what a pupil aims at; the simulator's coin command keeps the corner rule.
bool Engine::coinHitsSlot(const StageRect &coin, int slot, CoinAim aim) const
{
    const AppState &app = m_m.app;
    const PartsRecord &s = m_m.part(slot);
    if (aim == CoinAim::Corner) {
        const int w = CoinSlotHitPixels * app.TwipsX;
        const int h = CoinSlotHitPixels * app.TwipsY;
        return s.Left <= coin.left && coin.left < s.Left + w && s.Top <= coin.top && coin.top < s.Top + h;
    }
    const StageRect &picture = m_stage.part(slot).rect;
    const long long cx = coin.left + coin.width / 2;
    const long long cy = coin.top + coin.height / 2;
    const long long rx = static_cast<long long>(CoinSlotReachPixels) * app.TwipsX;
    const long long ry = static_cast<long long>(CoinSlotReachPixels) * app.TwipsY;
    return picture.left - rx <= cx && cx < static_cast<long long>(picture.left) + picture.width + rx
        && picture.top - ry <= cy && cy < static_cast<long long>(picture.top) + picture.height + ry;
}

void Engine::coinUp(int k, CoinAim aim)
{
    AppState &app = m_m.app;
    if (app.DraggedCoin != k || k < 0 || k >= static_cast<int>(m_stage.coins.size()))
        return;
    const bool oneBlock = app.RunMode == ModeOneBlock;
    if ((app.RunMode != ModeRunning && !oneBlock) || m_run.active)
        return;

    StageRect &r = m_stage.coins[static_cast<std::size_t>(k)].rect;
    if (Stage::isOutside(m_m, r))
        r = m_coinOrigin;
    const int slot = findCoinSlot();
    if (slot < 0 || !coinHitsSlot(r, slot, aim)) {
        r = m_coinOrigin;
        app.DraggedCoin = -1;
        changed(StageChange::Wallet);
        return;
    }

    if (oneBlock) {
        addRunListLine(CoinRunTitle);
        setBlockState(BlockStateWaiting);
    }
    beginProgram(slot, runStart(slot), true, k);
}

// The coin has gone into the slot: one coin less in the wallet and its value less in hand,
// the coin sound, and the picture back in the wallet (a coin never stays on the stage).
void Engine::finishCoinDrop(int k)
{
    AppState &app = m_m.app;
    const std::size_t d = static_cast<std::size_t>(k % 5);
    if (app.Wallet[d] > 0)
        app.Wallet[d] = static_cast<std::int16_t>(app.Wallet[d] - 1);
    app.MoneyInHand = sub16(app.MoneyInHand, CoinValues[d]);
    m_stage.moneyLabel = MoneyLabelPrefix + std::to_string(app.MoneyInHand);
    changed(StageChange::Panel);
    playSound(CoinSound, PlayMode::Async);
    updateWalletDisplay(static_cast<int>(d));
    m_stage.coins[static_cast<std::size_t>(k)].rect = m_coinOrigin;
    app.DraggedCoin = -1;
    changed(StageChange::Wallet);
}

void Engine::updateWalletDisplay(int d)
{
    const std::size_t i = static_cast<std::size_t>(d);
    const int count = m_m.app.Wallet[i];
    if (count != 0) {
        m_stage.coinLabels[i].text = std::to_string(count) + "枚";
        if (count == 1)
            m_stage.coins[i + 5].visible = false;
    } else {
        m_stage.coins[i].visible = false;
        m_stage.coins[i + 5].visible = false;
        m_stage.coinLabels[i].visible = false;
    }
}

void Engine::keepMoneyInHand()
{
    m_m.app.MoneyInHandSaved = m_m.app.MoneyInHand;
    m_moneyLabelSaved = m_stage.moneyLabel;
}

// Coins spent and change received during a run are forgotten when it stops, in hand as in
// the wallet: the customer leaves with what they came with.
void Engine::restoreMoneyInHand()
{
    m_m.app.MoneyInHand = m_m.app.MoneyInHandSaved;
    m_stage.moneyLabel = m_moneyLabelSaved;
}

void Engine::drawWallet()
{
    m_stage.walletDrawn = true;
    changed(StageChange::WalletPicture);
}

} // namespace jhk
