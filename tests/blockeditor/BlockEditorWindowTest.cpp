#include "EditorFixture.h"

#include "blockeditor/BlockDetailDialog.h"
#include "blockeditor/BlockEditor.h"
#include "blockeditor/BlockEditorHost.h"
#include "blockeditor/BlockEditorWindow.h"
#include "ui/CaptionFit.h"
#include "blockeditor/FlowchartCanvas.h"
#include "document/JhkDocument.h"
#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/Sound.h"
#include "model/Catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace jhk;
using jhk::test::EditorFixture;

namespace {

struct NullView : StageView {
    void showMessage(const std::string &) override {}
};

// A stage that hands part clicks during a pick to the engine, as the main window does.
struct TestStage : BlockEditorHost {
    Machine &m;
    Engine &engine;
    int picks = 0;
    int closed = 0;
    TestStage(Machine &machine, Engine &e) : m(machine), engine(e) {}
    Machine &machine() override { return m; }
    QPixmap partPicture(int) const override { return QPixmap(43, 19); }
    void beginStagePick() override { ++picks; }
    void blockEditorClosed() override { ++closed; }
};

struct WindowFixture : EditorFixture {
    Catalogue catalogue{JHK_APP_DIR};
    NullView view;
    SilentSoundPlayer player;
    FilePictureSizes sizes{JHK_APP_DIR};
    Engine engine{m, catalogue, view, player, sizes};
    TestStage stage{m, engine};
    int button = place(KindButton);
    int product = place(KindProduct);
    int outlet = place(KindProductOutlet);
    std::unique_ptr<BlockEditorWindow> window;

    explicit WindowFixture(int level = 3) : EditorFixture(level)
    {
        m.app.BlockEditorOpen = -1;
        current = button;
        window = std::make_unique<BlockEditorWindow>(m, button, &stage, catalogue,
                                                     [this](const std::string &t) { messages.push_back(t); });
        window->show();
    }

    FlowchartCanvas *canvas() { return window->canvas(); }
    QPoint boxCentre(int slot)
    {
        const BlockRecord &b = m.part(button).Blocks[static_cast<std::size_t>(slot)];
        return {b.X / 15 + 36, b.Y / 15 + 12};
    }

    // Drags palette entry `row` of the vending tab onto the canvas at `target` (pixels).
    void dragFromPalette(int row, QPoint target)
    {
        QListWidget *list = window->paletteList(1);
        QWidget *viewport = list->viewport();
        const QPoint start = list->visualItemRect(list->item(row)).center();
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QTest::mouseMove(viewport, start + QPoint(5, 5));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, viewport->mapFromGlobal(canvas()->mapToGlobal(target)));
    }

    BlockDetailDialog *doubleClickBox(int slot)
    {
        QTest::mouseDClick(canvas(), Qt::LeftButton, {}, boxCentre(slot));
        return window->detailDialog();
    }

    // The first block's product picked on the stage: a double click on its box, the detail
    // dialog's first "指定", the product clicked, the reopened dialog's ＯＫ.
    void pickProductForFirstBlock()
    {
        BlockDetailDialog *detail = doubleClickBox(0);
        ASSERT_NE(detail, nullptr);
        QTest::mouseClick(detail->pickButton(0), Qt::LeftButton);
        pickOnStage(product);
        ASSERT_NE(window->detailDialog(), nullptr);
        QTest::mouseClick(window->detailDialog()->okButton(), Qt::LeftButton);
    }

    // The first block's left side picked on the stage: the detail dialog's first "指定", part
    // `part` clicked, entry `entry` (variable `variable`) of the variable menu. The dialog
    // that comes back, or nothing.
    BlockDetailDialog *pickVariableForFirstBlock(int part, const char *variable, std::size_t entry)
    {
        BlockDetailDialog *detail = doubleClickBox(0);
        if (!detail)
            return nullptr;
        QTest::mouseClick(detail->pickButton(0), Qt::LeftButton);
        const PickOutcome outcome = engine.pickPart(part);
        if (!outcome.showVariableMenu)
            return nullptr;
        engine.chooseVariable(variable, outcome.menuCaptions[entry]);
        window->finishStagePick();
        return window->detailDialog();
    }

    // The pupil clicks part `part` on the stage during a pick.
    void pickOnStage(int part)
    {
        ASSERT_TRUE(window->isHidden());
        const PickOutcome outcome = engine.pickPart(part);
        ASSERT_TRUE(outcome.picked);
        window->finishStagePick();
    }
};

} // namespace

TEST(BlockEditorWindow, BuildsAButtonProgramWithTheMouse)
{
    WindowFixture f;
    f.dragFromPalette(0, {100, 60});           // 商品排出 into cell (1, 1)
    ASSERT_EQ(f.rec().BlockCount, 1);
    EXPECT_EQ(f.block(0).Caption, "0商品排出");
    EXPECT_EQ(f.block(0).X, 1323);
    EXPECT_EQ(f.block(0).Y, 551);

    BlockDetailDialog *detail = f.doubleClickBox(0);
    ASSERT_NE(detail, nullptr);
    EXPECT_FALSE(detail->pickButton(2)->isVisibleTo(detail));
    QTest::mouseClick(detail->pickButton(0), Qt::LeftButton);
    EXPECT_EQ(f.m.app.RunMode, ModePickOperand1);
    EXPECT_EQ(f.stage.picks, 1);
    f.pickOnStage(f.product);
    EXPECT_EQ(f.m.app.RunMode, 0);
    detail = f.window->detailDialog();
    ASSERT_NE(detail, nullptr) << "the dialog comes back after the pick";
    EXPECT_EQ(detail->operandLabel(0)->text().toStdString(), std::to_string(f.product) + ":商品");

    QTest::mouseClick(detail->pickButton(1), Qt::LeftButton);
    f.pickOnStage(f.outlet);
    detail = f.window->detailDialog();
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->operandLabel(1)->text().toStdString(), std::to_string(f.outlet) + ":商品出口");
    QTest::mouseClick(detail->okButton(), Qt::LeftButton);
    EXPECT_EQ(f.block(0).Complete, -1);
    EXPECT_EQ(f.block(0).Param[1], ParamValue(f.product));
    EXPECT_EQ(f.block(0).Param[2], ParamValue(f.outlet));

    // Link the start box to the block and the block to the end box.
    QTest::mouseDClick(f.canvas(), Qt::LeftButton, {}, {36, 12});
    QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, f.boxCentre(0));
    EXPECT_EQ(f.rec().FirstBlock, 0);
    QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, f.boxCentre(0));
    QTest::mouseClick(f.window->nextBlockButton(0), Qt::LeftButton);
    EXPECT_EQ(f.window->windowTitle(), "ジハンコウボウ　次に実行するブロック１を選択中");
    QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, {36, 420});
    EXPECT_EQ(f.block(0).NextBlock, 99);
    EXPECT_EQ(f.window->windowTitle(), "ジハンコウボウ　ブロック編集中");

    QTest::mouseClick(f.window->okButton(), Qt::LeftButton);
    EXPECT_FALSE(f.window->isVisible());
    EXPECT_EQ(f.m.app.BlockEditorOpen, 0);
    EXPECT_EQ(f.stage.closed, 1);
}

TEST(BlockEditorWindow, BranchOperandsPickedWithTheVariableMenu)
{
    WindowFixture f;
    f.dragFromPalette(8, {100, 60});
    BlockDetailDialog *detail = f.pickVariableForFirstBlock(f.button, "A", 0);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->operandLabel(1)->text(), QStringLiteral("購買可ランプ"));
    ASSERT_TRUE(detail->lampList()->isVisibleTo(detail));
    detail->operatorList()->setCurrentIndex(3); // "="
    emit detail->operatorList()->activated(3);
    detail->lampList()->setCurrentIndex(0);
    emit detail->lampList()->activated(0);
    QTest::mouseClick(detail->okButton(), Qt::LeftButton);
    const BlockRecord &b = f.block(0);
    EXPECT_EQ(b.Param[1], ParamValue(f.button));
    EXPECT_EQ(b.Param[2], ParamValue("A"));
    EXPECT_EQ(b.Param[3], ParamValue("="));
    EXPECT_EQ(b.Param[5], ParamValue(1));
    EXPECT_EQ(b.Complete, -1);
}

TEST(FlowchartExport, DrawsThePartAsTheEditorShowsIt)
{
    EditorFixture f;
    const int part = f.place(KindButton);
    PartsRecord &p = f.m.part(part);
    p.Blocks[0].Used = -1;
    p.Blocks[0].Kind = 20;
    p.Blocks[0].Caption = "0商品排出";
    p.Blocks[0].X = 0;
    p.Blocks[0].Y = 1102;
    p.Blocks[0].NextBlock = 99;
    p.BlockCount = 1;
    p.FirstBlock = 0;
    QTemporaryDir dir;
    const QString jhk = dir.filePath("machine.jhk");
    ASSERT_TRUE(saveDocument(jhk.toStdString(), f.m).ok);

    const QString png = dir.filePath("flow.png");
    ASSERT_EQ(exportFlowchart(jhk, part, png), 0);
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(353, 441));
    EXPECT_EQ(image.pixelColor(71, 96), QColor(255, 192, 255)); // the pink box at (0, 73) px
    EXPECT_EQ(image.pixelColor(36, 3), QColor(192, 255, 192));  // the start oval
    EXPECT_EQ(image.pixelColor(300, 300), QColor(0, 0, 0));
    // The start link runs straight down from the start box's bottom centre in green.
    EXPECT_EQ(image.pixelColor(36, 50), QColor(0, 192, 0));

    const QString pdf = dir.filePath("flow.pdf");
    ASSERT_EQ(exportFlowchart(jhk, part, pdf), 0);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");

    EXPECT_EQ(exportFlowchart(jhk, 7, png), 1);                          // no such part
    EXPECT_EQ(exportFlowchart(dir.filePath("missing.jhk"), part, png), 1);
    EXPECT_EQ(exportFlowchart(jhk, part, dir.filePath("no/such/folder/x.png")), 2);
}

TEST(BlockEditorWindow, EscapeClosesLikeTheCloseBoxAndKeepsTheChanges)
{
    WindowFixture f;
    f.dragFromPalette(0, {100, 60});
    QTest::keyClick(f.window.get(), Qt::Key_Escape);
    EXPECT_FALSE(f.window->isVisible());
    EXPECT_EQ(f.m.app.BlockEditorOpen, 0);
    EXPECT_EQ(f.stage.closed, 1);
    EXPECT_EQ(f.rec().BlockCount, 1);
}

TEST(BlockEditorEntry, OpensOneEditorOnlyWhileEditing)
{
    WindowFixture f;
    f.window->close();
    f.m.app.BlockEditorOpen = 0;
    f.m.app.RunMode = ModeRunning;
    EXPECT_FALSE(openBlockEditor(nullptr, f.stage, f.catalogue, f.button));
    f.m.app.RunMode = ModeEditing;
    EXPECT_FALSE(openBlockEditor(nullptr, f.stage, f.catalogue, 20)); // a free slot
    ASSERT_TRUE(openBlockEditor(nullptr, f.stage, f.catalogue, f.product));
    EXPECT_TRUE(blockEditorIsOpen());
    EXPECT_EQ(f.m.app.BlockEditorOpen, -1);
    EXPECT_EQ(f.m.app.CurParts, f.product);
    EXPECT_FALSE(openBlockEditor(nullptr, f.stage, f.catalogue, f.button));

    BlockEditorWindow *editor = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *e = qobject_cast<BlockEditorWindow *>(w); e && e->isVisible())
            editor = e;
    }
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isModal());
    QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(blockEditorIsOpen());
    EXPECT_EQ(f.m.app.BlockEditorOpen, 0);
    EXPECT_EQ(f.stage.closed, 2);
}

// Every palette entry shows whole, "(使用不可)" included, without scrolling sideways.
TEST(BlockEditorWindow, PaletteEntriesFitTheirList)
{
    for (int level : {2, 3}) {
        WindowFixture f(level);
        QApplication::processEvents();
        for (int tab = 0; tab < PaletteTabCount; ++tab) {
            QListWidget *list = f.window->paletteList(tab);
            list->doItemsLayout();
            EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "level " << level << " tab " << tab;
            EXPECT_GE(list->font().pointSizeF(), 8.0);
            for (int row = 0; row < list->count(); ++row) {
                const QRect item = list->visualItemRect(list->item(row));
                EXPECT_LE(item.right(), list->viewport()->width()) << list->item(row)->text().toStdString();
            }
        }
    }
}

// Block captions are never cut off at the box's edge: whatever the part, a caption with a
// two-digit number fits a 73 × 25 box whole, on one line or two, at a font still easy to read.
TEST(FlowchartPainter, EveryBlockCaptionFitsItsBox)
{
    const QSizeF area(73 - 3, 25);
    const QFont base(QStringLiteral("IPAGothic"));
    for (int kind : {KindProduct, KindButton, KindCoinSlot, KindCounter, KindChangeOutlet, KindProductOutlet, KindLever}) {
        EditorFixture f;
        BlockEditorModel &editor = f.open(f.place(kind));
        for (const auto &entries : editor.paletteLists()) {
            for (const std::string &entry : entries) {
                const QString caption = QStringLiteral("30") + QString::fromStdString(entry);
                const FittedCaption fitted = fitCaption(caption, area, base, 12);
                const QFontMetricsF fm(fitted.font);
                EXPECT_EQ(fitted.lines.join(QString()), caption);
                EXPECT_LE(fitted.lines.size() * fitted.font.pixelSize(), area.height()) << entry;
                EXPECT_GE(fitted.font.pixelSize(), 9) << entry;
                for (const QString &line : fitted.lines)
                    EXPECT_LE(fm.horizontalAdvance(line), area.width()) << entry;
            }
        }
    }
    // Lamp on and lamp off differ where a pupil can see it: the break falls between 購買可 and ランプ.
    const FittedCaption on = fitCaption(QStringLiteral("2購買可ランプ点灯"), area, base, 12);
    EXPECT_EQ(on.lines, QStringList({QStringLiteral("2購買可"), QStringLiteral("ランプ点灯")}));
}

TEST(BlockEditorWindow, TheWorksheetButtonSavesTheMachinesWorksheetFilledOrBlank)
{
    WindowFixture f;
    QPushButton *button = f.window->worksheetButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("ワークシートを保存..."));
    EXPECT_EQ(button->geometry(), QRect(8, 434, 193, 25));
    for (QWidget *other : f.window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (other != button && other->isVisible())
            EXPECT_FALSE(other->geometry().intersects(button->geometry())) << other->metaObject()->className();

    f.dragFromPalette(0, {100, 60}); // 商品排出, its operands not set yet
    QTemporaryDir dir;
    struct Case {
        const char *fileType;
        const char *words;
    };
    const Case cases[] = {{"ワークシート (*.pdf)", "？番の商品を？番の出口へ"}, {"空欄のワークシート (*.pdf)", "（　）番の商品を（　）番の出口へ"}};
    for (const Case &c : cases) {
        const QString pdf = dir.filePath(QStringLiteral("sheet"));
        QTest::mouseClick(button, Qt::LeftButton);
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ワークシートの保存"));
        dialog->selectNameFilter(QString::fromUtf8(c.fileType));
        dialog->selectFile(pdf);
        QMetaObject::invokeMethod(dialog, &QDialog::accept);
        EXPECT_TRUE(f.messages.empty());
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf + QStringLiteral(".pdf"), QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(30000));
        QString words = QString::fromUtf8(text.readAllStandardOutput());
        // pdftotext keeps the ideographic spaces of "（　）" only sometimes: compare without spaces.
        const QRegularExpression spaces(QStringLiteral("[\\s\\x{3000}]"));
        words.remove(spaces);
        EXPECT_TRUE(words.contains(QString(QStringLiteral("商品排出") + QString::fromUtf8(c.words)).remove(spaces))) << words.toStdString();
        QFile::remove(pdf + QStringLiteral(".pdf"));
    }
}

// Dropping, moving, linking, a detail-dialog change and deleting, each taken back by Ctrl+Z
// and done again by Ctrl+Y; "キャンセル" afterwards still gives the part back as it was opened.
TEST(BlockEditorWindow, HistoryTakesBackEveryEditAndCancelStillRestores)
{
    WindowFixture f;
    const PartsRecord opened = f.rec();
    std::vector<PartsRecord> states{f.rec()};
    f.dragFromPalette(0, {100, 60}); // 0 商品排出
    states.push_back(f.rec());
    f.dragFromPalette(2, {100, 140}); // 1 購買可ランプ消灯
    states.push_back(f.rec());
    QTest::mousePress(f.canvas(), Qt::LeftButton, {}, f.boxCentre(1));
    QTest::mouseMove(f.canvas(), f.boxCentre(1) + QPoint(88, 40));
    QTest::mouseRelease(f.canvas(), Qt::LeftButton, {}, f.boxCentre(1) + QPoint(88, 40));
    ASSERT_NE(f.block(1).X, states.back().Blocks[1].X);
    states.push_back(f.rec());
    QTest::mouseDClick(f.canvas(), Qt::LeftButton, {}, {36, 12});
    QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, f.boxCentre(0));
    ASSERT_EQ(f.rec().FirstBlock, 0);
    states.push_back(f.rec());
    f.pickProductForFirstBlock();
    ASSERT_EQ(f.block(0).Param[1], ParamValue(f.product));
    states.push_back(f.rec());
    QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, f.boxCentre(1));
    QTest::mouseClick(f.window->deleteButton(), Qt::LeftButton);
    ASSERT_EQ(f.rec().BlockCount, 1);
    states.push_back(f.rec());

    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(f.rec(), states[i]) << "undo to state " << i;
    }
    EXPECT_EQ(f.m.app.CurBlock, -1);
    EXPECT_FALSE(f.window->deleteButton()->isEnabled());
    for (std::size_t i = 1; i < states.size(); ++i) {
        QTest::keyClick(f.window.get(), i % 2 ? Qt::Key_Y : Qt::Key_Z,
                        i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(f.rec(), states[i]) << "redo to state " << i;
    }
    EXPECT_TRUE(f.window->deleteButton()->isEnabled());

    QTest::mouseClick(f.window->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(f.rec(), opened);
}

// Keys go where a real keyboard sends them: to the widget that has the window's focus.
static void pressKey(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *target = window->focusWidget();
    QTest::keyClick(target ? target : window, key, modifiers);
}

TEST(BlockEditorWindow, CtrlZUndoesAfterTheDetailDialogAndBoxesThatCannotBeEditedTakeNoFocus)
{
    WindowFixture f;
    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    f.dragFromPalette(0, {100, 60});
    const PartsRecord one = f.rec();
    f.dragFromPalette(2, {100, 140});
    ASSERT_EQ(f.rec().BlockCount, 2);

    // A click into the box of the variable a button does not use, or into a next-block number,
    // leaves the focus where it was.
    for (QWidget *box : {static_cast<QWidget *>(f.window->variableField(2)),
                         static_cast<QWidget *>(f.window->findChild<QLineEdit *>(QStringLiteral("cTxt_NextBlockID1")))}) {
        ASSERT_NE(box, nullptr);
        if (!box->isVisible())
            continue;
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_NE(f.window->focusWidget(), box) << box->objectName().toStdString();
    }

    // The product is picked on the stage for the first block: the editor hides, comes back
    // and reopens the detail dialog; its ＯＫ leaves the flowchart with the focus.
    const PartsRecord two = f.rec();
    f.pickProductForFirstBlock();
    ASSERT_EQ(f.block(0).Param[1], ParamValue(f.product));
    ASSERT_EQ(f.window->detailDialog(), nullptr);
    // When the dialog goes, the window manager activates the editor again and the focus goes
    // back to the editor's focus child.
    EXPECT_EQ(f.window->focusWidget(), f.canvas());
    const PartsRecord picked = f.rec();
    pressKey(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.rec(), two) << "Ctrl+Z after the detail dialog takes back the pick";
    pressKey(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.rec(), one) << "and then the second block";
    pressKey(f.window.get(), Qt::Key_Y, Qt::ControlModifier);
    pressKey(f.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(f.rec(), picked);
}

// The execution-order frame keeps its controls where the design has them, and the exit
// captions show whole inside the frame.
TEST(BlockEditorWindow, ExecutionOrderFrameControlsInPlace)
{
    WindowFixture f;
    auto *frame = f.window->findChild<QGroupBox *>(QStringLiteral("FrameRunber"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(0, 240, 193, 97));
    const std::pair<const char *, QPoint> places[] = {
        {"lbl_NextBlockID", {24, 24}},    {"cmb_NextBlockSitei0", {16, 40}}, {"cmb_NextBlockSitei1", {104, 40}},
        {"cmdRunOrder", {16, 40}},        {"cTxt_NextBlockID1", {29, 56}},   {"cTxt_NextBlockID2", {114, 56}},
        {"lblTorF0", {10, 80}},           {"lblTorF1", {95, 80}},
    };
    for (const auto &[name, at] : places) {
        QWidget *w = frame->findChild<QWidget *>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->pos(), at) << name;
    }
    for (const char *name : {"lblTorF0", "lblTorF1"}) {
        auto *caption = frame->findChild<QLabel *>(QString::fromLatin1(name));
        EXPECT_LE(caption->sizeHint().width(), caption->width()) << name;
        EXPECT_TRUE(frame->rect().contains(caption->geometry())) << name;
    }
    EXPECT_EQ(frame->findChild<QLabel *>(QStringLiteral("lblTorF1"))->text(), QStringLiteral("（条件不成立時）"));
}

// The start box answers the right button as well as the left; nothing is outlined at load.
TEST(BlockEditorWindow, StartBoxAnswersEitherButtonAndNothingIsOutlinedAtLoad)
{
    WindowFixture f;
    f.dragFromPalette(0, {150, 100});
    f.m.part(f.button).FirstBlock = 0;
    f.window.reset();
    f.window = std::make_unique<BlockEditorWindow>(f.m, f.button, &f.stage, f.catalogue, [](const std::string &) {});
    f.window->show();
    EXPECT_EQ(f.window->model().outlineOn(), OutlineOn::Nothing);
    QTest::mouseClick(f.canvas(), Qt::RightButton, {}, QPoint(36, 12));
    EXPECT_EQ(f.window->model().outlineOn(), OutlineOn::StartBox);
}

TEST(FlowchartExport, ANameWithoutExtensionBecomesAPngPicture)
{
    const std::pair<const char *, const char *> names[] = {
        {"/tmp/ボタン", "/tmp/ボタン.png"},
        {"/tmp/ボタン.pdf", "/tmp/ボタン.pdf"},
        {"/tmp/ボタン.PNG", "/tmp/ボタン.PNG"},
        {"/tmp/版.2/ボタン", "/tmp/版.2/ボタン.png"},
    };
    for (const auto &[typed, saved] : names)
        EXPECT_EQ(BlockEditorWindow::withPictureExtension(QString::fromUtf8(typed)), QString::fromUtf8(saved)) << typed;
}

// The block's menu opens on the right button and is answered later: the editor goes on while
// it is up, and the entry chosen does what the editor's own buttons do.
TEST(BlockEditorWindow, TheBlocksMenuOffersItsEntriesAndDeleteRemovesTheBlock)
{
    WindowFixture f;
    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    f.dragFromPalette(0, {100, 60});
    f.dragFromPalette(2, {100, 140});
    ASSERT_EQ(f.rec().BlockCount, 2);
    const PartsRecord before = f.rec();

    const auto openMenu = [&]() -> QMenu * {
        QTest::mouseClick(f.canvas(), Qt::RightButton, {}, f.boxCentre(1));
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    };
    QMenu *menu = openMenu();
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            entries << action->text();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("指定１"), QStringLiteral("指定２"), QStringLiteral("削除")}));
    EXPECT_TRUE(menu->actions().value(0)->isEnabled());
    EXPECT_FALSE(menu->actions().value(1)->isEnabled()) << "a lamp block has one exit";

    QTest::keyClick(menu, Qt::Key_Escape); // closed without a choice: nothing changes
    QCoreApplication::processEvents();
    EXPECT_EQ(f.rec(), before);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    menu->setActiveAction(menu->actions().value(0));
    QTest::keyClick(menu, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("ジハンコウボウ　次に実行するブロック１を選択中"));
    QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, {36, 420}); // the end box
    EXPECT_EQ(f.block(1).NextBlock, 99);

    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    menu->setActiveAction(menu->actions().value(3));
    QTest::keyClick(menu, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.rec().BlockCount, 1);
    EXPECT_FALSE(f.block(1).isUsed());
    f.window->undo();
    EXPECT_EQ(f.rec().BlockCount, 2) << "the deletion is a step of the history";
}

// The stock number of a 在庫数比較 branch is typed into an input box answered later; a number
// out of range is refused with the prompt again, a good one lands in the block.
TEST(BlockEditorWindow, TheStockNumberIsTypedIntoABoxAnsweredLater)
{
    WindowFixture f;
    f.dragFromPalette(8, {100, 60});
    BlockDetailDialog *detail = f.pickVariableForFirstBlock(f.product, "B", 1);
    ASSERT_NE(detail, nullptr);
    ASSERT_EQ(detail->operandLabel(1)->text(), QStringLiteral("在庫数"));

    const std::pair<const char *, const char *> answers[] = {
        {"1001", "在庫数比較：0以上1000以下の数値を入力して下さい"},
        {"12", ""},
    };
    for (const auto &[typed, refusal] : answers) {
        QTest::mouseClick(detail->pickButton(2), Qt::LeftButton);
        auto *input = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr) << typed;
        EXPECT_EQ(input->windowTitle(), QStringLiteral("ジハンコウボウ"));
        EXPECT_EQ(input->labelText(), QString::fromUtf8(StockPrompt));
        EXPECT_EQ(f.window->detailDialog(), detail) << "the detail dialog stays open under the box";
        input->setTextValue(QString::fromUtf8(typed));
        input->accept();
        if (*refusal)
            EXPECT_EQ(f.messages.back(), refusal);
    }
    EXPECT_EQ(f.block(0).Param[5], ParamValue("12"));
}
