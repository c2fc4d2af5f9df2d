// The main window's undo and redo: the Edit menu, and the drawings the window keeps beside the
// tables, which travel with the history. Which change is a step is the history's rule.
#include "stage/MainWindow.h"

#include "model/AppState.h"

#include <algorithm>

#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QToolTip>

namespace jhk {

namespace {

// The note's frame and margins beside its text, and how far below the given point a note
// stands.
constexpr int NoteFrameRoom = 16;
constexpr int NoteOffsetY = 16;

} // namespace

void MainWindow::buildEditMenu()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = edit->addAction(QString::fromStdString(editCaption(true, nullptr)), this, &MainWindow::undo);
    m_undo->setObjectName(QStringLiteral("mnuUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = edit->addAction(QString::fromStdString(editCaption(false, nullptr)), this, &MainWindow::redo);
    m_redo->setObjectName(QStringLiteral("mnuRedo"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
}

UndoExtra MainWindow::paintedState() const
{
    std::string key;
    for (int i = 0; i < PartSlots; ++i)
        if (m_painted.has(i))
            key += '|' + std::to_string(i) + ':' + std::to_string(m_painted.picture(i).cacheKey());
    return {std::move(key), std::make_shared<PaintedPictures>(m_painted)};
}

void MainWindow::restorePaintedState(const std::shared_ptr<const void> &state)
{
    if (state)
        m_painted = *std::static_pointer_cast<const PaintedPictures>(state);
}

void MainWindow::showPaintedPictures()
{
    for (int i = 0; i < PartSlots; ++i)
        if (m_machine.partExists(i) && m_painted.has(i))
            showPaintedPicture(i, m_painted.picture(i));
}

void MainWindow::updateEditActions()
{
    m_undo->setEnabled(m_history->canUndo());
    m_redo->setEnabled(m_history->canRedo());
    m_undo->setText(QString::fromStdString(m_history->undoCaption()));
    m_redo->setText(QString::fromStdString(m_history->redoCaption()));
}

void MainWindow::undo()
{
    m_history->undo();
    showHistoryNote();
}

void MainWindow::redo()
{
    m_history->redo();
    showHistoryNote();
}

void MainWindow::showHistoryNote()
{
    m_historyNote = QString::fromStdString(m_history->travelNote());
    if (m_historyNote.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // Said right under the window's state and run buttons, since the stage itself looks the
    // same; within the window, covering none of the buttons. A note is shown a little below
    // and right of the point it is given.
    const QFontMetrics metrics(QToolTip::font());
    int width = 0;
    for (const QString &line : m_historyNote.split(QLatin1Char('\n')))
        width = std::max(width, metrics.horizontalAdvance(line));
    const int left = std::min(0, m_frameEdit->width() - width - NoteFrameRoom);
    QToolTip::showText(m_frameEdit->mapToGlobal(QPoint(left, m_frameEdit->height() - NoteOffsetY)), m_historyNote,
                       m_frameEdit);
}

} // namespace jhk
