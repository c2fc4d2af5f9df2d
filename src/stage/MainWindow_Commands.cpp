// The main window's commands: documents, the run buttons, the step menu, the settings and
// quitting.
#include "stage/MainWindow.h"

#include "model/AppState.h"
#include "paint/PaintEntry.h"
#include "print/PrintDialog.h"
#include "runview/RunViewWindow.h"
#include "stage/OptionDialog.h"
#include "stage/PaletteButton.h"
#include "rules/StageTexts.h"
#include "ui/Colours.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace jhk {

namespace {

constexpr int BlinkIntervalMs = 250;
constexpr const char *UnsavedQuestion = "今のマシンには保存されていない変更があります。\r\n保存しますか？";

} // namespace

void MainWindow::connectRunControls()
{
    connect(m_start, &QPushButton::clicked, this, &MainWindow::startRun);
    connect(m_stop, &QPushButton::clicked, this, &MainWindow::stopRunClicked);
    connect(m_step, &QPushButton::clicked, this, &MainWindow::stepMode);
    connect(m_nextBlock, &QPushButton::clicked, this, [this] {
        m_engine->nextStep();
        refresh();
    });
    connect(m_wallet, &QPushButton::clicked, this, &MainWindow::drawWallet);
    m_blink = new QTimer(this);
    m_blink->setInterval(BlinkIntervalMs);
    connect(m_blink, &QTimer::timeout, this, [this] { m_engine->tickBlink(); });
    m_blink->start();
}

void MainWindow::startRun()
{
    keepRecoveryCopy(); // a run is where a machine may hang or crash
    m_engine->startRun();
    m_fileMenu.open = stage().controls.openEnabled;
    m_fileMenu.save = stage().controls.saveEnabled;
    refresh();
}

void MainWindow::stepMode()
{
    m_engine->stepMode();
    refresh();
}

void MainWindow::stopRunClicked()
{
    m_engine->stopRun();
    m_fileMenu.open = stage().controls.openEnabled;
    m_fileMenu.save = stage().controls.saveEnabled;
    refresh();
}

void MainWindow::stopRun() { stopRunClicked(); }

// The wallet picture belongs to a run: "停止" takes it away again.
bool MainWindow::walletAllowed() const
{
    return m_machine.app.RunMode == ModeRunning || m_machine.app.RunMode == ModeOneBlock;
}

void MainWindow::drawWallet()
{
    if (!walletAllowed())
        return;
    m_engine->drawWallet();
    refresh();
}

bool MainWindow::openFile()
{
    if (m_machine.app.RunMode != ModeEditing)
        return false;
    if (m_saved.hasUnsavedChanges(m_machine)) {
        switch (m_ui->ask(UnsavedQuestion, MessageButtons::YesNoCancel, MessageIcon::Question)) {
        case Answer::Yes:
            if (!saveFile())
                return false;
            break;
        case Answer::No: break;
        default: return false;
        }
    }
    const auto name = m_ui->openFileName();
    activateWindow();
    if (!name)
        return false;
    return openFile(*name);
}

bool MainWindow::openFile(const std::string &path)
{
    const bool read = unrecorded([&] { return m_engine->openDocument(path); });
    if (!read) {
        refresh();
        return false;
    }
    for (int j = 0; j < LabelSlots; ++j) {
        m_editor->setLabelFont(j, {});
        if (stage().labels[static_cast<std::size_t>(j)].visible)
            m_editor->fitLabel(j);
    }
    const auto pictureProblem = m_painted.loadBeside(QString::fromStdString(path), m_machine, m_appFolder);
    for (int i = 0; i < PartSlots; ++i)
        if (m_machine.partExists(i) && m_painted.has(i))
            showPaintedPicture(i, m_painted.picture(i));
    keepSelectionAfterOpen();
    if (m_machine.app.Level == 1) {
        for (std::size_t s = 0; s < m_stepActions.size(); ++s)
            m_stepActions[s]->setChecked(s == 0);
        showStepTexts(1);
    }
    m_editor->panel().partsCount = partsCountCaption(m_machine.app.PartsCount, m_machine.app.LabelCount);
    // The document brings its level even when it holds nothing: the panel and the step menu
    // always follow it.
    updateLevelPanel();
    m_saved.markSaved(m_machine);
    // Another machine: nothing of the old one's history applies to it.
    m_history.reset(m_machine, undoExtra());
    refresh();
    if (pictureProblem)
        m_ui->message(pictureProblem->toStdString(), MessageIcon::Exclamation);
    return true;
}

void MainWindow::keepSelectionAfterOpen()
{
    // The document names the current slot; whether that is a part or a label is decided by
    // what exists, so that the delete button never acts on an empty slot.
    AppState &app = m_machine.app;
    const bool part = m_machine.partExists(app.CurParts);
    const bool label = app.CurParts >= 1 && app.CurParts < LabelSlots && m_machine.label(app.CurParts).isUsed();
    if (app.SelKind == SelectionPart && part)
        return;
    if (app.SelKind == SelectionLabel && label)
        return;
    app.SelKind = part ? SelectionPart : (label ? SelectionLabel : SelectionNone);
    if (app.SelKind == SelectionNone)
        app.CurParts = -1;
}

bool MainWindow::saveFile()
{
    if (m_machine.app.RunMode != ModeEditing)
        return false;
    const auto name = m_ui->saveFileName();
    // The keyboard comes back to the stage window after the file dialog.
    activateWindow();
    if (!name)
        return false;
    // Pictures drawn in the paint tool go beside the document first; the document names them.
    if (const auto refused = m_painted.saveBeside(QString::fromStdString(*name), m_machine)) {
        m_ui->message(refused->toStdString(), MessageIcon::Critical);
        return false;
    }
    const bool saved = m_engine->saveDocument(*name);
    // Saving names the painted pictures' files and turns sizes into pixels: not an edit.
    m_history.rebase(m_machine, undoExtra());
    if (!saved)
        return false;
    m_saved.markSaved(m_machine);
    if (m_recovery)
        m_recovery->discard();
    return true;
}

void MainWindow::chooseStep(int step)
{
    if (m_machine.app.RunMode != ModeEditing || step < 1 || step > 3)
        return;
    m_machine.app.Step = static_cast<std::uint8_t>(step);
    m_engine->chooseExerciseStep(step);
    for (std::size_t s = 0; s < m_stepActions.size(); ++s)
        m_stepActions[s]->setChecked(static_cast<int>(s) == step - 1);
    showStepTexts(step);
    refresh();
}

void MainWindow::showOptions()
{
    // One settings window at a time: another click brings the open one to the front.
    if (!m_optionDialog) {
        m_optionDialog = new OptionDialog(m_machine.app, *m_ui, this);
        m_optionDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_optionDialog, &OptionDialog::levelRaised, this, [this] {
            updateLevelPanel();
            refresh();
            // A level is never lowered again: undo does not go back across its raise.
            m_history.reset(m_machine, undoExtra());
            updateEditActions();
        });
    }
    m_optionDialog->show();
    m_optionDialog->raise();
    m_optionDialog->activateWindow();
}

void MainWindow::showPrintDialog()
{
    if (!m_printDialog)
        m_printDialog = jhk::showPrintDialog(this, PrintSource{m_machine, stage(), m_pictures, m_editor->labelFonts()});
    m_printDialog->show();
    m_printDialog->raise();
    m_printDialog->activateWindow();
}

void MainWindow::handOverPaintDrawing() { handOverPaintToolDrawing(); }
void MainWindow::closePaintTool() { jhk::closePaintTool(); }

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_quitting || confirmQuit(m_machine.app, *m_ui, *this)) {
        if (m_runView && !m_quitting)
            m_runView->rememberPlacement();
        m_quitting = true;
        if (m_recovery)
            m_recovery->discard(); // the pupil was asked: nothing to bring back
        event->accept();
        return;
    }
    event->ignore();
}

} // namespace jhk
