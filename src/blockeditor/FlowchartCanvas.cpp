#include "blockeditor/FlowchartCanvas.h"
#include "ui/FlowchartPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace jhk {

namespace {

BoxButton boxButton(Qt::MouseButton button)
{
    return button == Qt::RightButton ? BoxButton::Right : BoxButton::Left;
}

} // namespace

FlowchartCanvas::FlowchartCanvas(BlockEditorSession &session, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
{
    setFixedSize(CanvasGeometry::WidthPx, CanvasGeometry::HeightPx);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

QPoint FlowchartCanvas::toTwips(QPointF pos) const
{
    const auto [x, y] = m_session.toTwips(pos.x(), pos.y());
    return {x, y};
}

void FlowchartCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const BlockEditorModel &model = m_session.model();
    FlowchartMarks marks;
    if (model.outlineOn() != OutlineOn::Nothing)
        marks.outline = model.outlineRect();
    if (model.targetMarkerVisible())
        marks.targetCell = model.targetMarker();
    paintFlowchart(painter, model.scene(), marks);
}

void FlowchartCanvas::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const CanvasAnswer answer = m_session.canvasPress(event->position().x(), event->position().y(), boxButton(event->button()));
    emit changed();
    if (answer == CanvasAnswer::PopupMenu)
        emit popupRequested(event->globalPosition().toPoint());
}

void FlowchartCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    m_session.canvasMove(event->position().x(), event->position().y());
    update();
}

void FlowchartCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    m_session.canvasRelease(boxButton(event->button()));
    emit changed();
}

void FlowchartCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const CanvasAnswer answer = m_session.canvasDoubleClick(event->position().x(), event->position().y());
    emit changed();
    if (answer == CanvasAnswer::DetailDialog)
        emit detailRequested();
}

} // namespace jhk
