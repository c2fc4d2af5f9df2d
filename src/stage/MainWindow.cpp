#include "stage/MainWindow.h"

#include "model/AppState.h"
#include "runview/RunViewWindow.h"
#include "stage/FocusMark.h"
#include "stage/PaletteButton.h"
#include "stage/SaveKeyNote.h"
#include "rules/StageHints.h"
#include "rules/StageTexts.h"
#include "ui/Colours.h"
#include "stage/RunTimer.h"
#include "ui/PluginSoundPlayer.h"

#include <QAction>
#include <QFontInfo>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace jhk {

namespace {

constexpr QSize ClientSize(777, 510);
constexpr int StageLeft = 136;
constexpr int StepTextPixels = 11;
constexpr int StatePixels = 18;

QString qs(const std::string &s) { return QString::fromStdString(s); }

// Gives a label the largest font, up to `base`, at which its whole text fits `room`.
void fitFont(QLabel *label, QFont base, QSize room)
{
    for (int px = QFontInfo(base).pixelSize(); px >= 8; --px) {
        base.setPixelSize(px);
        label->setFont(base);
        const QSize need = label->wordWrap() ? QSize(room.width(), label->heightForWidth(room.width()))
                                             : label->sizeHint();
        if (need.width() <= room.width() && need.height() <= room.height())
            return;
    }
}

} // namespace

MainWindow::MainWindow(Machine &machine, const QString &appFolder, UserDialogs *dialogs, QWidget *parent)
    : QMainWindow(parent),
      m_machine(machine),
      m_appFolder(appFolder),
      m_catalogue(appFolder.toStdString()),
      m_pictures(appFolder),
      m_sizes(appFolder.toStdString()),
      m_qtDialogs(this),
      m_ui(dialogs ? dialogs : &m_qtDialogs),
      m_sound(std::make_unique<PluginSoundPlayer>(appFolder, [this](const std::string &text) { m_ui->message(text); }))
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size())));
    m_engine = std::make_unique<Engine>(m_machine, m_catalogue, static_cast<StageView &>(*this), *m_sound, m_sizes);
    // A run waits for its sounds and its block delay in this window's event loop.
    m_runTimer = std::make_unique<RunTimer>([this] {
        m_engine->resumeRun();
        refresh();
    });
    m_engine->setScheduler(m_runTimer.get());
    m_editor = std::make_unique<StageEditor>(m_machine, stage(), m_sizes, *m_ui,
                                             static_cast<StageEditorHooks &>(*this));
    m_stageController = std::make_unique<StageController>(m_machine, *m_engine, *m_editor,
                                                          static_cast<StageControllerHost &>(*this));
    m_history = std::make_unique<MachineHistory>(m_machine, *m_engine, *m_editor, static_cast<WindowFace &>(*this));
    m_commands = std::make_unique<DocumentCommands>(m_machine, *m_engine, *m_editor, *m_history, *m_ui,
                                                    static_cast<WindowFace &>(*this));

    m_engine->partsLoad();
    stage().background = m_machine.app.BackPictName;
    buildMenus();
    buildLayout();
    connectRunControls();
    m_saveKeyNote = new SaveKeyNote(m_machine.app, this);
    m_focusMark = new FocusMark(this);
    m_machine.app.MoneyInHand = MainWindowMoney;
    stage().moneyLabel = std::string(MoneyLabelPrefix) + std::to_string(MainWindowMoney);
    m_commands->markSaved();
    updateLevelPanel();
    m_history->reset();
    refresh();
    // The window keeps its size: nothing to drag, nothing to maximise.
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow()
{
    m_engine->setScheduler(nullptr);
}

QFont MainWindow::uiFont(int pixelHeight) const
{
    QFont f = font();
    f.setPointSize(std::max(1, pixelHeight * m_machine.app.TwipsY / 20));
    return f;
}

QLabel *MainWindow::makeLabel(QWidget *parent, const QString &text, int x, int y, int fontPixels, const char *name)
{
    QLabel *label = makeLabel(parent, text, QRect(x, y, 0, 0), fontPixels, name);
    label->adjustSize();
    return label;
}

QLabel *MainWindow::makeLabel(QWidget *parent, const QString &text, QRect geometry, int fontPixels, const char *name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    if (fontPixels > 0)
        label->setFont(uiFont(fontPixels));
    label->setGeometry(geometry);
    return label;
}

QPushButton *MainWindow::makeButton(QWidget *parent, const QString &text, QRect geometry, int fontPixels,
                                    const char *name)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(uiFont(fontPixels));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル(&F&ﾌ)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    m_open = file->addAction(QStringLiteral("ファイルを開く(&O&ｵ）..."), this, [this] { openFile(); });
    m_open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_save = file->addAction(QStringLiteral("ファイルの保存(&S&ﾎ)..."), this, [this] { saveFile(); });
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    m_print = file->addAction(QStringLiteral("印刷(&P)"), this, [this] {
        if (m_machine.app.RunMode == ModeEditing)
            showPrintDialog();
    });
    file->addSeparator();
    m_quit = file->addAction(QStringLiteral("ジハンコウボウの終了(&Q)"), this, [this] { close(); });
    connect(file, &QMenu::aboutToShow, this, &MainWindow::fileMenuAboutToShow);
    buildEditMenu();

    m_stepMenu = menuBar()->addMenu(QStringLiteral("ステップ(&S)"));
    m_stepMenu->setObjectName(QStringLiteral("MnuStep"));
    for (int s = 0; s < 3; ++s) {
        static const char *captions[] = {"ステップ１", "ステップ２", "ステップ３"};
        QAction *a = m_stepMenu->addAction(QString::fromUtf8(captions[s]), this, [this, s] { chooseStep(s + 1); });
        a->setCheckable(true);
        m_stepActions[static_cast<std::size_t>(s)] = a;
    }
    m_stepActions[0]->setChecked(true);

    QMenu *options = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    options->setObjectName(QStringLiteral("MnuOption"));
    m_options = options->addAction(QStringLiteral("環境設定(&C)"), this, [this] {
        if (m_machine.app.RunMode == ModeEditing)
            showOptions();
    });
    m_runViewAction = options->addAction(QStringLiteral("実行のようす(&R)"), this, &MainWindow::showRunView);
    m_runViewAction->setObjectName(QStringLiteral("mnuRunView"));

    // The pop-up menu of variables, never in the menu bar.
    m_variableMenu = new QMenu(QStringLiteral("ショートカット"), this);
    m_variableMenu->setObjectName(QStringLiteral("MnuHide"));
    static const char *variables[] = {"変数１", "変数２", "変数３"};
    for (int v = 0; v < 3; ++v) {
        m_variableActions[static_cast<std::size_t>(v)] = m_variableMenu->addAction(QString::fromUtf8(variables[v]));
        if (v < 2)
            m_variableMenu->addSeparator();
    }
}

void MainWindow::buildLayout()
{
    auto *central = new QWidget(this);
    central->setFixedSize(ClientSize);
    setCentralWidget(central);

    auto *partsFrame = new QGroupBox(central);
    partsFrame->setObjectName(QStringLiteral("FramePartsCmd"));
    partsFrame->setGeometry(0, 0, 128, 314);
    for (int i = 0; i < PartsKindCount; ++i) {
        auto *b = new PaletteButton(i, partsFrame);
        b->setObjectName(QStringLiteral("cmdPartsButton%1").arg(i));
        b->setText(QString::fromUtf8(PartsKindCaptions[static_cast<std::size_t>(i)].data()));
        b->setIcon(QIcon(m_pictures.palette(i)));
        b->setIconSize(QSize(40, 40));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFont(uiFont(12));
        b->setGeometry(6 + 57 * (i % 2), 16 + 64 * (i / 2), 57, 64);
        b->setDragRule([this](int kind) { return m_editor->paletteButtonDown(kind); });
        connect(b, &PaletteButton::dropped, this, &MainWindow::dropPalette);
        if (i != KindMoneyInHand)
            b->setToolTip(QString::fromUtf8(DragToStageHint));
        m_partButtons[static_cast<std::size_t>(i)] = b;
    }
    const int labelTop = 16 + 64 * 3 + 64;
    m_labelButton = new PaletteButton(PartsKindCount, partsFrame);
    m_labelButton->setObjectName(QStringLiteral("cmdLabelButton"));
    m_labelButton->setText(QStringLiteral("ラベル"));
    m_labelButton->setFont(uiFont(12));
    m_labelButton->setGeometry(6, labelTop, 114, 38);
    connect(m_labelButton, &PaletteButton::dropped, this, &MainWindow::dropPalette);
    m_labelButton->setToolTip(QString::fromUtf8(DragToStageHint));

    m_deleteButton = makeButton(central, QStringLiteral("パーツの削除"), QRect(5, labelTop + 64, 114, 40), 12,
                                "cmd_DelParts");
    connect(m_deleteButton, &QPushButton::clicked, this, [this] {
        m_editor->deleteCurrent();
        refresh();
    });
    m_partsCount = makeLabel(central, QStringLiteral("パーツの数："), 5, 395, 15, "lblPartsCount");
    m_money = makeLabel(central, QString(), QRect(8, 440, 97, 25), 12, "Label4");
    m_money->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_moneyButton = makeButton(central, QStringLiteral("所持金"), QRect(8, 456, 105, 25), 12, "Command1");
    // Like the palette's "所持金": the money-in-hand input while editing.
    connect(m_moneyButton, &QPushButton::clicked, this, [this] { m_editor->paletteButtonDown(KindMoneyInHand); });
    // The label reaches over the button's top edge: its text stays in front, the clicks go through.
    m_money->raise();
    m_money->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_runViewButton = makeButton(central, QStringLiteral("実行のようす"), QRect(8, 484, 105, 24), 12, "cmdRunView");
    connect(m_runViewButton, &QPushButton::clicked, this, &MainWindow::showRunView);

    m_stageWidget = new StageWidget(m_machine, stage(), m_editor->order(), m_editor->labelFonts(), m_pictures,
                                    *m_stageController, central);
    m_stageWidget->setObjectName(QStringLiteral("Picture1"));
    m_stageWidget->move(StageLeft, 0);

    m_frameEdit = new QGroupBox(QStringLiteral("システム"), central);
    m_frameEdit->setObjectName(QStringLiteral("framEDIT"));
    m_frameEdit->setFont(uiFont(12));
    m_frameEdit->setGeometry(552, 0, 219, 124);
    makeLabel(m_frameEdit, QStringLiteral("現在の状態："), 16, 32, 12, "lblStateTitle");
    m_nowState = makeLabel(m_frameEdit, QString::fromUtf8(StateEditing), 95, 24, StatePixels, "lblNowState");
    m_start = makeButton(m_frameEdit, QStringLiteral("実行"), QRect(8, 56, 121, 25), 12, "cmdStart");
    m_stop = makeButton(m_frameEdit, QStringLiteral("停止"), QRect(128, 56, 81, 25), 12, "cmdStop");
    m_step = makeButton(m_frameEdit, QStringLiteral("１ブロックづつ実行"), QRect(8, 88, 121, 25), 12, "cmdStep");
    m_wallet = makeButton(m_frameEdit, QStringLiteral("財布"), QRect(136, 88, 73, 25), 12, "Command4");

    m_frameSelect = new QGroupBox(QStringLiteral("選択されているパーツ"), central);
    m_frameSelect->setObjectName(QStringLiteral("FrameSelectInfo"));
    m_frameSelect->setFont(uiFont(12));
    m_frameSelect->setGeometry(552, 133, 201, 141);
    m_selectPicture = new QLabel(m_frameSelect);
    m_selectPicture->setObjectName(QStringLiteral("pic_SelectParts"));
    m_selectPicture->setGeometry(8, 24, 64, 64);
    m_selectPicture->hide();
    m_x = makeLabel(m_frameSelect, QStringLiteral("Ｘ座標"), 88, 40, 15, "Label1");
    m_y = makeLabel(m_frameSelect, QStringLiteral("Ｙ座標"), 88, 64, 15, "Label2");
    m_partsName = makeLabel(m_frameSelect, QStringLiteral("パーツの名前"), 10, 100, 15, "lbl_PartsName");
    m_partsId = makeLabel(m_frameSelect, QStringLiteral("パーツ番号"), 10, 120, 15, "lblPartsID");

    auto *levelFrame = new QGroupBox(central);
    levelFrame->setObjectName(QStringLiteral("FrameLEVEL"));
    levelFrame->setGeometry(552, 133 + 141 + 3, 219, 232);
    m_level = makeLabel(levelFrame, QString(), 8, 14, 15, "lbl_LEVEL");
    m_levelText = makeLabel(levelFrame, QString(), QRect(8, 28, 209, 25), 12, "lblKaisetsu");
    m_levelText->setWordWrap(true);
    m_levelText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_nowStep = makeLabel(levelFrame, QStringLiteral("ステップ１"), 8, 28 + 25 + 2, 15, "lblNowStep");
    // Right under the step, within the frame, whose bottom edge would cut the last lines.
    const int stepTextTop = m_nowStep->y() + m_nowStep->height() - 2;
    m_stepText = makeLabel(levelFrame, QString(),
                           QRect(8, stepTextTop, 209, std::min(159, levelFrame->height() - stepTextTop - 4)),
                           StepTextPixels, "lblStepKaisetsu");
    m_stepText->setWordWrap(true);
    m_stepText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    showStepExplanation(1); // the caption keeps its design text until the step is switched

    m_frameChart = new QGroupBox(QStringLiteral("実行リスト"), central);
    m_frameChart->setObjectName(QStringLiteral("FrameChart"));
    m_frameChart->setFont(uiFont(12));
    m_frameChart->setGeometry(552, 133, 209, 169);
    auto *chart = new QWidget(m_frameChart);
    chart->setObjectName(QStringLiteral("picChart"));
    chart->setGeometry(6, 24, 193, 249);
    for (int i = 0; i < 2; ++i) {
        auto *l = makeLabel(chart, i == 0 ? QStringLiteral("開始") : QStringLiteral("終了"), QRect(0, 223 * i, 73, 25),
                            16, i == 0 ? "lblStartEnd0" : "lblStartEnd1");
        l->setAutoFillBackground(true);
        if (i == 1)
            m_chartEnd = l;
    }
    // The template of the chart's block labels: it only ever stays hidden.
    auto *chartLabel = makeLabel(chart, QString(), QRect(0, 0, 73, 25), 12, "lblChart0");
    chartLabel->hide();
    m_runList = new QListWidget(m_frameChart);
    m_runList->setObjectName(QStringLiteral("lstDebug"));
    m_runList->setFont(uiFont(12));
    m_runList->setGeometry(8, 24, 185, 110);
    m_blockState = makeLabel(m_frameChart, QString::fromUtf8(BlockStateDesign), QRect(8, 136, 92, 16), 12,
                             "lblBlockState");
    m_nextBlock = makeButton(m_frameChart, QStringLiteral("▼"), QRect(140, 136, 65, 17), 12, "Command3");
    m_frameChart->raise();
    m_frameChart->hide();

    // Right under the state: where and why the last program stopped at a block that is not
    // set up, instead of a machine that silently does nothing.
    m_runHint = new QLabel(central);
    m_runHint->setObjectName(QStringLiteral("lblRunHint"));
    m_runHint->setFont(uiFont(12));
    m_runHint->setWordWrap(true);
    m_runHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_runHint->setStyleSheet(QStringLiteral("QLabel { background: #FFFFC0; border: 1px solid #C0A000; padding: 2px; }"));
    m_runHint->setGeometry(552, 126, 219, 60);
    m_runHint->raise();
    m_runHint->hide();
}

void MainWindow::showStepTexts(int step)
{
    m_nowStep->setText(qs(stepCaption(step)));
    m_nowStep->adjustSize();
    showStepExplanation(step);
}

void MainWindow::showStepExplanation(int step)
{
    m_stepText->setText(qs(stepExplanation(step)));
    fitStepText();
}

void MainWindow::fitStepText()
{
    // The longer explanations take a smaller font so that their last lines show. Trying the
    // sizes loads a font for each, so it waits until the text is on the screen (level 1 only).
    if (m_stepText->isVisible())
        fitFont(m_stepText, uiFont(StepTextPixels), m_stepText->size());
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    fitStepText();
}

QWidget *MainWindow::control(const char *name) const
{
    return findChild<QWidget *>(QString::fromLatin1(name));
}

void MainWindow::whenQuestionsAnswered(std::function<void()> then)
{
    if (m_ui == &m_qtDialogs)
        m_qtDialogs.whenAnswered(std::move(then));
    else
        then();
}

void MainWindow::fileMenuAboutToShow()
{
    m_fileMenu = fileMenuOnOpen(m_machine.app, m_fileMenu);
    refresh();
}

void MainWindow::updateLevelPanel()
{
    const int level = m_machine.app.Level;
    m_level->setText(qs(levelCaption(level)));
    m_level->adjustSize();
    m_levelText->setText(qs(levelDescription(level)));
    const bool levelOne = level == 1;
    m_nowStep->setVisible(levelOne);
    m_stepText->setVisible(levelOne);
    fitStepText();
    m_stepMenu->menuAction()->setVisible(levelOne);
}

void MainWindow::refresh()
{
    if (!m_stageWidget)
        return; // the engine reports changes while the window is still being built
    for (int i = 0; i < PartSlots; ++i)
        if (!m_machine.partExists(i))
            m_painted.remove(i);
    m_history->record();
    updateEditActions();
    const StageControls &c = stage().controls;
    const SelectionPanel &panel = m_editor->panel();
    for (PaletteButton *b : m_partButtons)
        b->setEnabled(c.partButtonsEnabled && (b->index() != KindMoneyInHand || c.moneyEnabled));
    m_labelButton->setEnabled(c.labelButtonEnabled);
    m_moneyButton->setEnabled(c.partButtonsEnabled && c.moneyEnabled);
    m_deleteButton->setEnabled(c.deleteEnabled);
    m_start->setEnabled(c.startEnabled);
    m_stop->setEnabled(c.stopEnabled);
    // A program at work (a sound, a slow run) finishes before the mode can change.
    m_step->setEnabled(c.stepEnabled && !m_engine->programRunning());
    m_wallet->setVisible(walletAllowed()); // a run control: not there while editing
    syncRunList();
    // The File menu's rules hold at every moment, so its shortcuts obey them too, not only
    // once the menu has been opened.
    m_fileMenu.open = c.openEnabled;
    m_fileMenu.save = c.saveEnabled;
    m_fileMenu = fileMenuOnOpen(m_machine.app, m_fileMenu);
    m_open->setEnabled(m_fileMenu.open);
    m_save->setEnabled(m_fileMenu.save);
    m_print->setEnabled(m_fileMenu.print);
    m_frameChart->setVisible(c.chartVisible);
    m_frameSelect->setVisible(!c.chartVisible);

    m_partsCount->setText(qs(panel.partsCount));
    m_partsCount->adjustSize();
    m_money->setText(qs(stage().moneyLabel));
    if (m_nowState->text() != qs(stage().stateLabel)) {
        m_nowState->setText(qs(stage().stateLabel));
        // "１ブロックづつ" takes a smaller font to stay inside the frame.
        fitFont(m_nowState, uiFont(StatePixels), QSize(m_frameEdit->width() - m_nowState->x() - 6, 30));
        m_nowState->adjustSize();
    }
    m_blockState->setText(qs(stage().blockStateLabel));
    if (m_runHint->text() != qs(stage().runHint)) {
        m_runHint->setText(qs(stage().runHint));
        m_runHint->resize(m_runHint->width(), m_runHint->heightForWidth(m_runHint->width()));
    }
    m_runHint->setVisible(!stage().runHint.empty());
    QPalette endPalette = m_frameChart->palette();
    if (stage().chartEndColor != 0)
        endPalette.setColor(QPalette::Window, colorFromTable(stage().chartEndColor));
    m_chartEnd->setPalette(endPalette);
    m_x->setText(qs(panel.x));
    m_x->adjustSize();
    m_y->setText(qs(panel.y));
    m_y->adjustSize();
    m_partsName->setText(qs(panel.partsName));
    m_partsName->adjustSize();
    m_partsId->setText(qs(panel.partsId));
    m_partsId->adjustSize();
    if (panel.pictureKind >= 0)
        m_selectPicture->setPixmap(m_pictures.palette(panel.pictureKind));
    m_selectPicture->setVisible(panel.pictureVisible);
    if (m_stageWidget->picking())
        m_stageWidget->setCursor(Qt::CrossCursor);
    else if (c.runPointer)
        m_stageWidget->setCursor(QCursor(m_pictures.resource(QStringLiteral(":/builtin/cursor_hand.png"), QSize(32, 32)), 11, 0));
    else
        m_stageWidget->setCursor(Qt::ArrowCursor);
    m_stageWidget->updateChanged();
    if (m_runView)
        m_runView->machineChanged();
}

void MainWindow::showRunView()
{
    if (!m_runView)
        m_runView = std::make_unique<RunViewWindow>(*m_engine, this);
    m_runView->open();
}

void MainWindow::restoreRunView()
{
    if (RunViewWindow::wasOpen())
        showRunView();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Back from minimised or maximised, the window takes its one size again.
    if (event->type() == QEvent::WindowStateChange && windowState() == Qt::WindowNoState)
        setFixedSize(sizeHint());
}

} // namespace jhk
