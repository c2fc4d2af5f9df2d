#include "paint/PaintSession.h"

#include "paint/imagelib/Zoom.h"
#include "paint/tools/ClickTools.h"
#include "paint/tools/DragShapeTool.h"
#include "paint/tools/FreehandTool.h"

#include <QPainter>

#include <algorithm>

namespace jhk {

QImage whitePicture(QSize size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

PaintSession::PaintSession(double twipsX, double twipsY)
    : twipsX_(twipsX), twipsY_(twipsY)
{
    tools_[ToolSelect] = std::make_unique<SelectTool>();
    tools_[ToolPen] = std::make_unique<PenTool>();
    tools_[ToolEraser] = std::make_unique<EraserTool>();
    tools_[ToolFill] = std::make_unique<FillTool>();
    tools_[ToolText] = std::make_unique<TextTool>();
    tools_[ToolDropper] = std::make_unique<DropperTool>();
    tools_[ToolZoom] = std::make_unique<ZoomTool>();
    tools_[ToolLine] = std::make_unique<LineTool>();
    tools_[ToolRectangle] = std::make_unique<RectangleTool>();
    tools_[ToolEllipse] = std::make_unique<EllipseTool>();
    start(whitePicture(QSize(32, 32)));
}

PaintSession::~PaintSession() = default;

void PaintSession::start(const QImage &picture)
{
    state_ = PaintState{};
    state_.MaxWidth = static_cast<std::int16_t>(maxCanvasWidth(twipsX_));
    state_.MaxHeight = static_cast<std::int16_t>(maxCanvasHeight(twipsY_));
    swatches_ = StartSwatches;
    disableUndo();
    drawing_ = picture.isNull() ? whitePicture(QSize(32, 32))
                                : picture.convertToFormat(QImage::Format_RGB32);
    undo_ = drawing_;
    base_ = drawing_;
    first_ = drawing_;
    textBox_ = TextBox{};
    positionText_.clear();
    helpText_.clear();
    currentTool_ = ToolPen;
}

void PaintSession::resizeDrawing(QSize size)
{
    size = size.expandedTo(QSize(1, 1));
    if (drawing_.size() != size)
        drawing_ = keptFromTopLeft(drawing_, size, drawing_.size());
    undo_.resize(size);
    base_.resize(size);
}

QPoint PaintSession::clamp(QPoint p) const
{
    const int right = drawing_.width() - 1;
    const int bottom = drawing_.height() - 1;
    return QPoint(p.x() <= 0 ? 0 : std::min(p.x(), right), p.y() <= 0 ? 0 : std::min(p.y(), bottom));
}

void PaintSession::chooseTool(int index)
{
    if (index < 0 || index >= ToolCount)
        return;
    if (currentTool_ == ToolSelect)
        copyBaseToDrawing();
    currentTool_ = index;
    state_.StartX = state_.StartY = state_.EndX = state_.EndY = 0;
}

void PaintSession::press(PaintButton button, QPoint p)
{
    Tool &tool = *tools_[static_cast<std::size_t>(currentTool_)];
    textBox_.visible = false;
    tool.prepare(*this, button);
    state_.ColorSel = button == ButtonLeft ? UseFrontColour : UseBackColour;
    if (state_.HeldButton == ButtonNone) {
        copyDrawingToBase();
        state_.HeldButton = button;
    }
    tool.press(*this, button, p);
}

void PaintSession::move(unsigned buttons, QPoint p)
{
    positionText_ = QStringLiteral("X:%1\nY:%2").arg(p.x()).arg(p.y());
    if (buttons != ButtonNone)
        tools_[static_cast<std::size_t>(currentTool_)]->move(*this, buttons, clamp(p));
}

void PaintSession::release(PaintButton button, QPoint p)
{
    Tool &tool = *tools_[static_cast<std::size_t>(currentTool_)];
    tool.release(*this, button, clamp(p));
    if (tool.refreshesBaseOnRelease())
        copyDrawingToBase();
    state_.FirstPoint = 0;
    state_.HeldButton = ButtonNone;
}

void PaintSession::cancelDrag()
{
    copyBaseToDrawing();
    undo_ = base_;
    state_.HeldButton = ButtonNone;
    disableUndo();
}

void PaintSession::choosePenWidth(int entry)
{
    if (entry >= 0 && entry < static_cast<int>(PenWidths.size()))
        state_.PenWidth = static_cast<std::uint8_t>(PenWidths[static_cast<std::size_t>(entry)]);
}

void PaintSession::chooseFillShapes(int entry)
{
    if (entry == 0 || entry == 1)
        state_.FillShapes = static_cast<std::uint8_t>(entry);
}

void PaintSession::chooseEraserSize(int entry)
{
    if (entry >= 0 && entry < static_cast<int>(EraserSizes.size()))
        state_.EraserSize = static_cast<std::uint8_t>(EraserSizes[static_cast<std::size_t>(entry)]);
}

QString PaintSession::undoCaption() const
{
    if (!canUndo_)
        return QString::fromUtf8(CannotUndoCaption);
    return QStringLiteral("元に戻す - %1(&B)").arg(undoName_);
}

void PaintSession::undoableAction(const char *name)
{
    canUndo_ = true;
    undoName_ = QString::fromUtf8(name);
}

void PaintSession::disableUndo()
{
    canUndo_ = false;
    undoName_.clear();
}

void PaintSession::undo()
{
    if (!canUndo_)
        return;
    copyUndoToDrawing();
    copyDrawingToBase();
    disableUndo();
}

Colour PaintSession::actionColour() const
{
    return state_.ColorSel == UseBackColour ? state_.BackgroundColor : state_.FrontColor;
}

Colour PaintSession::otherColour() const
{
    return state_.ColorSel == UseBackColour ? state_.FrontColor : state_.BackgroundColor;
}

void PaintSession::pressSwatch(int n, PaintButton button)
{
    if (button == ButtonLeft)
        setFrontColour(swatch(n));
    else
        setBackColour(swatch(n));
}

void PaintSession::resetColours()
{
    state_.FrontColor = ColourBlack;
    state_.BackgroundColor = ColourWhite;
}

void PaintSession::swapColours()
{
    std::swap(state_.FrontColor, state_.BackgroundColor);
}

Colour PaintSession::targetColour(int target) const
{
    if (target == TargetFront)
        return state_.FrontColor;
    if (target == TargetBack)
        return state_.BackgroundColor;
    return swatch(target);
}

void PaintSession::setTargetColour(int target, Colour c)
{
    if (target == TargetFront)
        setFrontColour(c);
    else if (target == TargetBack)
        setBackColour(c);
    else if (target >= 0 && target < SwatchCount)
        setSwatch(target, c);
}

void PaintSession::setBusy(const QString &text)
{
    helpText_ = text;
    if (onBusy)
        onBusy(text);
}

void PaintSession::zoomIn()
{
    if (state_.Zoom > 4)
        return;
    // A picture that would grow past what the three surfaces can hold stays as it is.
    if (qint64(drawing_.width()) * drawing_.height() * 4 > MaxZoomedPixels)
        return;
    state_.Zoom *= 2;
    setBusy(QStringLiteral("ただいま拡大処理中．．．"));
    drawing_ = pixels::enlargeTwice(drawing_);
    resizeDrawing(drawing_.size());
    setBusy(QString());
    disableUndo();
}

void PaintSession::zoomOut()
{
    if (state_.Zoom < 2)
        return;
    state_.Zoom /= 2;
    setBusy(QStringLiteral("ただいま縮小処理中．．．"));
    drawing_ = pixels::shrinkTwice(drawing_);
    resizeDrawing(drawing_.size());
    undo_ = drawing_;
    setBusy(QString());
    disableUndo();
}

void PaintSession::showTextBox(QPoint at, Colour colour)
{
    textBox_.visible = true;
    textBox_.at = at;
    textBox_.colour = colour;
}

void PaintSession::clickTextBox(PaintButton button, const QFont &font)
{
    if (button != ButtonLeft || !textBox_.visible)
        return;
    {
        QPainter painter(&drawing_);
        QFont plain = font;
        plain.setStyleStrategy(QFont::NoAntialias); // only the chosen colour lands in the picture
        painter.setFont(plain);
        painter.setPen(toQColor(textBox_.colour));
        painter.drawText(QRect(textBox_.at, drawing_.size() * 2), Qt::AlignLeft | Qt::AlignTop,
                         textBox_.text);
    }
    textBox_ = TextBox{};
    undoableAction("文字");
    copyDrawingToBase();
}

} // namespace jhk
