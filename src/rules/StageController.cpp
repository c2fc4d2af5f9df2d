#include "rules/StageController.h"

#include "engine/Engine.h"
#include "model/AppState.h"
#include "rules/StageEditor.h"

#include <algorithm>

namespace jhk {

PixelRect PixelRect::united(const PixelRect &o) const
{
    if (o.empty())
        return *this;
    if (empty())
        return o;
    const int l = std::min(left, o.left);
    const int t = std::min(top, o.top);
    const int r = std::max(left + width, o.left + o.width);
    const int b = std::max(top + height, o.top + o.height);
    return {l, t, r - l, b - t};
}

StageHitTest::StageHitTest(const Machine &machine, const Stage &stage, const StageOrder &order)
    : m_machine(machine), m_stage(stage), m_order(order)
{
}

PixelRect StageHitTest::toPixels(const StageRect &r) const
{
    const int tx = std::max<int>(1, m_machine.app.TwipsX);
    const int ty = std::max<int>(1, m_machine.app.TwipsY);
    return {r.left / tx, r.top / ty, r.width / tx, r.height / ty};
}

StageHit StageHitTest::hitAt(int x, int y) const
{
    // The coin held by the mouse is in front of everything; the coins resting in the wallet
    // lie under the parts and labels, so that a part placed near the stage's left edge stays
    // in sight and takes its clicks during a run.
    const int held = m_machine.app.DraggedCoin;
    if (held >= 0 && held < static_cast<int>(m_stage.coins.size())) {
        const CoinPicture &c = m_stage.coins[static_cast<std::size_t>(held)];
        if (c.visible && toPixels(c.rect).contains(x, y))
            return {StageHit::Coin, held};
    }
    for (int n = static_cast<int>(m_stage.products.size()) - 1; n >= 0; --n) {
        const ProductImage &img = m_stage.products[static_cast<std::size_t>(n)];
        if (img.visible && toPixels(img.rect).contains(x, y))
            return {StageHit::Product, n};
    }
    StageHit best;
    int bestZ = -1;
    for (int i = 0; i < PartSlots; ++i) {
        const PartControl &c = m_stage.part(i);
        const int z = m_order.parts[static_cast<std::size_t>(i)];
        if (c.visible && z > bestZ && toPixels(c.rect).contains(x, y)) {
            best = {StageHit::Part, i};
            bestZ = z;
        }
    }
    for (int j = 1; j < LabelSlots; ++j) {
        const LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
        const int z = m_order.labels[static_cast<std::size_t>(j)];
        if (c.visible && z > bestZ && toPixels(c.rect).contains(x, y)) {
            best = {StageHit::Label, j};
            bestZ = z;
        }
    }
    if (best.kind != StageHit::Surface)
        return best;
    for (int k = static_cast<int>(m_stage.coins.size()) - 1; k >= 0; --k) {
        const CoinPicture &c = m_stage.coins[static_cast<std::size_t>(k)];
        if (c.visible && toPixels(c.rect).contains(x, y))
            return {StageHit::Coin, k};
    }
    return best;
}

PixelRect StageHitTest::itemRect(StageHit hit) const
{
    switch (hit.kind) {
    case StageHit::Part: return toPixels(m_stage.part(hit.index).rect);
    case StageHit::Label: return toPixels(m_stage.labels[static_cast<std::size_t>(hit.index)].rect);
    case StageHit::Product:
        if (hit.index < static_cast<int>(m_stage.products.size()))
            return toPixels(m_stage.products[static_cast<std::size_t>(hit.index)].rect);
        return {};
    case StageHit::Coin: return toPixels(m_stage.coins[static_cast<std::size_t>(hit.index)].rect);
    case StageHit::Surface: break;
    }
    return {0, 0, StageWidthPixels, StageHeightPixels};
}

std::pair<int, int> StageHitTest::relativeTwips(StageHit hit, int x, int y) const
{
    int left = 0;
    int top = 0;
    auto from = [&](const StageRect &r) {
        left = r.left;
        top = r.top;
    };
    switch (hit.kind) {
    case StageHit::Part: from(m_stage.part(hit.index).rect); break;
    case StageHit::Label: from(m_stage.labels[static_cast<std::size_t>(hit.index)].rect); break;
    case StageHit::Product:
        if (hit.index < static_cast<int>(m_stage.products.size()))
            from(m_stage.products[static_cast<std::size_t>(hit.index)].rect);
        break;
    case StageHit::Coin: from(m_stage.coins[static_cast<std::size_t>(hit.index)].rect); break;
    case StageHit::Surface: break;
    }
    return {x * m_machine.app.TwipsX - left, y * m_machine.app.TwipsY - top};
}

PixelRect StageHitTest::partNumberRect(const PixelRect &part, int w, int h, const PixelRect &stage)
{
    const int partRight = part.left + part.width; // one past the part's last column
    if (part.top - h >= stage.top)
        return {part.left, part.top - h, w, h};
    if (partRight + w <= stage.left + stage.width)
        return {partRight, part.top, w, h};
    if (part.left - w >= stage.left)
        return {part.left - w, part.top, w, h};
    return {part.left, part.top, w, h};
}

PixelRect StageHitTest::partBounds(int i, int numberWidth, int numberHeight) const
{
    const PartControl &c = m_stage.part(i);
    PixelRect bounds = toPixels(c.rect);
    if (c.numberShown)
        bounds = bounds.united(partNumberRect(bounds, numberWidth, numberHeight, itemRect({})));
    if (!c.digits.empty()) {
        const int gTwips = DigitPixels * m_machine.app.TwipsX;
        for (int k = 1; k <= AmountDigits; ++k) {
            StageRect box = Stage::digitBox(m_machine, k, gTwips);
            box.left += c.rect.left;
            box.top += c.rect.top;
            bounds = bounds.united(toPixels(box));
        }
    }
    return bounds;
}

bool isPicking(int mode)
{
    return mode == ModePickOperand1 || mode == ModePickOperand2 || mode == ModePickOperand4
        || mode == ModePickMoveTarget;
}

StageController::StageController(Machine &machine, Engine &engine, StageEditor &editor, StageControllerHost &host)
    : m_machine(machine),
      m_engine(engine),
      m_editor(editor),
      m_host(host),
      m_hits(machine, engine.stage(), editor.order())
{
}

void StageController::press(int x, int y, PointerButton button, bool onlyButton)
{
    if (!m_pressing || onlyButton) {
        m_pressed = m_hits.hitAt(x, y);
        m_pressing = true;
    }
    const auto [tx, ty] = m_hits.relativeTwips(m_pressed, x, y);
    down(m_pressed, button, tx, ty);
}

void StageController::move(int x, int y, bool leftHeld, bool modifierHeld)
{
    const StageHit hit = m_pressing ? m_pressed : m_hits.hitAt(x, y);
    const auto [tx, ty] = m_hits.relativeTwips(hit, x, y);
    drag(hit, leftHeld, tx, ty, modifierHeld);
}

void StageController::release(int x, int y, PointerButton button, bool noneLeft)
{
    const StageHit hit = m_pressing ? m_pressed : m_hits.hitAt(x, y);
    if (noneLeft)
        m_pressing = false;
    const bool over = m_hits.hitAt(x, y) == hit || m_hits.itemRect(hit).contains(x, y);
    up(hit, button);
    if (over && button == PointerButton::Left)
        click(hit);
}

void StageController::doubleClick(int x, int y, PointerButton button)
{
    const StageHit hit = m_hits.hitAt(x, y);
    m_pressed = hit;
    m_pressing = true;
    if (button != PointerButton::Left || m_machine.app.RunMode != ModeEditing)
        return;
    // The editors are modal: the release of this double-click goes to them.
    if (hit.kind == StageHit::Part || hit.kind == StageHit::Label)
        m_editor.endDrag();
    if (hit.kind == StageHit::Part)
        m_host.openBlockEditor(hit.index);
    else if (hit.kind == StageHit::Label)
        m_host.editLabel(hit.index);
    m_host.refresh();
}

bool StageController::escape()
{
    if (!isPicking(m_machine.app.RunMode))
        return false;
    m_host.finishPick();
    m_host.refresh();
    return true;
}

void StageController::down(StageHit hit, PointerButton button, int x, int y)
{
    const int mode = m_machine.app.RunMode;
    const bool left = button == PointerButton::Left;
    switch (hit.kind) {
    case StageHit::Part:
        if (mode == ModeEditing && button == PointerButton::Right) {
            m_host.offerPartMenu(hit.index);
        } else if (mode == ModeEditing) {
            m_editor.partDown(hit.index, left, x, y);
        } else if (mode == ModeRunning && left) {
            m_engine.runPartDown(hit.index, x, y);
            m_editor.partPressedDuringRun(hit.index);
        }
        break;
    case StageHit::Label: m_editor.labelDown(hit.index, left, x, y); break;
    case StageHit::Product:
        if (left)
            m_engine.productDown(m_engine.stage().products[static_cast<std::size_t>(hit.index)].n, x, y);
        break;
    case StageHit::Coin:
        if (left)
            m_engine.coinDown(hit.index, x, y);
        break;
    case StageHit::Surface: break;
    }
    m_host.refresh();
}

void StageController::drag(StageHit hit, bool left, int x, int y, bool modifier)
{
    switch (hit.kind) {
    case StageHit::Part:
        if (m_machine.app.RunMode == ModeEditing)
            m_editor.partMove(hit.index, x, y, modifier);
        else
            m_engine.runPartMove(hit.index, x, y);
        break;
    case StageHit::Label: m_editor.labelMove(hit.index, left, x, y, modifier); break;
    case StageHit::Product:
        if (left)
            m_engine.productMove(m_engine.stage().products[static_cast<std::size_t>(hit.index)].n, x, y);
        break;
    case StageHit::Coin:
        if (left)
            m_engine.coinMove(hit.index, x, y);
        break;
    case StageHit::Surface: return;
    }
    m_host.stageMoved();
}

void StageController::up(StageHit hit, PointerButton button)
{
    const bool left = button == PointerButton::Left;
    switch (hit.kind) {
    case StageHit::Part:
        if (m_machine.app.RunMode == ModeEditing)
            m_editor.partUp(hit.index, left);
        else if (left)
            m_engine.runPartUp(hit.index);
        break;
    case StageHit::Label: m_editor.labelUp(hit.index, left); break;
    case StageHit::Product:
        if (left)
            m_engine.productUp(m_engine.stage().products[static_cast<std::size_t>(hit.index)].n);
        break;
    case StageHit::Coin:
        if (left)
            m_engine.coinUp(hit.index, CoinAim::Centre);
        break;
    case StageHit::Surface: break;
    }
    m_host.refresh();
}

void StageController::click(StageHit hit)
{
    if (hit.kind != StageHit::Part)
        return;
    const int mode = m_machine.app.RunMode;
    if (mode == ModeRunning || mode == ModeOneBlock) {
        m_engine.touchPart(hit.index);
    } else if (isPicking(mode)) {
        const PickOutcome picked = m_engine.pickPart(hit.index);
        if (picked.refused) {
            m_host.refresh(); // still picking: the pupil clicks the right part, or Esc
            return;
        }
        if (picked.showVariableMenu) {
            const std::array<std::string, 3> captions = picked.menuCaptions;
            m_host.askVariable(captions, [this, captions](std::optional<int> chosen) {
                static const char *const letters[] = {"A", "B", "C"};
                if (chosen && *chosen >= 0 && *chosen < 3)
                    m_engine.chooseVariable(letters[*chosen], captions[static_cast<std::size_t>(*chosen)]);
                m_host.finishPick();
                m_host.refresh();
            });
            return;
        }
        m_host.finishPick();
    }
    m_host.refresh();
}

} // namespace jhk
