// Draws a product picture in the real paint window with the X mouse (xdotool), hands it to a
// product part, saves the machine and opens it again. Run under Xvfb (xvfb-run -a); an optional
// argument names a PNG file for a screenshot of the screen while drawing.
#include "document/JhkDocument.h"
#include "model/Creation.h"
#include "paint/CanvasView.h"
#include "paint/PaintEntry.h"
#include "paint/PainterWindow.h"
#include "paint/PaletteStrip.h"
#include "paint/PaintedPictures.h"
#include "paint/ToolColumn.h"

#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString screenshot = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    Machine machine;
    applyStartupValues(machine.app, 15, 15);
    machine.app.Level = 3;
    const int product = createPart(machine, KindProduct).slot;
    machine.part(product).PictName = "\\bg\\kan_5.bmp";
    PaintedPictures pictures;

    QMainWindow owner;
    owner.setWindowTitle(QStringLiteral("ジハン・コウボウ"));
    owner.setGeometry(0, 0, 300, 200);
    owner.show();

    QImage handed;
    PaintHooks hooks;
    hooks.handBack = [&](const QImage &picture) {
        handed = picture;
        pictures.set(machine.app.CurParts, picture);
    };
    openPaintTool(&owner, jhk::whitePicture(QSize(60, 100)), hooks);
    auto *window = owner.findChild<PainterWindow *>();
    check(window != nullptr, "the paint window opened");
    if (!window)
        return 1;
    window->setGeometry(10, 10, 640, 420);
    check(QTest::qWaitForWindowExposed(window), "the paint window is on the screen");
    QTest::qWait(300);

    ToolColumn *tools = window->toolColumn();
    PaletteStrip *strip = window->paletteStrip();
    CanvasView *canvas = window->canvas();

    // A red can: a filled rectangle.
    clickCentre(strip->swatchBox(11));
    clickCentre(tools->toolButton(ToolRectangle));
    click(tools->fillPanel(), QPoint(20, 40));
    drag(canvas, {QPoint(14, 20), QPoint(30, 60), QPoint(46, 92)});
    // A yellow label round the middle: an ellipse outline with a wide pen.
    clickCentre(strip->swatchBox(13));
    clickCentre(tools->toolButton(ToolEllipse));
    click(tools->fillPanel(), QPoint(20, 15));
    click(tools->lineWidthPanel(), QPoint(20, 30));
    drag(canvas, {QPoint(18, 40), QPoint(30, 60), QPoint(42, 72)});
    // A blue lid drawn with the pen.
    clickCentre(strip->swatchBox(16));
    clickCentre(tools->toolButton(ToolPen));
    drag(canvas, {QPoint(14, 14), QPoint(22, 10), QPoint(30, 8), QPoint(38, 10), QPoint(46, 14)});
    // A light blue background with the fill tool.
    clickCentre(strip->swatchBox(6));
    clickCentre(tools->toolButton(ToolFill));
    click(canvas, QPoint(3, 97));
    check(window->session().drawing().pixel(30, 80) == 0xFFFF0000, "the rectangle is red");
    check(window->session().drawing().pixel(3, 3) == 0xFFC0FFFF, "the background is filled");
    check(window->session().undoCaption() == QStringLiteral("元に戻す - 塗りつぶし(&B)"), "undo names the fill");

    // Zoomed in to look at it, with the palette window open on the front colour.
    clickCentre(tools->toolButton(ToolZoom));
    click(canvas, QPoint(10, 10));
    check(window->session().state().Zoom == 2, "zoomed in");
    xdotool(at(strip->frontBox(), QPoint(10, 10)) + QStringList{QStringLiteral("click"), QStringLiteral("--repeat"),
                                                                QStringLiteral("2"), QStringLiteral("1")});
    QTest::qWait(300);
    if (!screenshot.isEmpty())
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                     QStringLiteral("-crop"), QStringLiteral("880x460+0+0"), screenshot});

    clickCentre(strip->okButton());
    QTest::qWait(200);
    check(!handed.isNull() && handed.size() == QSize(60, 100), "決定 hands back the picture at zoom 1");
    check(handed.pixel(30, 80) == 0xFFFF0000, "the handed picture is the drawing");

    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("machine.jhk"));
    check(!pictures.saveBeside(document, machine).has_value(), "the picture is written beside the document");
    check(saveDocument(document.toStdString(), machine).ok, "the machine is saved");
    Machine opened;
    check(loadDocument(document.toStdString(), opened).ok, "the machine is opened again");
    PaintedPictures reopened;
    reopened.loadBeside(document, opened, QCoreApplication::applicationDirPath());
    check(reopened.has(product)
              && reopened.picture(product).convertToFormat(QImage::Format_RGB32) == handed.convertToFormat(QImage::Format_RGB32),
          "the product shows the drawn picture after opening");
    return failures == 0 ? 0 : 1;
}
