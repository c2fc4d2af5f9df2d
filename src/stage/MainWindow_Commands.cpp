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

#include <memory>

namespace jhk {

namespace {

constexpr int BlinkIntervalMs = 250;

// Runs a command that may ask first; true when it has succeeded by the time it returns.
template <typename Command>
bool doneAtOnce(Command &&command)
{
    auto result = std::make_shared<bool>(false);
    command([result](bool ok) { *result = ok; });
    return *result;
}

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
    return doneAtOnce([this](std::function<void(bool)> done) { m_commands->open(std::move(done)); });
}

bool MainWindow::openFile(const std::string &path)
{
    return m_commands->openPath(path);
}

bool MainWindow::saveFile()
{
    return doneAtOnce([this](std::function<void(bool)> done) { m_commands->save(std::move(done)); });
}

void MainWindow::showStep(int step)
{
    for (std::size_t s = 0; s < m_stepActions.size(); ++s)
        m_stepActions[s]->setChecked(static_cast<int>(s) + 1 == step);
    showStepTexts(step);
}

void MainWindow::chooseStep(int step)
{
    if (m_machine.app.RunMode != ModeEditing || step < 1 || step > 3)
        return;
    m_machine.app.Step = static_cast<std::uint8_t>(step);
    m_engine->chooseExerciseStep(step);
    showStep(step);
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
            m_history->reset();
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
    if (m_quitting) {
        event->accept();
        return;
    }
    // The window stays until the pupil has answered; an answer given at once closes it now.
    event->ignore();
    if (m_quitAsked)
        return;
    m_quitAsked = true;
    const auto asking = std::make_shared<bool>(true);
    m_commands->quit([this, asking, event](bool quits) {
        m_quitAsked = false;
        if (!quits)
            return;
        if (m_runView)
            m_runView->rememberPlacement();
        m_quitting = true;
        if (*asking)
            event->accept();
        else
            close();
    });
    *asking = false;
}

} // namespace jhk
