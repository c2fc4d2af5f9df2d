#include "stage/FocusMark.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace jhk {

namespace {

constexpr int Reach = 2; // how far the frame reaches out of the button
const QColor FrameColour(0, 90, 220);

} // namespace

FocusMark::FocusMark(QWidget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusMark::follow(QWidget *focus)
{
    auto *button = qobject_cast<QAbstractButton *>(focus);
    const bool ours = button && button->window() == m_window && button->isVisible();
    if (m_target && m_target != focus)
        m_target->removeEventFilter(this);
    if (!ours) {
        m_target = nullptr;
        hide();
        return;
    }
    if (m_target != button) {
        m_target = button;
        m_target->installEventFilter(this);
    }
    place();
}

void FocusMark::place()
{
    if (!m_target)
        return;
    setParent(m_target->parentWidget());
    setGeometry(m_target->geometry().adjusted(-Reach, -Reach, Reach, Reach));
    setVisible(m_target->isVisible());
    raise();
    update();
}

bool FocusMark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            place();
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(FrameColour, Reach));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(Reach / 2.0, Reach / 2.0, -Reach / 2.0, -Reach / 2.0), 3, 3);
}

} // namespace jhk
