#include "blockeditor/FlowchartCanvas.h"
#include "ui/FlowchartPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace jhk {

FlowchartCanvas::FlowchartCanvas(BlockEditorModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    setFixedSize(CanvasGeometry::WidthPx, CanvasGeometry::HeightPx);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

QPoint FlowchartCanvas::toTwips(QPointF pos) const
{
    const CanvasGeometry &g = m_model.geometry();
    return {qRound(pos.x() * g.twipsX), qRound(pos.y() * g.twipsY)};
}

QPoint FlowchartCanvas::insideBox(int slot, QPointF pos) const
{
    const BlockRecord &b = m_model.record().Blocks[static_cast<std::size_t>(slot)];
    const QPoint at = toTwips(pos);
    return {at.x() - b.X, at.y() - b.Y};
}

void FlowchartCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FlowchartMarks marks;
    if (m_model.outlineOn() != OutlineOn::Nothing)
        marks.outline = m_model.outlineRect();
    if (m_model.targetMarkerVisible())
        marks.targetCell = m_model.targetMarker();
    paintFlowchart(painter, m_model.scene(), marks);
}

void FlowchartCanvas::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const QPoint at = toTwips(event->position());
    const int slot = m_model.blockAt(at.x(), at.y());
    if (slot >= 0) {
        m_pressedSlot = slot;
        m_pressedButton = event->button();
        const QPoint inside = insideBox(slot, event->position());
        emit boxPressed(slot, event->button() == Qt::RightButton ? BoxButton::Right : BoxButton::Left, inside.x(),
                        inside.y(), event->globalPosition().toPoint());
        return;
    }
    // The start box answers either button; the end box ends a pick with the left one only.
    const FlowchartScene scene = m_model.scene();
    if (scene.startBoxVisible && m_model.geometry().startBox().contains(at.x(), at.y()))
        emit startBoxPressed();
    else if (event->button() == Qt::LeftButton && m_model.geometry().endBox().contains(at.x(), at.y()))
        emit endBoxClicked();
}

void FlowchartCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressedSlot < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint inside = insideBox(m_pressedSlot, event->position());
    emit boxMoved(m_pressedSlot, inside.x(), inside.y());
}

void FlowchartCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressedSlot < 0 || event->button() != m_pressedButton)
        return;
    const int slot = m_pressedSlot;
    m_pressedSlot = -1;
    emit boxReleased(slot, event->button() == Qt::RightButton ? BoxButton::Right : BoxButton::Left);
}

void FlowchartCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = toTwips(event->position());
    const int slot = m_model.blockAt(at.x(), at.y());
    if (slot >= 0) {
        // The second button-up of a double click belongs to this box too.
        m_pressedSlot = slot;
        m_pressedButton = Qt::LeftButton;
        emit boxDoubleClicked(slot);
    } else if (m_model.scene().startBoxVisible && m_model.geometry().startBox().contains(at.x(), at.y())) {
        emit startBoxDoubleClicked();
    }
}

} // namespace jhk
