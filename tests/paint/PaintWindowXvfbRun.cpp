// The paint tool in a real X server, from the main window: a product is dropped on the stage,
// its property dialog's "編集" opens the paint tool, a picture is drawn there with the X mouse
// (xdotool) and handed to the product with "決定"; the machine is saved and opened again and
// the product shows the drawing. Run under Xvfb (xvfb-run -a); an optional argument names a
// PNG file for a screenshot of the screen while drawing.
#include "FakeDialogs.h"
#include "model/AppState.h"
#include "paint/CanvasView.h"
#include "paint/PainterWindow.h"
#include "paint/PaletteStrip.h"
#include "paint/ToolColumn.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"
#include "stage/PropertyDialog.h"
#include "stage/StageWidget.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

using namespace jhk;

namespace {

int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok)
        ++failures;
}

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
    QTest::qWait(60); // let the window take the events
}

QStringList at(QWidget *widget, QPoint p)
{
    const QPoint g = widget->mapToGlobal(p);
    return {QStringLiteral("mousemove"), QString::number(g.x()), QString::number(g.y())};
}

void click(QWidget *widget, QPoint p)
{
    xdotool(at(widget, p) + QStringList{QStringLiteral("click"), QStringLiteral("1")});
}

void clickCentre(QWidget *widget)
{
    click(widget, widget->rect().center());
}

void drag(QWidget *widget, const std::vector<QPoint> &points)
{
    xdotool(at(widget, points.front()) + QStringList{QStringLiteral("mousedown"), QStringLiteral("1")});
    for (std::size_t i = 1; i < points.size(); ++i)
        xdotool(at(widget, points[i]));
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
}

// Draws a can on the canvas, whatever its size: a red body, a yellow label, a blue lid and a
// light blue background.
void drawCan(PainterWindow *window)
{
    ToolColumn *tools = window->toolColumn();
    PaletteStrip *strip = window->paletteStrip();
    CanvasView *canvas = window->canvas();
    const int w = canvas->width();
    const int h = canvas->height();
    auto p = [w, h](double x, double y) { return QPoint(int(x * (w - 1)), int(y * (h - 1))); };

    clickCentre(strip->swatchBox(11));
    clickCentre(tools->toolButton(ToolRectangle));
    click(tools->fillPanel(), QPoint(20, 40));
    drag(canvas, {p(0.2, 0.2), p(0.5, 0.6), p(0.8, 0.92)});
    clickCentre(strip->swatchBox(13));
    clickCentre(tools->toolButton(ToolEllipse));
    click(tools->fillPanel(), QPoint(20, 15));
    click(tools->lineWidthPanel(), QPoint(20, 20));
    drag(canvas, {p(0.3, 0.4), p(0.5, 0.6), p(0.7, 0.7)});
    clickCentre(strip->swatchBox(16));
    clickCentre(tools->toolButton(ToolPen));
    drag(canvas, {p(0.2, 0.14), p(0.35, 0.1), p(0.5, 0.08), p(0.65, 0.1), p(0.8, 0.14)});
    clickCentre(strip->swatchBox(6));
    clickCentre(tools->toolButton(ToolFill));
    click(canvas, p(0.02, 0.98));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString screenshot = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir dir;
    const std::string document = dir.filePath(QStringLiteral("machine.jhk")).toStdString();

    Machine machine;
    applyStartupValues(machine.app, 15, 15);
    StartChoice{3, 0}.apply(machine.app);
    test::FakeDialogs dialogs;
    MainWindow main(machine, QStringLiteral(JHK_APP_DIR), &dialogs);
    main.move(0, 0);
    main.show();
    check(QTest::qWaitForWindowExposed(&main), "the main window is on the screen");

    // A product, with the property dialog's last picture and its "編集" button.
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<PropertyDialog *>(QApplication::activeModalWidget())) {
            dialog->scrollBar()->setValue(dialog->scrollBar()->maximum());
            dialog->editButton()->click();
        }
    });
    main.dropPalette(KindProduct, main.stageWidget()->mapToGlobal(QPoint(120, 80)));
    QTest::qWait(300);
    const int product = machine.app.CurParts;
    check(machine.partExists(product) && machine.part(product).Kind == KindProduct, "a product was placed");
    auto *window = main.findChild<PainterWindow *>();
    check(window && window->isVisible(), "編集 opened the paint tool");
    if (!window || !machine.partExists(product))
        return 1;
    window->setGeometry(40, 60, 640, 420);
    check(QTest::qWaitForWindowExposed(window), "the paint window is on the screen");
    QTest::qWait(300);

    drawCan(window);
    const QSize size = window->session().size();
    const QPoint body(size.width() / 2, int(size.height() * 0.85));
    check(window->session().drawing().pixel(body) == 0xFFFF0000, "the can's body is red");
    check(window->session().undoCaption() == QStringLiteral("元に戻す - 塗りつぶし(&B)"), "undo names the fill");

    // Zoomed in to look at it, with the palette window open on the front colour.
    clickCentre(window->toolColumn()->toolButton(ToolZoom));
    click(window->canvas(), QPoint(2, 2));
    QTest::qWait(QApplication::doubleClickInterval() + 100); // two clicks, not a double-click
    click(window->canvas(), QPoint(2, 2));
    check(window->session().state().Zoom == 4, "zoomed in twice");
    xdotool(at(window->paletteStrip()->frontBox(), QPoint(10, 10))
            + QStringList{QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
    QTest::qWait(300);
    if (!screenshot.isEmpty())
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                     QStringLiteral("-crop"), QStringLiteral("920x560+0+0"), screenshot});

    clickCentre(window->paletteStrip()->okButton());
    QTest::qWait(300);
    auto stagePixel = [&main](int slot, QPoint inPicture) {
        const PartControl &c = main.stage().part(slot);
        const QImage shown = main.stageWidget()->grab().toImage();
        return shown.pixel(c.rect.left / 15 + inPicture.x(), c.rect.top / 15 + inPicture.y());
    };
    check(main.stage().part(product).rect.width == size.width() * 15, "the product takes the drawing's size");
    check(stagePixel(product, body) == 0xFFFF0000, "the stage shows the drawing on the product");

    dialogs.files.push_back(document);
    check(main.saveFile(), "the machine is saved");
    check(machine.part(product).PictName == "machine_pictures\\part_00.bmp", "the product names its picture file");
    check(main.openFile(document), "the machine is opened again");
    QTest::qWait(200);
    check(stagePixel(product, body) == 0xFFFF0000, "the product shows the drawing after opening");
    return failures == 0 ? 0 : 1;
}
