// Draws the block editor with a small button program (a branch with both exits) and saves
// a picture of the window: `blockeditor_screenshot OUT.png`. Used for the pictures in docs/.
#include "blockeditor/BlockEditorWindow.h"
#include "blockeditor/FlowchartCanvas.h"
#include "model/AppState.h"
#include "model/Creation.h"

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
    m.app.Level = 3;
    const int button = createPart(m, KindButton).slot;
    const int product = createPart(m, KindProduct).slot;
    const int outlet = createPart(m, KindProductOutlet).slot;
    const int counter = createPart(m, KindCounter).slot;
    m.app.BlockEditorOpen = -1;
    BlockEditorWindow window(m, button, nullptr, JHK_APP_DIR, [](const std::string &) {});
    BlockEditorModel &e = window.model();
    const CanvasGeometry &g = e.geometry();
    auto drop = [&](int position, int column, int row) {
        e.dropBlock(1, position, column * g.columnWidth() + 100, row * g.rowHeight() + 450);
    };
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
