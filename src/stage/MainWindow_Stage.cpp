// The main window's stage: mouse events, the dialogs opened from the stage, and what the
// engine shows through the window.
#include "stage/MainWindow.h"

#include "blockeditor/BlockEditor.h"
#include "model/AppState.h"
#include "paint/PaintEntry.h"
#include "rules/MoneyInHandInput.h"
#include "rules/StageHints.h"
#include "stage/LabelEditorDialog.h"
#include "stage/PaletteButton.h"
#include "stage/PropertyDialog.h"
#include "ui/Colours.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QAbstractButton>
#include <QTimer>
#include <QToolTip>

#include <memory>

namespace jhk {

void MainWindow::dropPalette(int index, QPoint globalPos)
{
    const QPoint p = m_stageWidget->mapFromGlobal(globalPos);
    // Let go on the button itself: a click, which places nothing. Say how it is done.
    QWidget *button = index < PartsKindCount ? static_cast<QWidget *>(m_partButtons[static_cast<std::size_t>(index)])
                                             : static_cast<QWidget *>(m_labelButton);
    if (button->rect().contains(button->mapFromGlobal(globalPos)) && index != KindMoneyInHand) {
        QToolTip::showText(globalPos, QString::fromUtf8(DragToStageHint), button);
        return;
    }
    // Only the stage's own surface takes a drop; on a part or a label it is ignored.
    if (!m_stageWidget->rect().contains(p) || m_stageWidget->hitAt(p).kind != StageHit::Surface)
        return;
    const QPoint t = m_stageWidget->toTwips(p);
    const DropSource source = index == PartsKindCount ? DropSource::LabelButton : DropSource::PartButton;
    m_commands->dropFromPalette(source, index, t.x(), t.y());
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_stageController->escape())
        return;
    // Enter presses the button that has the focus, as Space does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget()); button && button->isEnabled()) {
            button->animateClick();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::offerPartMenu(int slot)
{
    // Opened once the press has been handled, like any context menu.
    const QPoint at = QCursor::pos();
    QTimer::singleShot(0, this, [this, slot, at] { showPartMenu(slot, at); });
}

void MainWindow::openBlockEditor(int part)
{
    if (jhk::openBlockEditor(this, *this, m_catalogue, part))
        m_blink->stop();
}

void MainWindow::askVariable(const std::array<std::string, 3> &captions,
                             std::function<void(std::optional<int>)> answer)
{
    for (std::size_t v = 0; v < 3; ++v)
        m_variableActions[v]->setText(QString::fromStdString(captions[v]));
    // The menu answers once: with the entry chosen, or with nothing once it has closed
    // without one (a chosen entry is triggered right after the menu hides).
    auto answered = std::make_shared<bool>(false);
    auto give = [answered, answer](std::optional<int> chosen) {
        if (*answered)
            return;
        *answered = true;
        answer(chosen);
    };
    auto *context = new QObject(m_variableMenu);
    connect(m_variableMenu, &QMenu::triggered, context, [this, give](QAction *action) {
        for (std::size_t v = 0; v < 3; ++v)
            if (action == m_variableActions[v])
                give(static_cast<int>(v));
    });
    connect(m_variableMenu, &QMenu::aboutToHide, context, [context, give] {
        QTimer::singleShot(0, context, [context, give] {
            give(std::nullopt);
            context->deleteLater();
        });
    });
    m_variableMenu->popup(QCursor::pos());
}

void MainWindow::finishPick()
{
    finishBlockEditorPick();
}

void MainWindow::stageMoved()
{
    m_stageWidget->updateChanged();
}

void MainWindow::showPartMenu(int slot, QPoint globalPos)
{
    if (m_machine.app.RunMode != ModeEditing || !m_machine.partExists(slot))
        return;
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuPartsPopup"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *properties = menu->addAction(QStringLiteral("プロパティの変更..."));
    connect(properties, &QAction::triggered, this, [this, slot] { changePartProperties(slot); });
    menu->popup(globalPos);
}

void MainWindow::changePartProperties(int slot)
{
    m_commands->changeProperties(slot);
}

void MainWindow::showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed)
{
    // Behind the dialog the window shows the new part: its place, number and selection.
    refresh();
    showPropertyDialog(slot, {}, [closed](PropertyOutcome outcome, bool) { closed(outcome); });
}

void MainWindow::showPropertyDialog(int slot, const std::string &shownPicture,
                                    std::function<void(PropertyOutcome, bool)> closed)
{
    auto *dialog = new PropertyDialog(m_machine, m_catalogue, slot, m_pictures, *m_ui, this, shownPicture);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog, slot, closed] {
        const PropertyOutcome outcome = dialog->outcome();
        // The keyboard comes back to the stage window, so that its shortcuts work at once.
        activateWindow();
        if (outcome == PropertyOutcome::Edit) {
            PaintHooks hooks;
            // The drawing belongs to the part it was started for, whatever is selected when
            // the paint tool hands it back.
            const int kind = m_machine.part(slot).Kind;
            hooks.handBack = [this, slot, kind](const QImage &image) { givePaintedPicture(slot, kind, image); };
            hooks.quit = [this] { close(); };
            openPaintTool(this, dialog->picture().toImage(), std::move(hooks));
        }
        closed(outcome, dialog->logic().pictureChanged());
    });
    dialog->open();
}

void MainWindow::givePaintedPicture(int slot, int kind, const QImage &image)
{
    // A part deleted while the paint tool was open gets nothing, and neither does another
    // part placed in its slot meanwhile.
    if (!m_machine.partExists(slot) || m_machine.part(slot).Kind != kind || image.isNull())
        return;
    m_painted.set(slot, image);
    showPaintedPicture(slot, image);
    // The part took the size of its new picture: the selection frame follows it.
    if (m_machine.app.SelKind == SelectionPart && m_machine.app.CurParts == slot)
        stage().showSelection(m_machine, SelectionPart, slot);
    refresh();
}

void MainWindow::showPaintedPicture(int slot, const QImage &image)
{
    PartControl &c = stage().part(slot);
    c.picture = m_pictures.addPainted(slot, QPixmap::fromImage(image));
    c.rect.width = image.width() * m_machine.app.TwipsX;
    c.rect.height = image.height() * m_machine.app.TwipsY;
}

std::pair<int, int> MainWindow::labelSize(const LabelControl &label, const std::string &fontName)
{
    return StageWidget::labelSize(label, fontName, m_machine.app.TwipsX, m_machine.app.TwipsY);
}

void MainWindow::changeMoneyInHand()
{
    askMoneyInHand(*m_ui, *m_engine, [this] { refresh(); });
}

void MainWindow::editLabel(int j)
{
    if (j < 1 || j >= LabelSlots)
        return;
    m_machine.app.CurParts = static_cast<std::int16_t>(j);
    auto *dialog =
        new LabelEditorDialog(m_machine, stage().labels[static_cast<std::size_t>(j)], m_editor->labelFont(j), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, j] {
        std::string font = m_editor->labelFont(j);
        dialog->logic().apply(m_machine.label(j), stage().labels[static_cast<std::size_t>(j)], font);
        m_editor->setLabelFont(j, font);
        m_editor->fitLabel(j);
        stage().frameTightly(stage().labels[static_cast<std::size_t>(j)].rect);
        refresh();
    });
    dialog->open();
}

QPixmap MainWindow::partPicture(int part) const
{
    if (!isPartSlot(part))
        return {};
    const PartControl &c = m_engine->stage().part(part);
    return const_cast<StagePictures &>(m_pictures).partPicture(m_machine.part(part).Kind, c.picture);
}

void MainWindow::beginStagePick()
{
    refresh();
}

void MainWindow::blockEditorClosed()
{
    // The keyboard comes back to the stage window, so that its shortcuts (Ctrl+S, Ctrl+Z) work
    // at once, without a click on the window first.
    activateWindow();
    m_blink->start();
    refresh();
}

void MainWindow::showMessage(const std::string &text)
{
    m_ui->message(text);
}

void MainWindow::showRunMessage(const std::string &text, std::function<void(RunMessageAnswer)> answered)
{
    // The run stays paused behind the box; "停止" ends it as the window's own "停止" does.
    m_ui->ask(text, MessageButtons::OkStop, MessageIcon::None, [this, answered](Answer a) {
        answered(a == Answer::Stop ? RunMessageAnswer::Stop : RunMessageAnswer::Ok);
        refresh();
    });
}

std::optional<std::string> MainWindow::loadPicturesBeside(const std::string &documentPath)
{
    const auto problem = m_painted.loadBeside(QString::fromStdString(documentPath), m_machine, m_appFolder);
    return problem ? std::optional<std::string>(problem->toStdString()) : std::nullopt;
}

std::optional<std::string> MainWindow::savePicturesBeside(const std::string &documentPath)
{
    const auto refused = m_painted.saveBeside(QString::fromStdString(documentPath), m_machine);
    return refused ? std::optional<std::string>(refused->toStdString()) : std::nullopt;
}

void MainWindow::runListLineAdded(const std::string &)
{
    syncRunList();
}

void MainWindow::syncRunList()
{
    const std::vector<std::string> &lines = stage().runList;
    if (m_runList->count() > static_cast<int>(lines.size()))
        m_runList->clear();
    for (std::size_t i = static_cast<std::size_t>(m_runList->count()); i < lines.size(); ++i)
        m_runList->addItem(QString::fromStdString(lines[i]));
    const int selected = stage().runListSelection;
    if (selected >= 0 && selected < m_runList->count())
        m_runList->setCurrentRow(selected);
    else
        m_runList->clearSelection();
    // The newest line is always in view, whichever line is selected.
    m_runList->scrollToBottom();
}

void MainWindow::stageChanged(StageChange what, int)
{
    if (what == StageChange::Blink) {
        // Four times a second while editing: only the state label's colour changes.
        QPalette pal = m_nowState->palette();
        pal.setColor(QPalette::WindowText, colorFromTable(stage().stateLabelColor));
        m_nowState->setPalette(pal);
        return;
    }
    refresh();
}

} // namespace jhk
