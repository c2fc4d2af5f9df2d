#pragma once

#include "blockeditor/BlockEditorHost.h"
#include "document/UndoHistory.h"
#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/Stage.h"
#include "engine/StageView.h"
#include "model/Catalogue.h"
#include "paint/PaintedPictures.h"
#include "rules/MainMenuRules.h"
#include "rules/DocumentCommands.h"
#include "rules/MachineHistory.h"
#include "rules/StageController.h"
#include "rules/StageEditor.h"
#include "rules/WindowFace.h"
#include "stage/StageWidget.h"
#include "ui/QtUserDialogs.h"
#include "ui/StagePictures.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;

namespace jhk {

class OptionDialog;
class PaletteButton;
class PluginSoundPlayer;
class PrintDialog;
class RunTimer;
class RunViewWindow;
class SaveKeyNote;
class FocusMark;

// The main window frmmain: the part palette, the stage, the run buttons, the selection panel,
// the level panel and the menus. It lays out and draws; the editing rules are the stage
// editor's, the documents, quitting and undo the document commands' and the history's, the
// run and the money the engine's.
class MainWindow : public QMainWindow,
                   private StageEditorHooks,
                   private StageControllerHost,
                   private BlockEditorHost,
                   private WindowFace,
                   private StageView {
    Q_OBJECT
public:
    // `dialogs` answers the window's questions instead of real message boxes and file
    // dialogs when given.
    MainWindow(Machine &machine, const QString &appFolder, UserDialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    StageEditor &editor() { return *m_editor; }
    Engine &engine() { return *m_engine; }
    Stage &stage() { return m_engine->stage(); }
    StageWidget *stageWidget() const { return m_stageWidget; }
    UserDialogs &dialogs() { return *m_ui; }

    // Pixel size of a font given as a pixel height, as points for this screen.
    QFont uiFont(int pixelHeight) const;

    // The commands of the menus and buttons, also driven by the tests. openFile() and
    // saveFile() ask first; they return true when the machine was opened or saved by the time
    // they return (the tests' prepared answers come at once).
    bool openFile();
    bool openFile(const std::string &path);
    bool saveFile();
    void chooseStep(int step);
    void showOptions();
    void showPrintDialog();
    // "プロパティの変更..." of a part's right-click menu in editing mode.
    void changePartProperties(int slot);
    void refresh() override;
    // A palette button dropped at `globalPos`: only the stage's own surface takes it.
    void dropPalette(int index, QPoint globalPos);
    void updateLevelPanel();
    FileMenuState fileMenuState() const { return m_fileMenu; }
    void fileMenuAboutToShow();
    // "元に戻す" and "やり直し" of the Edit menu (Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z).
    void undo();
    void redo();
    const UndoHistory &history() const { return m_history->steps(); }
    // What the last undo or redo told the pupil (a step the stage does not show), or nothing.
    const QString &historyNote() const { return m_historyNote; }

    // Recovery copies of a machine with unsaved changes, kept in `folder` while the window
    // is open (the tests' windows keep none).
    void enableRecovery(const std::string &folder);
    // Writes the recovery copy now if the machine has unsaved changes, removes it otherwise.
    void keepRecoveryCopy();
    // Offers the copy a program that ended without saving left behind; true when restored by
    // the time it returns.
    bool offerRecovery();

    QWidget *control(const char *name) const;

    // Calls `then` once no question or message of this window is open or waiting.
    void whenQuestionsAnswered(std::function<void()> then);

    // The run view "実行のようす": opened from the options menu or its button, also during a
    // run; restoreRunView opens it again when it was open as the program last ended.
    void showRunView();
    void restoreRunView();
    RunViewWindow *runView() const { return m_runView.get(); }
    SaveKeyNote *saveKeyNote() const { return m_saveKeyNote; }
    FocusMark *focusMark() const { return m_focusMark; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // StageView
    void showMessage(const std::string &text) override;
    void showRunMessage(const std::string &text, std::function<void(RunMessageAnswer)> answered) override;
    void runListLineAdded(const std::string &line) override;
    void stageChanged(StageChange what, int index) override;
    // StageEditorHooks
    void showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed) override;
    std::pair<int, int> labelSize(const LabelControl &label, const std::string &fontName) override;
    void changeMoneyInHand() override;
    // StageControllerHost
    void offerPartMenu(int slot) override;
    void openBlockEditor(int part) override;
    void editLabel(int label) override;
    void askVariable(const std::array<std::string, 3> &captions,
                     std::function<void(std::optional<int>)> answer) override;
    void finishPick() override;
    void stageMoved() override;
    // BlockEditorHost
    Machine &machine() override { return m_machine; }
    QPixmap partPicture(int part) const override;
    void beginStagePick() override;
    void blockEditorClosed() override;
    // WindowFace
    UndoExtra paintedState() const override;
    void restorePaintedState(const std::shared_ptr<const void> &state) override;
    void showPaintedPictures() override;
    void forgetPaintedPicture(int slot) override { m_painted.remove(slot); }
    std::optional<std::string> loadPicturesBeside(const std::string &documentPath) override;
    std::optional<std::string> savePicturesBeside(const std::string &documentPath) override;
    std::vector<RecoveryPicture> paintedBitmaps() const override { return m_painted.bitmaps(); }
    void showLevel() override { updateLevelPanel(); }
    void showStep(int step) override;
    void takeKeyboard() override { activateWindow(); }
    void showPropertyDialog(int slot, const std::string &shownPicture,
                            std::function<void(PropertyOutcome, bool)> closed) override;
    void handOverPaintDrawing() override;
    void closePaintTool() override;
    void withTemporaryFolder(const std::function<void(const std::string *)> &use) override;

    void buildLayout();
    void buildMenus();
    void buildEditMenu();
    void updateEditActions();
    void showHistoryNote();
    void connectRunControls();
    void givePaintedPicture(int slot, int kind, const QImage &image);
    void showPaintedPicture(int slot, const QImage &image);
    void showPartMenu(int slot, QPoint globalPos);
    void startRun();
    void stepMode();
    void stopRunClicked();
    void drawWallet();
    bool walletAllowed() const;
    void syncRunList();
    void showStepTexts(int step);
    void showStepExplanation(int step);
    void fitStepText();
    // A label sized to its text at (x, y).
    QLabel *makeLabel(QWidget *parent, const QString &text, int x, int y, int fontPixels, const char *name);
    // A label of a fixed size: its text is not measured.
    QLabel *makeLabel(QWidget *parent, const QString &text, QRect geometry, int fontPixels, const char *name);
    QPushButton *makeButton(QWidget *parent, const QString &text, QRect geometry, int fontPixels, const char *name);

    Machine &m_machine;
    QString m_appFolder;
    Catalogue m_catalogue;
    StagePictures m_pictures;
    FilePictureSizes m_sizes;
    QtUserDialogs m_qtDialogs;
    UserDialogs *m_ui;
    std::unique_ptr<PluginSoundPlayer> m_sound;
    std::unique_ptr<Engine> m_engine;
    std::unique_ptr<RunTimer> m_runTimer;
    std::unique_ptr<StageEditor> m_editor;
    std::unique_ptr<StageController> m_stageController;
    std::unique_ptr<MachineHistory> m_history;
    std::unique_ptr<DocumentCommands> m_commands;
    // Goes before the engine it watches.
    std::unique_ptr<RunViewWindow> m_runView;
    SaveKeyNote *m_saveKeyNote = nullptr;
    FocusMark *m_focusMark = nullptr;
    PaintedPictures m_painted;
    FileMenuState m_fileMenu;
    bool m_quitting = false;     // the pupil agreed: the window closes without asking again
    bool m_quitAsked = false;    // the quit prompt is up
    QTimer *m_recoveryTimer = nullptr;

    StageWidget *m_stageWidget = nullptr;
    std::array<PaletteButton *, PartsKindCount> m_partButtons{};
    PaletteButton *m_labelButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QLabel *m_partsCount = nullptr;
    QLabel *m_money = nullptr;
    QPushButton *m_moneyButton = nullptr;
    QGroupBox *m_frameEdit = nullptr;
    QLabel *m_nowState = nullptr;
    QString m_historyNote;
    QLabel *m_runHint = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_step = nullptr;
    QPushButton *m_wallet = nullptr;
    QGroupBox *m_frameSelect = nullptr;
    QLabel *m_selectPicture = nullptr;
    QLabel *m_x = nullptr;
    QLabel *m_y = nullptr;
    QLabel *m_partsName = nullptr;
    QLabel *m_partsId = nullptr;
    QLabel *m_level = nullptr;
    QLabel *m_levelText = nullptr;
    QLabel *m_nowStep = nullptr;
    QLabel *m_stepText = nullptr;
    QGroupBox *m_frameChart = nullptr;
    QListWidget *m_runList = nullptr;
    QLabel *m_blockState = nullptr;
    QLabel *m_chartEnd = nullptr;
    QPushButton *m_nextBlock = nullptr;
    QTimer *m_blink = nullptr;

    QAction *m_open = nullptr;
    QAction *m_save = nullptr;
    QAction *m_print = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QMenu *m_stepMenu = nullptr;
    std::array<QAction *, 3> m_stepActions{};
    QAction *m_options = nullptr;
    QPointer<OptionDialog> m_optionDialog; // the one open settings window
    QPointer<PrintDialog> m_printDialog;   // the one open print window
    QAction *m_runViewAction = nullptr;
    QPushButton *m_runViewButton = nullptr;
    QMenu *m_variableMenu = nullptr;
    std::array<QAction *, 3> m_variableActions{};
};

} // namespace jhk
