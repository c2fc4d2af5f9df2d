#include "stage/SaveKeyNote.h"

#include "rules/StageHints.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QToolTip>
#include <QWidget>

namespace jhk {

SaveKeyNote::SaveKeyNote(const AppState &app, QWidget *mainWindow) : QObject(mainWindow), m_app(app), m_main(mainWindow)
{
    qApp->installEventFilter(this);
}

bool SaveKeyNote::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (!key->matches(QKeySequence::Save))
        return false;
    // Answered where the key press starts; taken, it travels no further up.
    auto *widget = static_cast<QWidget *>(watched);
    const char *why = whyNoSaveNow(m_app, widget->window() != m_main);
    if (!why)
        return false;
    m_last = QString::fromUtf8(why);
    QWidget *window = widget->window();
    QToolTip::showText(window->mapToGlobal(QPoint(window->width() / 3, 24)), m_last, window);
    return true;
}

} // namespace jhk
