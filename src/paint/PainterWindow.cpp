#include "paint/PainterWindow.h"

#include "paint/CanvasSizeDialog.h"
#include "paint/CanvasView.h"
#include "paint/PaletteStrip.h"
#include "paint/PaletteWindow.h"
#include "paint/ToolColumn.h"
#include "ui/QtUserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>

namespace jhk {

namespace {

// The client area under the menu bar: draws the two-line relief at its top.
class PainterClient : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawLine(0, 0, width(), 0);
        painter.setPen(Qt::white);
        painter.drawLine(0, 1, width(), 1);
    }
};

constexpr QSize StartSize(640, 480);

// A message box of the paint tool with its own title; `answered` gets the button pressed
// (the close box and Escape press the box's escape button).
void showPaintMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                      QMessageBox::StandardButtons buttons,
                      std::function<void(QMessageBox::StandardButton)> answered = {})
{
    auto *box = new QMessageBox(icon, title, text, buttons, parent);
    if (buttons.testFlag(QMessageBox::Ok))
        box->setDefaultButton(QMessageBox::Ok);
    if (answered)
        QObject::connect(box, &QDialog::finished, box,
                         [box, answered] { answered(box->standardButton(box->clickedButton())); });
    showAndAnswerLater(box);
}
constexpr int ToolColumnTop = 2;

} // namespace

PainterWindow::PainterWindow(QWidget *owner, double twipsX, double twipsY)
    : QMainWindow(owner, Qt::Window),
      session_(twipsX, twipsY),
      owner_(owner),
      client_(new PainterClient(this)),
      tools_(new ToolColumn(session_, client_)),
      stage_(new QScrollArea(client_)),
      canvas_(new CanvasView(session_)),
      strip_(new PaletteStrip(session_, client_)),
      paletteWindow_(new PaletteWindow(session_, this))
{
    setObjectName(QStringLiteral("frmPainter"));
    setWindowTitle(QStringLiteral("ﾍﾟｲﾝﾄﾂｰﾙ"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(client_);
    stage_->setObjectName(QStringLiteral("picStage"));
    stage_->setWidget(canvas_);
    stage_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stage_->setBackgroundRole(QPalette::Dark);
    stage_->setFrameShape(QFrame::NoFrame);
    buildMenus();

    session_.onBusy = [this](const QString &text) {
        // A zoom step on the largest canvas takes a moment: show it before the work starts.
        if (text.isEmpty())
            QApplication::restoreOverrideCursor();
        else
            QApplication::setOverrideCursor(Qt::WaitCursor);
        strip_->sync();
        strip_->repaint();
    };
    connect(canvas_, &CanvasView::changed, this, &PainterWindow::refresh);
    connect(tools_, &ToolColumn::toolChosen, this, &PainterWindow::refresh);
    connect(strip_, &PaletteStrip::coloursChanged, this, &PainterWindow::refresh);
    connect(strip_, &PaletteStrip::paletteWanted, this, &PainterWindow::showPalette);
    connect(strip_->okButton(), &QPushButton::clicked, this, &PainterWindow::ok);
    connect(strip_->cancelButton(), &QPushButton::clicked, this, &PainterWindow::cancel);
    connect(paletteWindow_, &PaletteWindow::colourChanged, this, &PainterWindow::refresh);
    resize(StartSize);
}

PainterWindow::~PainterWindow()
{
    session_.onBusy = nullptr;
}

void PainterWindow::start(const QImage &picture, PaintHooks hooks)
{
    hooks_ = std::move(hooks);
    finished_ = false;
    session_.start(picture);
    tools_->sync();
    canvas_->sync();
    refresh();
}

QAction *PainterWindow::action(const char *name) const
{
    return findChild<QAction *>(QString::fromLatin1(name));
}

void PainterWindow::buildMenus()
{
    auto add = [this](QMenu *menu, const char *name, const QString &caption, QKeySequence key,
                      auto slot) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            item->setShortcut(key);
        connect(item, &QAction::triggered, this, slot);
        return item;
    };
    auto disabled = [this](QMenu *menu, const char *name, const QString &caption, QKeySequence key) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        item->setShortcut(key);
        item->setEnabled(false);
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    add(file, "mnuFileNew", QStringLiteral("新規作成(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N), &PainterWindow::newPicture);
    add(file, "mnuFileLoad", QStringLiteral("開く(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O), &PainterWindow::openPicture);
    add(file, "mnuFileASave", QStringLiteral("名前をつけて保存(&A)..."), QKeySequence(Qt::CTRL | Qt::Key_S),
        &PainterWindow::savePictureAs);
    file->addSeparator();
    add(file, "mnuFileEnd", QStringLiteral("終了(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q), &PainterWindow::quit);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    add(edit, "mnuEditBack", QString::fromUtf8(CannotUndoCaption), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] {
        session_.undo();
        canvas_->sync();
        refresh();
    });
    edit->addSeparator();
    disabled(edit, "mnuEditCut", QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    disabled(edit, "mnuEditCopy", QStringLiteral("ｺﾋﾟｰ(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
    disabled(edit, "mnuEditPaste", QStringLiteral("貼り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V));
    disabled(edit, "mnuEditDel", QStringLiteral("削除(&D)"), QKeySequence(Qt::Key_Delete));
    disabled(edit, "mnuEditAllSelect", QStringLiteral("すべて選択(&A)"), QKeySequence());
    edit->addSeparator();
    add(edit, "mnuEditFirstBack", QStringLiteral("最初の状態に戻す(&F)"), QKeySequence(), [this] {
        session_.firstState();
        canvas_->sync();
        refresh();
    });
    edit->addSeparator();
    disabled(edit, "mnuEditXor", QStringLiteral("ﾌｧｲﾙを合成(&X)"), QKeySequence());

    QMenu *view = menuBar()->addMenu(QStringLiteral("表示(&D)"));
    QAction *front = add(view, "mnuDispFront", QStringLiteral("常に手前に表示(&T)"), QKeySequence(), [this](bool on) {
        const QPoint place = pos();
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        move(place);
        show(); // changing the flag hides the window
    });
    front->setCheckable(true);
    QAction *paletteFront = add(view, "mnuDispPalFront", QStringLiteral("ﾊﾟﾚｯﾄを手前に表示(&P)"), QKeySequence(),
                                [this](bool on) { paletteWindow_->setStaysOnTop(on); });
    paletteFront->setCheckable(true);

    QMenu *picture = menuBar()->addMenu(QStringLiteral("画像(&G)"));
    add(picture, "mnuGraficSizeCng", QStringLiteral("ｻｲｽﾞ変更(&S)"), QKeySequence(), &PainterWindow::changeSize);
    QMenu *window = menuBar()->addMenu(QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"));
    add(window, "mnuWindowPalette", QStringLiteral("ﾊﾟﾚｯﾄ(&P)"), QKeySequence(), &PainterWindow::showPalette);
    QMenu *help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    add(help, "mnuFileVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."), QKeySequence(), [] {});
}

void PainterWindow::refresh()
{
    QAction *undo = action("mnuEditBack");
    undo->setEnabled(session_.canUndo());
    undo->setText(session_.undoCaption());
    strip_->sync();
    tools_->sync();
    canvas_->setCursor(toolCursor(session_));
}

void PainterWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOut();
}

void PainterWindow::layOut()
{
    const QSize client = client_->size();
    tools_->setGeometry(0, ToolColumnTop, ToolColumn::ColumnWidth, client.height());
    const bool roomForStrip = client.height() >= PaletteStrip::StripHeight + 4;
    stage_->setVisible(roomForStrip);
    strip_->setVisible(roomForStrip);
    if (roomForStrip) {
        const int left = ToolColumn::ColumnWidth;
        const int stageHeight = client.height() - PaletteStrip::StripHeight - ToolColumnTop;
        stage_->setGeometry(left, ToolColumnTop, client.width() - left, stageHeight);
        strip_->setGeometry(left, ToolColumnTop + stageHeight, client.width() - left, PaletteStrip::StripHeight);
    }
    client_->update();
}

void PainterWindow::finish(const QImage &picture)
{
    finished_ = true;
    if (hooks_.handBack)
        hooks_.handBack(picture);
    close();
    if (owner_) {
        owner_->window()->raise();
        owner_->window()->activateWindow();
    }
}

void PainterWindow::ok()
{
    finish(session_.okPicture());
}

void PainterWindow::cancel()
{
    finish(session_.cancelPicture());
}

void PainterWindow::discard()
{
    finished_ = true;
    close();
}

void PainterWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window by its close box (or Alt+F4) hands nothing back: the part keeps the
    // picture it has.
    finished_ = true;
    paletteWindow_->close();
    QMainWindow::closeEvent(event);
}

void PainterWindow::quit()
{
    // The whole program ends only through the main window's quit prompt, which offers to
    // save the machine first.
    if (hooks_.quit)
        hooks_.quit();
    else if (owner_)
        owner_->window()->close();
    else
        close();
}

void PainterWindow::confirmLosingTheDrawing(std::function<void()> confirmed)
{
    showPaintMessage(this, QMessageBox::Information, QStringLiteral("確認"),
                     QStringLiteral("作成・変更した絵がすべて消えてしまいますがよろしいですか？"),
                     QMessageBox::Yes | QMessageBox::No, [confirmed](QMessageBox::StandardButton answer) {
                         if (answer == QMessageBox::Yes)
                             confirmed();
                     });
}

void PainterWindow::newPicture()
{
    confirmLosingTheDrawing([this] {
        session_.newPicture();
        canvas_->sync();
        refresh();
    });
}

QString PainterWindow::pictureFilters()
{
    return QStringLiteral("BMPファイル (*.bmp);;JPEGファイル (*.jpg);;GIFファイル (*.gif);;すべてのファイル (*.*)");
}

QFileDialog *PainterWindow::openFileDialog(const QString &caption, bool save)
{
    auto *dialog = new QFileDialog(this, caption, QString(), pictureFilters());
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    showAndAnswerLater(dialog);
    return dialog;
}

void PainterWindow::openPicture()
{
    confirmLosingTheDrawing([this] {
        QFileDialog *dialog = openFileDialog(QStringLiteral("ﾌｧｲﾙを開く"), false);
        connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
            if (!path.isEmpty())
                openPictureFile(path);
        });
    });
}

void PainterWindow::openPictureFile(const QString &path)
{
    QString refusal;
    if (!session_.openPicture(path, &refusal)) {
        if (refusal.isEmpty())
            refusal = QStringLiteral("「%1」は絵のファイルとして読めませんでした。\n"
                                     "BMP、JPEG、GIF のファイルを選んで下さい。")
                          .arg(QFileInfo(path).fileName());
        showPaintMessage(this, QMessageBox::Warning, QStringLiteral("ﾍﾟｲﾝﾄﾂｰﾙ"), refusal, QMessageBox::Ok);
        return;
    }
    canvas_->sync();
    refresh();
}

void PainterWindow::savePictureAs()
{
    QFileDialog *dialog = openFileDialog(QStringLiteral("ﾌｧｲﾙを保存"), true);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        if (path.isEmpty())
            return;
        if (const auto error = session_.savePicture(path))
            showPaintMessage(this, QMessageBox::Warning, QStringLiteral("ﾍﾟｲﾝﾄﾂｰﾙ"), *error, QMessageBox::Ok);
    });
}

void PainterWindow::changeSize()
{
    const PaintState &s = session_.state();
    const double twipsX = 1440.0 / logicalDpiX();
    const double twipsY = 1440.0 / logicalDpiY();
    auto *dialog = new CanvasSizeDialog(session_.size(), QSize(s.MaxWidth, s.MaxHeight), twipsX, twipsY, this);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        session_.resizeDrawing(dialog->chosenSize());
        canvas_->sync();
        refresh();
    });
    showAndAnswerLater(dialog);
}

void PainterWindow::showPalette()
{
    if (!paletteWindow_->isVisible())
        paletteWindow_->move(geometry().topRight() + QPoint(8, 0));
    paletteWindow_->showForTarget();
}

} // namespace jhk
