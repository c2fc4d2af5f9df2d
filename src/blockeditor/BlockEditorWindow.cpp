#include "blockeditor/BlockEditorWindow.h"

#include "blockeditor/BlockDetailDialog.h"
#include "rules/BlockDetailModel.h"
#include "blockeditor/BlockEditorHost.h"
#include "ui/CaptionFit.h"
#include "blockeditor/FlowchartCanvas.h"
#include "ui/FlowchartPainter.h"
#include "ui/QtUserDialogs.h"
#include "ui/StagePictures.h"
#include "ui/Worksheet.h"
#include "model/AppState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace jhk {

namespace {

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

// A font given as a pixel height h is h × TwipsY ÷ 20 points.
QFont pixelFont(const QFont &base, int pixels, int twipsY)
{
    QFont f = base;
    f.setPointSize(std::max(1, pixels * (twipsY > 0 ? twipsY : 15) / 20));
    return f;
}

void setShown(QWidget *w, bool shown)
{
    if (w->isVisibleTo(w->parentWidget()) != shown)
        w->setVisible(shown);
}

} // namespace

BlockEditorWindow::BlockEditorWindow(Machine &m, int part, BlockEditorHost *host, const Catalogue &catalogue,
                                     MessageFn message, QWidget *parent)
    : QDialog(parent)
    , m_machine(m)
    , m_host(host)
    , m_appDir(catalogue.appDir())
    , m_message(std::move(message))
{
    m_session = std::make_unique<BlockEditorSession>(m, part, catalogue, [this](const std::string &t) { this->message(t); });
    m_model = &m_session->model();
    build();
    refresh();
}

BlockEditorWindow::~BlockEditorWindow() = default;

void BlockEditorWindow::message(const std::string &text)
{
    if (m_message)
        m_message(text);
}

void BlockEditorWindow::build()
{
    setFixedSize(790, 518);
    const int twipsY = m_machine.app.TwipsY;
    setFont(pixelFont(font(), 12, twipsY));
    buildPalette();
    buildOrderFrame();

    m_delete = new QPushButton(QStringLiteral("ブロックの削除"), this);
    m_delete->setGeometry(112, 350, 89, 25);
    connect(m_delete, &QPushButton::clicked, this, [this] {
        m_model->deleteSelected();
        refresh();
    });

    m_export = new QPushButton(QStringLiteral("フローチャートを保存..."), this);
    m_export->setGeometry(8, 464, 193, 25);
    m_export->setToolTip(QStringLiteral("この流れ図を PNG 画像か PDF に保存します"));
    connect(m_export, &QPushButton::clicked, this, &BlockEditorWindow::exportPicture);

    // In the free space above the flowchart export, so no other control moves.
    m_worksheet = new QPushButton(QStringLiteral("ワークシートを保存..."), this);
    m_worksheet->setObjectName(QStringLiteral("cmdWorksheet"));
    m_worksheet->setGeometry(8, 434, 193, 25);
    m_worksheet->setToolTip(QStringLiteral("プログラムのあるパーツごとに1ページの、紙に印刷するワークシート（PDF）を保存します"));
    connect(m_worksheet, &QPushButton::clicked, this, &BlockEditorWindow::saveWorksheet);

    m_canvas = new FlowchartCanvas(*m_session, this);
    m_canvas->move(208, 15);
    connectCanvas();
    buildPartInfo();

    auto *undo = new QAction(this);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undo, &QAction::triggered, this, &BlockEditorWindow::undo);
    auto *redo = new QAction(this);
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(redo, &QAction::triggered, this, &BlockEditorWindow::redo);
    addActions({undo, redo});
}

void BlockEditorWindow::undo()
{
    m_session->undo();
    refresh();
}

void BlockEditorWindow::redo()
{
    m_session->redo();
    refresh();
}

void BlockEditorWindow::buildPalette()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setGeometry(0, 15, 205, 205);
    const QFont listFont = pixelFont(font(), 15, m_machine.app.TwipsY);
    for (int t = 0; t < PaletteTabCount; ++t) {
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(6, 4, 6, 4);
        auto *list = new QListWidget(page);
        list->setFont(listFont);
        list->setAutoScroll(false); // pressing an entry to drag it never scrolls the list under the mouse
        QStringList entries;
        for (const std::string &entry : m_model->paletteLists()[static_cast<std::size_t>(t)])
            entries << qs(entry);
        list->addItems(entries);
        // Every entry shows whole, its "(使用不可)" mark included: the list's font shrinks a little
        // where the longest entry would be cut off, leaving room for the scroll bar unless all
        // entries fit under one another without it.
        const QStyle *style = list->style();
        const int frame = 2 * list->frameWidth();
        const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
        const int textWidth = m_tabs->width() - 4 - 12 - frame
                            - 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1) - 4;
        const int listHeight = m_tabs->height() - m_tabs->tabBar()->sizeHint().height() - 4 - 8 - frame - 4;
        const QFont withoutBar = fontFittingWidth(listFont, entries, textWidth);
        const bool noBarNeeded = entries.size() * (QFontMetrics(withoutBar).height() + 2) <= listHeight;
        list->setFont(noBarNeeded ? withoutBar : fontFittingWidth(listFont, entries, textWidth - bar));
        list->viewport()->installEventFilter(this);
        layout->addWidget(list);
        m_tabs->addTab(page, qs(std::string(PaletteTabCaptions[static_cast<std::size_t>(t)])));
        m_lists[static_cast<std::size_t>(t)] = list;
    }
    m_tabs->setCurrentIndex(VendingTab);
}

void BlockEditorWindow::buildOrderFrame()
{
    m_orderFrame = new QGroupBox(QStringLiteral("実行順序"), this);
    m_orderFrame->setGeometry(0, 240, 193, 97);
    m_orderFrame->setObjectName(QStringLiteral("FrameRunber"));
    m_nextCaption = new QLabel(m_orderFrame);
    m_nextCaption->setObjectName(QStringLiteral("lbl_NextBlockID"));
    m_nextCaption->setFont(pixelFont(font(), 12, m_machine.app.TwipsY));
    m_nextCaption->setGeometry(24, 24, 165, 16);
    // Both exit captions share one font, small enough for each to show whole in its room:
    // "（条件成立時）" up to the other caption, "（条件不成立時）" up to the frame's edge.
    const QStringList exitTexts{QStringLiteral("（条件成立時）"), QStringLiteral("（条件不成立時）")};
    constexpr int ExitLefts[] = {10, 95};
    const int exitWidths[] = {ExitLefts[1] - 2 - ExitLefts[0], m_orderFrame->width() - 4 - ExitLefts[1]};
    QFont exitFont = pixelFont(font(), 14, m_machine.app.TwipsY);
    for (int j = 0; j < 2; ++j)
        exitFont = fontFittingWidth(exitFont, {exitTexts[j]}, exitWidths[j] - 2);
    for (int j = 0; j < 2; ++j) {
        auto *button = new QPushButton(QStringLiteral("指定"), m_orderFrame);
        button->setObjectName(QStringLiteral("cmb_NextBlockSitei%1").arg(j));
        button->setGeometry(j == 0 ? 16 : 104, 40, 62, 17);
        connect(button, &QPushButton::clicked, this, [this, j] {
            m_model->nextBlockButton(j);
            refresh();
        });
        m_nextButtons[static_cast<std::size_t>(j)] = button;

        auto *field = new QLineEdit(m_orderFrame);
        field->setObjectName(QStringLiteral("cTxt_NextBlockID%1").arg(j + 1));
        field->setGeometry(j == 0 ? 29 : 114, 56, 40, 18);
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus); // a shown number, never typed in: Ctrl+Z stays the editor's
        m_nextFields[static_cast<std::size_t>(j)] = field;

        auto *caption = new QLabel(exitTexts[j], m_orderFrame);
        caption->setObjectName(QStringLiteral("lblTorF%1").arg(j));
        caption->setFont(exitFont);
        caption->setGeometry(ExitLefts[j], 80, exitWidths[j], 16);
        m_exitCaptions[static_cast<std::size_t>(j)] = caption;
    }
    m_firstButton = new QPushButton(QStringLiteral("指定"), m_orderFrame);
    m_firstButton->setObjectName(QStringLiteral("cmdRunOrder"));
    m_firstButton->setGeometry(16, 40, 62, 17);
    connect(m_firstButton, &QPushButton::clicked, this, [this] {
        m_model->firstBlockButton();
        refresh();
    });
}

void BlockEditorWindow::buildPartInfo()
{
    auto *frame = new QGroupBox(QStringLiteral("パーツ情報"), this);
    frame->setGeometry(582, 5, 201, 484);
    m_picture = new QLabel(frame);
    m_picture->setGeometry(8, 20, 185, 132);
    m_picture->setAlignment(Qt::AlignCenter);
    QPixmap picture = m_host ? m_host->partPicture(m_model->partSlot())
                             : StagePictures::builtIn(QStringLiteral(":/builtin/kinds/kind_%1.png").arg(m_model->record().Kind));
    if (!picture.isNull() && (picture.width() > 185 || picture.height() > 132))
        picture = picture.scaled(185, 132, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_picture->setPixmap(picture);

    int top = 156;
    for (QLabel **label : {&m_blockCount, &m_kindName, &m_partNumber, &m_x, &m_y}) {
        *label = new QLabel(frame);
        (*label)->setGeometry(8, top, 185, 18);
        top += 20;
    }
    top += 4;
    for (std::size_t r = 0; r < 3; ++r) {
        m_variableCaptions[r] = new QLabel(frame);
        m_variableCaptions[r]->setGeometry(8, top, 185, 16);
        m_variableFields[r] = new QLineEdit(frame);
        m_variableFields[r]->setGeometry(8, top + 17, 185, 22);
        m_variableFields[r]->setText(qs(m_model->partInfo().rows[r].text));
        if (!m_model->partInfo().rows[r].textEditable) {
            // A variable the kind does not use: shown, but no box the focus (and Ctrl+Z) gets lost in.
            m_variableFields[r]->setReadOnly(true);
            m_variableFields[r]->setFocusPolicy(Qt::NoFocus);
        }
        connect(m_variableFields[r], &QLineEdit::textEdited, this,
                [this, r](const QString &text) { m_model->setVariableText(static_cast<int>(r), text.toStdString()); });
        m_variableLists[r] = new QComboBox(frame);
        m_variableLists[r]->setGeometry(8, top + 17, 185, 22);
        for (const std::string &item : m_model->partInfo().rows[r].listItems)
            m_variableLists[r]->addItem(qs(item));
        top += 44;
    }
    m_dragMode = new QCheckBox(QStringLiteral("実行中ドラッグに対応する"), frame);
    m_dragMode->setGeometry(8, top + 2, 185, 20);
    m_dragMode->setChecked(m_model->partInfo().dragMode);
    connect(m_dragMode, &QCheckBox::toggled, this, [this](bool on) { m_model->setDragMode(on); });

    m_ok = new QPushButton(QStringLiteral("決定"), frame);
    m_ok->setGeometry(8, 432, 89, 25);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_model->confirm())
            close();
        else
            refresh();
    });
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), frame);
    m_cancel->setGeometry(104, 432, 89, 25);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_model->cancel())
            close();
        else
            refresh();
    });
}

void BlockEditorWindow::connectCanvas()
{
    connect(m_canvas, &FlowchartCanvas::changed, this, [this] { refresh(); });
    connect(m_canvas, &FlowchartCanvas::popupRequested, this, [this](QPoint globalPos) { showPopup(globalPos); });
    connect(m_canvas, &FlowchartCanvas::detailRequested, this, [this] { showDetailDialog(); });
}

void BlockEditorWindow::showPopup(QPoint globalPos)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuBlockPopup"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *first = menu->addAction(QStringLiteral("指定１"));
    QAction *second = menu->addAction(QStringLiteral("指定２"));
    menu->addSeparator();
    QAction *remove = menu->addAction(QStringLiteral("削除"));
    first->setEnabled(m_session->popupEntryEnabled(PopupEntry::NextBlock1));
    second->setEnabled(m_session->popupEntryEnabled(PopupEntry::NextBlock2));
    connect(first, &QAction::triggered, this, [this] { m_session->choosePopupEntry(PopupEntry::NextBlock1); });
    connect(second, &QAction::triggered, this, [this] { m_session->choosePopupEntry(PopupEntry::NextBlock2); });
    connect(remove, &QAction::triggered, this, [this] { m_session->choosePopupEntry(PopupEntry::Delete); });
    // A chosen entry is triggered right after the menu hides: the editor shows the result once
    // both have happened, and also when the menu went without a choice.
    connect(menu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, [this] { refresh(); }); });
    menu->popup(globalPos);
}

void BlockEditorWindow::refresh()
{
    // Every change the editor makes ends with this: a finished one is a step of the history.
    m_session->changed();
    const BlockEditorModel &model = *m_model;
    setWindowTitle(qs(model.windowCaption()));
    m_tabs->setEnabled(model.paletteEnabled());
    m_tabs->setTabEnabled(0, false);
    m_tabs->setTabEnabled(2, false);
    for (QListWidget *list : m_lists)
        list->setEnabled(model.listsEnabled() && model.paletteEnabled());
    m_delete->setEnabled(model.deleteEnabled());

    const ExecutionOrderFrame &order = model.panel().order;
    m_nextCaption->setText(qs(order.caption.text));
    setShown(m_nextCaption, order.caption.visible);
    for (std::size_t j = 0; j < 2; ++j) {
        m_nextFields[j]->setText(qs(order.fields[j].text));
        setShown(m_nextFields[j], order.fields[j].visible);
        setShown(m_exitCaptions[j], order.exitCaptions[j]);
        setShown(m_nextButtons[j], order.pickButtons[j]);
    }
    setShown(m_firstButton, order.firstBlockButton);

    const PartInfoFrame &info = model.partInfo();
    m_blockCount->setText(qs(info.blockCount));
    m_kindName->setText(qs(info.kindName));
    m_partNumber->setText(qs(info.partNumber));
    m_x->setText(qs(info.x));
    m_y->setText(qs(info.y));
    for (std::size_t r = 0; r < 3; ++r) {
        const VariableRow &row = info.rows[r];
        m_variableCaptions[r]->setText(qs(row.caption));
        if (m_variableFields[r]->text() != qs(row.text))
            m_variableFields[r]->setText(qs(row.text));
        setShown(m_variableFields[r], row.textVisible && !row.listVisible);
        setShown(m_variableLists[r], row.listVisible);
        m_variableLists[r]->setEnabled(row.listEnabled);
        if (!row.listText.empty())
            m_variableLists[r]->setCurrentText(qs(row.listText));
    }
    m_canvas->update();
}

// --- dragging from the palette

bool BlockEditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    int tab = -1;
    for (int t = 0; t < PaletteTabCount; ++t) {
        QListWidget *candidate = m_lists[static_cast<std::size_t>(t)];
        if (candidate && watched == candidate->viewport())
            tab = t;
    }
    if (tab < 0)
        return QDialog::eventFilter(watched, event);
    QListWidget *list = m_lists[static_cast<std::size_t>(tab)];
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        QListWidgetItem *item = list->itemAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && item && !item->text().isEmpty() && list->isEnabled()) {
            m_dragTab = tab;
            m_dragRow = list->row(item);
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragTab >= 0) {
            // While a block is dragged out, the list keeps the dragged entry selected.
            list->viewport()->setCursor(Qt::DragCopyCursor);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_dragTab >= 0 && mouse->button() == Qt::LeftButton) {
            const QPoint onCanvas = m_canvas->mapFromGlobal(mouse->globalPosition().toPoint());
            const int dragTab = m_dragTab;
            const int dragRow = m_dragRow;
            m_dragTab = -1;
            list->viewport()->unsetCursor();
            if (m_canvas->rect().contains(onCanvas))
                dropFromPalette(dragTab, dragRow, onCanvas);
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void BlockEditorWindow::dropFromPalette(int tab, int row, QPoint canvasPos)
{
    const QPoint at = m_canvas->toTwips(canvasPos);
    m_canvas->setFocus();
    m_model->dropBlock(tab, row, at.x(), at.y());
    refresh();
}

// --- the detail dialog and picks on the stage

void BlockEditorWindow::openDetailDialog()
{
    if (m_detail || !m_session->openDetail())
        return;
    showDetailDialog();
}

void BlockEditorWindow::showDetailDialog()
{
    if (m_detail || !m_session->detailOpen())
        return;
    auto *dialog = new BlockDetailDialog(*m_session->detail(), [this](const std::string &t) { message(t); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    m_detail = dialog;
    connect(dialog, &QDialog::finished, this, [this, dialog] {
        const std::optional<StagePickRequest> pick = dialog->pickRequest();
        m_detail = nullptr;
        if (pick) {
            refresh();
            startStagePick(*pick);
            return;
        }
        m_tabs->setTabEnabled(0, false);
        m_tabs->setTabEnabled(2, false);
        if (m_session->detailClosed())
            openDetailDialog();
        refresh();
        // Back on the flowchart, so Ctrl+Z undoes what the dialog changed: the editor takes
        // the keyboard again even where nothing hands it back when the dialog goes.
        if (!m_detail) {
            activateWindow();
            m_canvas->setFocus();
        }
    });
    dialog->open();
}

void BlockEditorWindow::startStagePick(const StagePickRequest &pick)
{
    hide();
    m_session->beginStagePick(pick);
    if (m_host)
        m_host->beginStagePick();
}

void BlockEditorWindow::finishStagePick()
{
    if (m_session->closed())
        return;
    show();
    raise();
    activateWindow();
    m_tabs->setTabEnabled(0, false);
    m_tabs->setTabEnabled(2, false);
    // The detail dialog opens again before the change is shown: the pick and the dialog's ＯＫ
    // are one step of the history.
    if (m_session->finishStagePick())
        openDetailDialog();
    refresh();
    if (!m_detail)
        m_canvas->setFocus();
}

void BlockEditorWindow::exportPicture()
{
    const QString suggested = QStringLiteral("パーツ%1の流れ図.png").arg(m_model->partSlot());
    QFileDialog *dialog = openSaveDialog(QStringLiteral("フローチャートの保存"), suggested,
                                         QStringLiteral("PNG 画像 (*.png);;PDF (*.pdf)"));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        if (path.isEmpty())
            return;
        QString error;
        if (!writeFlowchartPicture(m_model->scene(), withPictureExtension(path), &error))
            message(error.toStdString());
    });
}

QFileDialog *BlockEditorWindow::openSaveDialog(const QString &caption, const QString &suggested, const QString &filters)
{
    auto *dialog = new QFileDialog(this, caption, suggested, filters);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    showAndAnswerLater(dialog);
    return dialog;
}

QString BlockEditorWindow::withPictureExtension(const QString &path)
{
    // A name typed without an extension is saved as a PNG picture, as the file list offers first.
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path;
}

void BlockEditorWindow::saveWorksheet()
{
    const QString filled = QStringLiteral("ワークシート (*.pdf)");
    const QString blank = QStringLiteral("空欄のワークシート (*.pdf)");
    QFileDialog *dialog = openSaveDialog(QStringLiteral("ワークシートの保存"), QStringLiteral("ワークシート.pdf"),
                                         filled + QStringLiteral(";;") + blank);
    connect(dialog, &QFileDialog::fileSelected, this, [this, dialog, blank](QString path) {
        if (path.isEmpty())
            return;
        if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            path += QStringLiteral(".pdf");
        const OperandStyle style = dialog->selectedNameFilter() == blank ? OperandStyle::Blank : OperandStyle::Filled;
        const QString failure = writeWorksheet(m_machine, m_model->catalogue(), path, style);
        if (!failure.isEmpty())
            message(failure.toStdString());
    });
}

void BlockEditorWindow::reject()
{
    close();
}

void BlockEditorWindow::closeEvent(QCloseEvent *event)
{
    if (m_detail)
        m_detail->close();
    if (!m_session->closed()) {
        m_session->close();
        if (m_host)
            m_host->blockEditorClosed();
    }
    event->accept();
}

} // namespace jhk
