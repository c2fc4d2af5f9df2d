// The stage controls and the tables: emptying, rebuilding and copying back.
#include "engine/Engine.h"

#include "model/AppState.h"
#include "model/Int16.h"
#include "model/Level1Programs.h"

namespace jhk {

void Engine::partsLoad()
{
    resetAllSlots(m_m);
    for (PartControl &p : m_stage.parts)
        p = PartControl{};
    for (LabelControl &l : m_stage.labels)
        l.visible = false;
    m_stage.selection.visible = false;
    changed(StageChange::Everything);
}

void Engine::showPart(int i)
{
    if (!isPartSlot(i))
        return;
    const PartsRecord &p = m_m.part(i);
    PartControl &c = m_stage.part(i);
    c.rect.left = p.Left;
    c.rect.top = p.Top;
    m_stage.setPartPicture(m_m, m_sizes, i, p.PictName.empty() ? std::string(BuiltInPicture) : p.PictName);
    c.visible = p.isUsed();
    changed(StageChange::Part, i);
}

void Engine::rebuildStage()
{
    AppState &app = m_m.app;
    forgetRunEnd(); // another machine, or the machine of another moment
    m_stage.background = app.BackPictName;
    m_stage.products.clear();
    for (int i = 0; i < PartSlots; ++i) {
        PartControl &c = m_stage.part(i);
        c.digits.clear();
        if (!m_m.part(i).isUsed()) {
            c.visible = false;
            continue;
        }
        const PartsRecord &p = m_m.part(i);
        c.rect = {p.Left, p.Top, p.Width * app.TwipsX, p.Height * app.TwipsY};
        showPart(i); // the box then takes the size of its picture
    }

    for (int j = 0; j < LabelSlots; ++j) {
        const LabelRecord &l = m_m.label(j);
        LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
        c.visible = l.isUsed();
        if (!c.visible)
            continue;
        auto colour = [&](std::int32_t index, std::int32_t fallback) {
            return index >= 0 && index < ColorCount ? app.ColorTable[static_cast<std::size_t>(index)]
                                                    : app.ColorTable[static_cast<std::size_t>(fallback)];
        };
        c.caption = l.Caption;
        c.fontSize = l.FontSize;
        c.rect = {l.Left, l.Top, l.Width, l.Height};
        c.backColor = colour(l.BackColor, 7);
        c.foreColor = colour(l.ForeColor, 8);
        c.italic = l.FontItalic != 0;
        c.bold = l.FontBold != 0;
        c.transparent = l.Transparent != 0;
    }

    if (app.PartsCount > 0 || app.LabelCount > 0) {
        for (PartControl &c : m_stage.parts)
            c.numberShown = true;
        m_stage.controls.deleteEnabled = true;
        if (app.Level == 1) {
            switchExerciseStep(m_m, 1);
            m_stage.controls.stepControlsVisible = true;
        } else {
            m_stage.controls.stepControlsVisible = false;
        }
    } else if (app.Level == 1) {
        app.Step = 1; // an empty level-1 document shows step 1 too: Step must say the same
    }
    m_stage.moneyLabel = MoneyLabelPrefix + std::to_string(app.MoneyInHand);
    m_stage.selection.visible = false;
    changed(StageChange::Everything);
}

void Engine::checkAll()
{
    const AppState &app = m_m.app;
    for (int i = 0; i < PartSlots; ++i) {
        PartsRecord &p = m_m.part(i);
        const StageRect &r = m_stage.part(i).rect;
        p.Left = clamp16(r.left);
        p.Top = clamp16(r.top);
        if (app.TwipsX > 0)
            p.Width = clamp16(roundHalfEven(static_cast<double>(r.width) / app.TwipsX));
        if (app.TwipsY > 0)
            p.Height = clamp16(roundHalfEven(static_cast<double>(r.height) / app.TwipsY));
    }
    for (int j = 0; j < LabelSlots; ++j)
        m_m.label(j).FontSize = clamp16(m_stage.labels[static_cast<std::size_t>(j)].fontSize);
}

void Engine::chooseExerciseStep(int step)
{
    if (m_m.app.RunMode != ModeEditing || m_m.app.Level != 1 || step < 1 || step > 3)
        return;
    switchExerciseStep(m_m, step);
    changed(StageChange::Panel);
}

} // namespace jhk
