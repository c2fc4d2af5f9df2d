#include "paint/PaintEntry.h"

#include "paint/CanvasView.h"
#include "paint/PainterWindow.h"

#include <QPointer>

namespace jhk {

namespace {

QPointer<PainterWindow> &openWindow()
{
    static QPointer<PainterWindow> window;
    return window;
}

// Where the open paint tool's drawing goes.
std::function<void(const QImage &)> &openHandBack()
{
    static std::function<void(const QImage &)> handBack;
    return handBack;
}

} // namespace

void openPaintTool(QWidget *owner, const QImage &picture, PaintHooks hooks)
{
    QPointer<PainterWindow> &window = openWindow();
    if (!window) {
        const double twipsX = owner ? 1440.0 / owner->logicalDpiX() : 15.0;
        const double twipsY = owner ? 1440.0 / owner->logicalDpiY() : 15.0;
        window = new PainterWindow(owner, twipsX, twipsY);
    }
    openHandBack() = hooks.handBack;
    window->start(picture, std::move(hooks));
    window->show();
    window->raise();
    window->activateWindow();
}

bool isPaintToolOpen()
{
    return !openWindow().isNull();
}

void closePaintTool()
{
    if (QPointer<PainterWindow> &window = openWindow())
        window->discard();
    openHandBack() = nullptr;
}

void handOverPaintToolDrawing()
{
    QPointer<PainterWindow> &window = openWindow();
    if (!window || !window->isVisible() || !openHandBack())
        return;
    openHandBack()(window->session().okPicture());
    window->canvas()->sync();
    window->refresh();
}

} // namespace jhk
