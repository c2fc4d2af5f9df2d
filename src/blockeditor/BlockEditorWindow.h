#pragma once

#include "rules/BlockEditorSession.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace jhk {

class BlockEditorHost;
class BlockDetailDialog;
class BlockDetailModel;
class FlowchartCanvas;

// The block editor window "frmBLock" (790 × 518): the palette, the execution-order frame, the
// flowchart canvas and the part information. It forwards every event to its BlockEditorModel
// and shows the model's state again afterwards.
class BlockEditorWindow : public QDialog {
    Q_OBJECT
public:
    // The file name the flowchart is saved under: ".png" added when the name has none.
    static QString withPictureExtension(const QString &path);
    using MessageFn = std::function<void(const std::string &)>;

    // `host` may be null (a window without a stage, as in tests); `catalogue` is the one the
    // program read at its start and names the application folder; `message` shows a message box.
    BlockEditorWindow(Machine &m, int part, BlockEditorHost *host, const Catalogue &catalogue, MessageFn message,
                      QWidget *parent = nullptr);
    ~BlockEditorWindow() override;

    BlockEditorModel &model() { return *m_model; }
    BlockEditorSession &session() { return *m_session; }
    FlowchartCanvas *canvas() const { return m_canvas; }
    QListWidget *paletteList(int tab) const { return m_lists[static_cast<std::size_t>(tab)]; }
    QTabWidget *palette() const { return m_tabs; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *nextBlockButton(int j) const { return m_nextButtons[static_cast<std::size_t>(j)]; }
    QPushButton *firstBlockButton() const { return m_firstButton; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLineEdit *variableField(int row) const { return m_variableFields[static_cast<std::size_t>(row)]; }
    QCheckBox *dragModeBox() const { return m_dragMode; }
    BlockDetailDialog *detailDialog() const { return m_detail; }

    // Drops palette entry `row` of `tab` at a canvas position (pixels), as the mouse does.
    void dropFromPalette(int tab, int row, QPoint canvasPos);
    // Opens the block detail dialog for the selected block (a double click on its box).
    void openDetailDialog();
    // After a pick on the stage: show the editor again and reopen the detail dialog.
    void finishStagePick();
    // Saves the open part's flowchart as a picture (asks for the file name).
    void exportPicture();
    // "ワークシートを保存...": saves the machine's worksheet as a PDF (asks for the file name;
    // the second file type leaves the operands blank).
    void saveWorksheet();
    QPushButton *worksheetButton() const { return m_worksheet; }

    // Shows the model's state in the widgets.
    void refresh();

    // Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z: the editor's own history of the part's program, from
    // the opening of the window.
    void undo();
    void redo();
    const UndoHistory &history() const { return m_session->history(); }

    // Escape closes the editor like its close box.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void buildPalette();
    void buildOrderFrame();
    void buildPartInfo();
    void connectCanvas();
    void showDetailDialog();
    void startStagePick(const StagePickRequest &pick);
    void showPopup(QPoint globalPos);
    // Opens a save dialog over the editor; its fileSelected signal carries the pupil's choice.
    QFileDialog *openSaveDialog(const QString &caption, const QString &suggested, const QString &filters);
    void message(const std::string &text);

    Machine &m_machine;
    BlockEditorHost *m_host;
    std::string m_appDir;
    MessageFn m_message;
    std::unique_ptr<BlockEditorSession> m_session;
    BlockEditorModel *m_model = nullptr; // the session's
    BlockDetailDialog *m_detail = nullptr;

    QTabWidget *m_tabs = nullptr;
    std::array<QListWidget *, PaletteTabCount> m_lists{};
    int m_dragTab = -1;
    int m_dragRow = -1;
    QPushButton *m_delete = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_worksheet = nullptr;
    FlowchartCanvas *m_canvas = nullptr;

    QGroupBox *m_orderFrame = nullptr;
    QLabel *m_nextCaption = nullptr;
    std::array<QPushButton *, 2> m_nextButtons{};
    QPushButton *m_firstButton = nullptr;
    std::array<QLineEdit *, 2> m_nextFields{};
    std::array<QLabel *, 2> m_exitCaptions{};

    QLabel *m_picture = nullptr;
    QLabel *m_blockCount = nullptr;
    QLabel *m_kindName = nullptr;
    QLabel *m_partNumber = nullptr;
    QLabel *m_x = nullptr;
    QLabel *m_y = nullptr;
    std::array<QLabel *, 3> m_variableCaptions{};
    std::array<QLineEdit *, 3> m_variableFields{};
    std::array<QComboBox *, 3> m_variableLists{};
    QCheckBox *m_dragMode = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace jhk
