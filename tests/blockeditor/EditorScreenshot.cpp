// Draws the block editor with a small button program (a branch with both exits) and saves
// a picture of the window: `blockeditor_screenshot OUT.png`. Used for the pictures in docs/.
// `blockeditor_screenshot OUT.png coin|lever` draws the level-1 step-3 program of a coin slot or
// a change lever instead; `twobranch` a button program with two branches in one column, and
// `level2` the level-2 palette.
#include "blockeditor/BlockEditorWindow.h"
#include "model/Catalogue.h"
#include "blockeditor/FlowchartCanvas.h"
#include "model/AppState.h"
#include "model/Creation.h"
#include "model/Level1Programs.h"

#include <cstring>

#include <QApplication>
#include <QTest>

using namespace jhk;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: blockeditor_screenshot OUT.png\n");
        return 2;
    }
    Machine m;
    applyStartupValues(m.app, 15, 15);
    const Catalogue catalogue(JHK_APP_DIR);
    const char *mode = argc > 2 ? argv[2] : "";
    auto save = [&](BlockEditorWindow &window) {
        window.show();
        window.refresh();
        QApplication::processEvents();
        return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    };
    if (std::strcmp(mode, "coin") == 0 || std::strcmp(mode, "lever") == 0 || std::strcmp(mode, "level2") == 0) {
        m.app.Level = std::strcmp(mode, "level2") == 0 ? 2 : 1;
        m.app.Step = 3;
        const int part = createPart(m, std::strcmp(mode, "coin") == 0    ? KindCoinSlot
                                          : std::strcmp(mode, "lever") == 0 ? KindLever
                                                                            : KindProduct)
                               .slot;
        if (m.app.Level == 1) {
            giveLevel1Program(m, part);
            switchExerciseStep(m, 3);
        }
        m.app.BlockEditorOpen = -1;
        BlockEditorWindow window(m, part, nullptr, catalogue, [](const std::string &) {});
        return save(window);
    }
    m.app.Level = 3;
    const int button = createPart(m, KindButton).slot;
    const int product = createPart(m, KindProduct).slot;
    const int outlet = createPart(m, KindProductOutlet).slot;
    const int counter = createPart(m, KindCounter).slot;
    m.app.BlockEditorOpen = -1;
    BlockEditorWindow window(m, button, nullptr, catalogue, [](const std::string &) {});
    BlockEditorModel &e = window.model();
    const CanvasGeometry &g = e.geometry();
    auto drop = [&](int position, int column, int row) {
        e.dropBlock(1, position, column * g.columnWidth() + 100, row * g.rowHeight() + 450);
    };
    if (std::strcmp(mode, "twobranch") == 0) {
        drop(8, 0, 1); // 0 branch
        drop(0, 0, 3); // 1 discharge
        drop(4, 0, 5); // 2 subtract the price
        drop(8, 0, 7); // 3 branch
        drop(1, 0, 9); // 4 lamp on
        PartsRecord &p = m.part(button);
        p.FirstBlock = 0;
        for (int i = 0; i < 4; ++i)
            p.Blocks[static_cast<std::size_t>(i)].NextBlock = i + 1;
        p.Blocks[0].NextBlock2 = 99;
        p.Blocks[3].NextBlock2 = 99;
        p.Blocks[4].NextBlock = 99;
        return save(window);
    }
    drop(8, 1, 1); // 0 branch: is the buy lamp lit?
    drop(0, 1, 3); // 1 discharge
    drop(4, 1, 5); // 2 subtract the price
    drop(2, 3, 3); // 3 lamp off
    PartsRecord &p = m.part(button);
    p.FirstBlock = 0;
    p.Blocks[0].Param = {ParamValue(-1), ParamValue(button), ParamValue("A"), ParamValue("="), ParamValue(-1), ParamValue(1)};
    p.Blocks[0].NextBlock = 1;
    p.Blocks[0].NextBlock2 = 3;
    p.Blocks[0].Complete = -1;
    p.Blocks[1].Param[1] = ParamValue(product);
    p.Blocks[1].Param[2] = ParamValue(outlet);
    p.Blocks[1].NextBlock = 2;
    p.Blocks[1].Complete = -1;
    p.Blocks[2].Param[1] = ParamValue(counter);
    p.Blocks[2].Param[2] = ParamValue(product);
    p.Blocks[2].NextBlock = 99;
    p.Blocks[2].Complete = -1;
    p.Blocks[3].NextBlock = 99;
    window.show();
    QTest::mouseClick(window.canvas(), Qt::LeftButton, {}, {124, 48});
    window.refresh();
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
