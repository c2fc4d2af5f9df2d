#include "paint/CanvasView.h"

#include "paint/PaintSession.h"

#include <QMouseEvent>
#include <QPainter>

namespace jhk {

namespace {

PaintButton toolButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return ButtonLeft;
    case Qt::MiddleButton:
        return ButtonMiddle;
    default:
        return ButtonRight; // every other button counts as the right one
    }
}

unsigned toolButtons(Qt::MouseButtons buttons)
{
    unsigned mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= ButtonLeft;
    if (buttons & Qt::MiddleButton)
        mask |= ButtonMiddle;
    if (buttons & ~(Qt::LeftButton | Qt::MiddleButton))
        mask |= ButtonRight;
    return mask;
}

} // namespace

CanvasView::CanvasView(PaintSession &session, QWidget *parent)
    : QWidget(parent), session_(session), textBox_(new QLineEdit(this))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    textBox_->setObjectName(QStringLiteral("txtString"));
    textBox_->setFrame(true);
    textBox_->hide();
    textBox_->installEventFilter(this);
    connect(textBox_, &QLineEdit::textEdited, this, [this](const QString &text) {
        session_.setTypedText(text);
        fitTextBox();
    });
    // Enter places the text, as a left click on the box does.
    connect(textBox_, &QLineEdit::returnPressed, this, [this] {
        session_.clickTextBox(ButtonLeft, font());
        if (!session_.textBox().visible) {
            sync();
            emit changed();
        }
    });
    sync();
}

void CanvasView::sync()
{
    setFixedSize(session_.size());
    const TextBox &box = session_.textBox();
    if (box.visible) {
        textBox_->move(box.at);
        textBox_->setText(box.text);
        fitTextBox();
        if (!textBox_->isVisible()) {
            textBox_->show();
            textBox_->setFocus();
        }
    } else {
        textBox_->hide();
        textBox_->clear();
    }
    update();
}

void CanvasView::fitTextBox()
{
    // The box grows with the text typed into it.
    const QFontMetrics metrics(textBox_->font());
    const QString text = textBox_->text().isEmpty() ? QStringLiteral(" ") : textBox_->text();
    textBox_->resize(metrics.horizontalAdvance(text) + 12, metrics.height() + 6);
}

void CanvasView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, session_.drawing());
}

void CanvasView::mousePressEvent(QMouseEvent *event)
{
    session_.press(toolButton(event->button()), event->position().toPoint());
    sync();
    emit changed();
}

void CanvasView::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click is no new press for the tools: a double-click with
    // the zoom tool zooms one step, like a click.
}

void CanvasView::mouseMoveEvent(QMouseEvent *event)
{
    session_.move(toolButtons(event->buttons()), event->position().toPoint());
    if (event->buttons() != Qt::NoButton)
        sync();
    emit changed();
}

void CanvasView::mouseReleaseEvent(QMouseEvent *event)
{
    session_.release(toolButton(event->button()), event->position().toPoint());
    sync();
    emit changed();
}

void CanvasView::leaveEvent(QEvent *)
{
    session_.clearPosition();
    emit changed();
}

bool CanvasView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == textBox_ && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        session_.clickTextBox(toolButton(mouse->button()), font());
        if (!session_.textBox().visible) {
            sync();
            emit changed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace jhk
