#include "stage/PaletteButton.h"

#include <QApplication>
#include <QMouseEvent>

namespace jhk {

PaletteButton::PaletteButton(int index, QWidget *parent) : QToolButton(parent), m_index(index) {}

void PaletteButton::mousePressEvent(QMouseEvent *event)
{
    QToolButton::mousePressEvent(event);
    m_dragging = !m_rule || m_rule(m_index);
    if (m_dragging)
        QApplication::setOverrideCursor(Qt::DragCopyCursor);
}

void PaletteButton::mouseReleaseEvent(QMouseEvent *event)
{
    QToolButton::mouseReleaseEvent(event);
    if (!m_dragging)
        return;
    m_dragging = false;
    QApplication::restoreOverrideCursor();
    emit dropped(m_index, event->globalPosition().toPoint());
}

} // namespace jhk
