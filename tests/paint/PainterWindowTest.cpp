#include "PaintTestSupport.h"
#include "paint/CanvasSizeDialog.h"
#include "paint/CanvasView.h"
#include "paint/PainterWindow.h"
#include "paint/PaletteStrip.h"
#include "paint/PaletteWindow.h"
#include "paint/ToolColumn.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace jhk;
using namespace jhk::test;

namespace {

// A mouse move with buttons held (QTest's own moves carry no buttons).
void dragTo(QWidget *widget, QPoint to, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)), Qt::NoButton, held,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// The dialog the last call left open: nothing waits for it, the test answers it afterwards.
template <typename T>
T *openModal()
{
    return qobject_cast<T *>(QApplication::activeModalWidget());
}

void pressButton(QMessageBox *box, QMessageBox::StandardButton which)
{
    box->button(which)->click();
}

struct PainterWindowTest : testing::Test {
    QWidget owner;
    std::unique_ptr<PainterWindow> window;
    std::vector<QImage> handedBack;
    int quitCalls = 0;

    void SetUp() override
    {
        window = std::make_unique<PainterWindow>(&owner, 15, 15);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        PaintHooks hooks;
        hooks.handBack = [this](const QImage &picture) { handedBack.push_back(picture); };
        hooks.quit = [this] { ++quitCalls; };
        window->start(whitePicture(QSize(60, 40)), hooks);
        window->show();
    }
    CanvasView *canvas() { return window->canvas(); }
    void stroke(Qt::MouseButton button, QPoint from, QPoint to)
    {
        QTest::mousePress(canvas(), button, {}, from);
        dragTo(canvas(), to, button);
        QTest::mouseRelease(canvas(), button, {}, to);
    }
};

} // namespace

TEST_F(PainterWindowTest, AStrokeWithTheMouseDrawsAndNamesTheUndoItem)
{
    QAction *undo = window->action("mnuEditBack");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻せません"));
    stroke(Qt::LeftButton, QPoint(5, 5), QPoint(30, 5));
    EXPECT_EQ(window->session().drawing().pixel(20, 5), Black);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す - ペン(&B)"));
    undo->trigger();
    EXPECT_TRUE(inkedPixels(window->session().drawing()).empty());
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(PainterWindowTest, OkHandsBackTheDrawingAtZoomOneAndCancelTheFirstState)
{
    stroke(Qt::LeftButton, QPoint(3, 3), QPoint(3, 3));
    window->toolColumn()->toolButton(ToolZoom)->click();
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(canvas()->size(), QSize(120, 80));
    window->paletteStrip()->okButton()->click();
    ASSERT_EQ(handedBack.size(), 1u);
    EXPECT_EQ(handedBack[0].size(), QSize(60, 40));
    EXPECT_EQ(inkedPixels(handedBack[0]), std::vector<QPoint>{QPoint(3, 3)});
    EXPECT_FALSE(window->isVisible());

    window->start(whitePicture(QSize(20, 20)), {[this](const QImage &p) { handedBack.push_back(p); }, {}});
    window->show();
    stroke(Qt::LeftButton, QPoint(3, 3), QPoint(9, 9));
    window->cancel();
    ASSERT_EQ(handedBack.size(), 2u);
    EXPECT_EQ(handedBack[1], whitePicture(QSize(20, 20))) << "Cancel gives the first picture back";

    window->start(whitePicture(QSize(20, 20)), {[this](const QImage &p) { handedBack.push_back(p); }, {}});
    window->show();
    stroke(Qt::LeftButton, QPoint(3, 3), QPoint(9, 9));
    window->close();
    EXPECT_EQ(handedBack.size(), 2u) << "the close box gives nothing: the part keeps its picture";
}

TEST_F(PainterWindowTest, ExitRunsTheMainWindowsQuitPromptInsteadOfEndingAtOnce)
{
    window->action("mnuFileEnd")->trigger();
    EXPECT_EQ(quitCalls, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(handedBack.empty());
}

TEST_F(PainterWindowTest, NewAsksFirstAndNoKeepsTheDrawing)
{
    stroke(Qt::LeftButton, QPoint(4, 4), QPoint(4, 4));
    window->action("mnuFileNew")->trigger();
    QMessageBox *box = openModal<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("確認"));
    EXPECT_EQ(box->text(), QStringLiteral("作成・変更した絵がすべて消えてしまいますがよろしいですか？"));
    EXPECT_EQ(inkedPixels(window->session().drawing()).size(), 1u) << "nothing is thrown away before the answer";
    pressButton(box, QMessageBox::No);
    EXPECT_EQ(inkedPixels(window->session().drawing()).size(), 1u);
    window->action("mnuFileNew")->trigger();
    box = openModal<QMessageBox>();
    ASSERT_NE(box, nullptr);
    pressButton(box, QMessageBox::Yes);
    EXPECT_TRUE(inkedPixels(window->session().drawing()).empty());
    EXPECT_EQ(window->action("mnuEditBack")->text(), QStringLiteral("元に戻せません"));
}

TEST_F(PainterWindowTest, OpeningAFileThatIsNoPictureSaysSoAndKeepsTheDrawing)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.bmp"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    stroke(Qt::LeftButton, QPoint(4, 4), QPoint(4, 4));

    window->openPictureFile(junk);
    QMessageBox *box = openModal<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("ﾍﾟｲﾝﾄﾂｰﾙ"));
    EXPECT_TRUE(box->text().contains(QStringLiteral("junk.bmp")));
    pressButton(box, QMessageBox::Ok);
    EXPECT_EQ(inkedPixels(window->session().drawing()).size(), 1u);
    EXPECT_TRUE(window->action("mnuEditBack")->isEnabled());
}

// Open, save and the size change are dialogs answered later: the program goes on meanwhile,
// and the answer does what the command did when it waited.
TEST_F(PainterWindowTest, FileAndSizeDialogsAnswerLaterWithTheirEffect)
{
    QTemporaryDir dir;
    stroke(Qt::LeftButton, QPoint(4, 4), QPoint(4, 4));

    window->action("mnuFileASave")->trigger();
    auto *save = openModal<QFileDialog>();
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->windowTitle(), QStringLiteral("ﾌｧｲﾙを保存"));
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->nameFilters().value(0), QStringLiteral("BMPファイル (*.bmp)"));
    const QString saved = dir.filePath(QStringLiteral("drawing.bmp"));
    save->selectFile(saved);
    QMetaObject::invokeMethod(save, &QDialog::accept);
    ASSERT_TRUE(QFile::exists(saved));

    window->action("mnuFileLoad")->trigger();
    QMessageBox *box = openModal<QMessageBox>();
    ASSERT_NE(box, nullptr);
    pressButton(box, QMessageBox::Yes);
    QCoreApplication::processEvents();
    auto *open = openModal<QFileDialog>();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->windowTitle(), QStringLiteral("ﾌｧｲﾙを開く"));
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    open->selectFile(saved);
    QMetaObject::invokeMethod(open, &QDialog::accept);
    EXPECT_EQ(window->session().drawing().pixel(4, 4), Black);
    EXPECT_EQ(window->session().size(), QSize(60, 40));

    window->action("mnuGraficSizeCng")->trigger();
    auto *size = openModal<CanvasSizeDialog>();
    ASSERT_NE(size, nullptr);
    size->reject();
    EXPECT_EQ(window->session().size(), QSize(60, 40));
    window->action("mnuGraficSizeCng")->trigger();
    size = openModal<CanvasSizeDialog>();
    ASSERT_NE(size, nullptr);
    size->presetButton(0)->click();
    const QSize chosen = size->model().pixelSize();
    EXPECT_NE(chosen, QSize(60, 40));
    for (QPushButton *button : size->findChildren<QPushButton *>())
        if (button->text() == QStringLiteral("OK"))
            button->click();
    EXPECT_EQ(window->session().size(), chosen);
}

TEST_F(PainterWindowTest, AlwaysOnTopTogglesForEachWindowOnItsOwn)
{
    QAction *front = window->action("mnuDispFront");
    QAction *paletteFront = window->action("mnuDispPalFront");
    front->trigger();
    EXPECT_TRUE(front->isChecked());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->paletteWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    paletteFront->trigger();
    EXPECT_TRUE(window->paletteWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    front->trigger();
    EXPECT_FALSE(front->isChecked());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(PainterWindowTest, TypedTextIsPlacedByClickingItsBox)
{
    window->toolColumn()->toolButton(ToolText)->click();
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(6, 8));
    QLineEdit *box = canvas()->textBox();
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->pos(), QPoint(6, 8));
    const int emptyWidth = box->width();
    QTest::keyClicks(box, QStringLiteral("JIHAN"));
    EXPECT_GT(box->width(), emptyWidth); // the box grows with its text
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(box->isVisible());
    EXPECT_FALSE(inkedPixels(window->session().drawing()).empty());
    EXPECT_EQ(window->action("mnuEditBack")->text(), QStringLiteral("元に戻す - 文字(&B)"));

    // Enter places the text too.
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(40, 30));
    ASSERT_TRUE(box->isVisible());
    const std::size_t inked = inkedPixels(window->session().drawing()).size();
    QTest::keyClicks(box, QStringLiteral("KAN"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_GT(inkedPixels(window->session().drawing()).size(), inked);
}

TEST_F(PainterWindowTest, ToolsShowTheirOptionPanels)
{
    ToolColumn *tools = window->toolColumn();
    tools->toolButton(ToolRectangle)->click();
    EXPECT_TRUE(tools->lineWidthPanel()->isVisible());
    EXPECT_TRUE(tools->fillPanel()->isVisible());
    EXPECT_FALSE(tools->eraserPanel()->isVisible());
    QTest::mouseClick(tools->fillPanel(), Qt::LeftButton, {}, QPoint(20, 40));
    EXPECT_EQ(window->session().state().FillShapes, 1);
    tools->toolButton(ToolEraser)->click();
    EXPECT_FALSE(tools->lineWidthPanel()->isVisible());
    EXPECT_TRUE(tools->eraserPanel()->isVisible());
    tools->toolButton(ToolFill)->click();
    EXPECT_FALSE(tools->eraserPanel()->isVisible() || tools->fillPanel()->isVisible());
}

TEST_F(PainterWindowTest, DoubleClickOnTheFrontBoxOpensThePaletteAndTheRedBarColoursThePen)
{
    QTest::mouseDClick(window->paletteStrip()->frontBox(), Qt::LeftButton);
    PaletteWindow *palette = window->paletteWindow();
    ASSERT_TRUE(palette->isVisible());
    EXPECT_EQ(palette->model().title(), QStringLiteral("前景色"));
    ColourBar *red = palette->bar(PaletteModel::Red);
    QTest::mousePress(red, Qt::LeftButton, {}, QPoint(red->width() / 2, 5));
    EXPECT_EQ(palette->model().value(PaletteModel::Red), 127); // 67 of 135 pixels
    dragTo(red, QPoint(red->width() + 30, 5), Qt::LeftButton); // past the end: 255
    EXPECT_EQ(window->session().state().FrontColor, 0x0000FFu);
    EXPECT_EQ(window->paletteStrip()->frontBox()->colour(), 0x0000FFu);
    stroke(Qt::LeftButton, QPoint(8, 8), QPoint(8, 8));
    EXPECT_EQ(window->session().drawing().pixel(8, 8), 0xFFFF0000);

    // The value sits left of the middle of its box: at (25 − text width) / 2 − 4.
    auto *green = palette->findChild<QLabel *>(QStringLiteral("picGColor"));
    ASSERT_EQ(green->text(), QStringLiteral("0"));
    const QImage box = green->grab().toImage();
    const QColor background = box.pixelColor(box.width() - 1, 0);
    int inkLeft = box.width();
    for (int x = 0; x < box.width() && inkLeft == box.width(); ++x)
        for (int y = 0; y < box.height(); ++y)
            if (box.pixelColor(x, y) != background)
                inkLeft = x;
    const int expected = (25 - QFontMetrics(green->font()).horizontalAdvance(QStringLiteral("0"))) / 2 - 4;
    EXPECT_GE(inkLeft, expected);
    EXPECT_LE(inkLeft, expected + 2) << "no further right than the glyph's own bearing";
}

TEST(CanvasSizeDialogTest, RightButtonOnAnArrowRepeatsUntilReleasedAndOkGivesPixels)
{
    CanvasSizeDialog dialog(QSize(100, 50), QSize(475, 395), 15, 15);
    QPushButton *up = dialog.arrowButton(CanvasSizeModel::WidthUp);
    EXPECT_EQ(up->text(), QStringLiteral("▲"));
    EXPECT_EQ(dialog.arrowButton(CanvasSizeModel::HeightDown)->text(), QStringLiteral("▼"));
    QTest::mousePress(up, Qt::RightButton);
    EXPECT_TRUE(dialog.repeating());
    QTest::qWait(350);
    QTest::mouseRelease(up, Qt::RightButton);
    EXPECT_FALSE(dialog.repeating());
    const int width = dialog.sizeBox(CanvasSizeModel::Width)->text().toInt();
    EXPECT_GE(width, 102);

    QTest::mouseClick(dialog.arrowButton(CanvasSizeModel::HeightDown), Qt::LeftButton);
    EXPECT_EQ(dialog.sizeBox(CanvasSizeModel::Height)->text(), QStringLiteral("49"));
    dialog.presetButton(1)->click();
    EXPECT_FALSE(dialog.inputBox(CanvasSizeModel::Width)->isEnabled());
    EXPECT_EQ(dialog.sizeBox(CanvasSizeModel::Height)->text(), QStringLiteral("395"));
    dialog.unitButton(CanvasSizeModel::Centimetres)->click();
    EXPECT_EQ(dialog.sizeBox(CanvasSizeModel::Width)->text(), QStringLiteral("12.56"));
    const auto buttons = dialog.findChildren<QPushButton *>();
    for (QPushButton *b : buttons)
        if (b->text() == QStringLiteral("OK"))
            b->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenSize(), QSize(475, 395));
}
