#include "FakeDialogs.h"
#include "document/JhkDocument.h"
#include "document/JhkLayout.h"
#include "paint/PaintEntry.h"
#include "paint/PainterWindow.h"
#include "model/AppState.h"
#include "stage/LabelEditorDialog.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"
#include "stage/FocusMark.h"
#include "stage/SaveKeyNote.h"
#include "ui/QtUserDialogs.h"
#include "stage/OptionDialog.h"
#include "stage/PropertyDialog.h"
#include "stage/SplashWindow.h"
#include "stage/StartWindow.h"
#include "print/PrintDialog.h"
#include "ui/StagePictures.h"

#include <algorithm>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QDialog>
#include <QMessageBox>
#include <QAbstractButton>
#include <QComboBox>
#include <QTest>
#include <QToolTip>
#include <QTimer>

#include <gtest/gtest.h>

namespace jhk {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void open(int level)
    {
        applyStartupValues(m.app, 15, 15);
        StartChoice{level, 0}.apply(m.app);
        window = std::make_unique<MainWindow>(m, QStringLiteral(JHK_APP_DIR), &dialogs);
        window->show();
    }

    // Drops palette button `index` at a stage point (pixels) and answers the property
    // dialog with `answer`.
    void drop(int index, QPoint stagePoint, std::function<void(PropertyDialog &)> answer = {})
    {
        QTimer::singleShot(0, [answer] {
            if (auto *d = qobject_cast<PropertyDialog *>(QApplication::activeModalWidget())) {
                if (answer)
                    answer(*d);
                else
                    d->pressOk();
            }
        });
        window->dropPalette(index, window->stageWidget()->mapToGlobal(stagePoint));
        QCoreApplication::processEvents(); // a drop that opened no dialog leaves no answer behind
    }

    QString text(const char *name) const
    {
        auto *label = qobject_cast<QLabel *>(window->control(name));
        return label ? label->text() : QString();
    }

    // The menu bar's action whose text is `caption`, in any menu.
    QAction *menuAction(const QString &caption) const
    {
        for (QAction *top : window->menuBar()->actions())
            if (top->menu())
                for (QAction *a : top->menu()->actions())
                    if (a->text() == caption)
                        return a;
        return nullptr;
    }

    // "元に戻す" (mnuUndo) or "やり直し" (mnuRedo) of the Edit menu, whatever step it names.
    QAction *editAction(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }

    // The machine's document, without the current part's number: selecting is no edit.
    std::vector<std::uint8_t> document() const
    {
        std::vector<std::uint8_t> bytes = encodeDocument(m).bytes;
        bytes[DocumentHeaderSize + 3] = bytes[DocumentHeaderSize + 4] = 0;
        return bytes;
    }

    QStringList menuTitles() const
    {
        QStringList titles;
        for (QAction *a : window->menuBar()->actions())
            if (a->isVisible())
                titles << a->text();
        return titles;
    }

    Machine m;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, LayoutAndMenusFollowTheLevel)
{
    open(1);
    EXPECT_EQ(menuTitles(), (QStringList{"ファイル(&F&ﾌ)", "編集(&E)", "ステップ(&S)", "オプション(&O)"}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ジハン・コウボウ"));
    EXPECT_EQ(window->control("Picture1")->geometry(), QRect(136, 0, 408, 500));
    EXPECT_EQ(window->control("cmdPartsButton5")->geometry(), QRect(63, 144, 57, 64));
    EXPECT_EQ(window->control("cmdLabelButton")->geometry(), QRect(6, 272, 114, 38));
    EXPECT_EQ(window->control("cmd_DelParts")->geometry(), QRect(5, 336, 114, 40));
    EXPECT_EQ(window->control("cmdStart")->geometry(), QRect(8, 56, 121, 25));
    EXPECT_EQ(window->control("FrameLEVEL")->geometry(), QRect(552, 277, 219, 232));
    EXPECT_FALSE(window->control("cmd_DelParts")->isEnabled());
    EXPECT_FALSE(window->control("FrameChart")->isVisible());
    EXPECT_EQ(text("Label4"), QStringLiteral("所持金：￥2670"));
    EXPECT_EQ(m.app.MoneyInHand, 2670);
    EXPECT_EQ(text("lblNowState"), QStringLiteral("編集中"));
    EXPECT_EQ(text("lbl_LEVEL"), QStringLiteral("レベル1"));
    EXPECT_EQ(text("lblNowStep"), QStringLiteral("ステップ１")) << "the design caption until the step is switched";
    EXPECT_TRUE(window->control("lblStepKaisetsu")->isVisible());
    EXPECT_FALSE(window->control("Command4")->isVisible()) << "財布 is a run control";
    QWidget *tenYen = window->stageWidget()->findChild<QWidget *>(QStringLiteral("img_10yen"));
    ASSERT_NE(tenYen, nullptr);
    EXPECT_EQ(tenYen->toolTip(), QStringLiteral("見ての通り１０円玉です"));
    QWidget *chartLabel = window->control("lblChart0");
    ASSERT_NE(chartLabel, nullptr);
    EXPECT_EQ(chartLabel->parentWidget()->objectName(), QStringLiteral("picChart"));
    EXPECT_EQ(chartLabel->geometry(), QRect(0, 0, 73, 25));
    const QSize fixed = window->size();
    window->resize(1000, 700);
    EXPECT_EQ(window->size(), fixed);
}

TEST_F(MainWindowTest, HigherLevelHidesTheStepMenuAndPanel)
{
    open(3);
    EXPECT_EQ(menuTitles(), (QStringList{"ファイル(&F&ﾌ)", "編集(&E)", "オプション(&O)"}));
    EXPECT_FALSE(window->control("lblNowStep")->isVisible());
    EXPECT_EQ(text("lblKaisetsu"), QStringLiteral("パーツ・ブロックを自由に選択し、設定する事ができます。"));
}

TEST_F(MainWindowTest, DroppingAPaletteButtonPlacesAPartThroughThePropertyDialog)
{
    open(3);
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.scrollBar()->setValue(2);
        d.valueBox(0)->setText(QStringLiteral("120"));
        d.pressOk();
    });
    ASSERT_EQ(m.app.PartsCount, 1);
    EXPECT_EQ(m.part(0).PictName, "\\bg\\kan_3.bmp");
    EXPECT_EQ(m.part(0).A(), 120);
    EXPECT_EQ(window->stage().part(0).rect.left, 1500);
    EXPECT_EQ(text("lblPartsCount"), QStringLiteral("パーツの数：1個"));
    EXPECT_EQ(text("lblPartsID"), QStringLiteral("パーツ番号：0"));
    EXPECT_TRUE(window->control("cmd_DelParts")->isEnabled());

    drop(KindButton, QPoint(110, 60)); // onto the part: ignored
    EXPECT_EQ(m.app.PartsCount, 1);
    drop(KindCoinSlot, QPoint(300, 300), [](PropertyDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(m.app.PartsCount, 1);
    drop(PartsKindCount, QPoint(10, 400)); // the label button
    EXPECT_EQ(m.app.LabelCount, 1);
    EXPECT_EQ(text("lbl_PartsName"), QStringLiteral("ラベル1"));
}

TEST_F(MainWindowTest, SavedMachineOpensAgainAndRefusedFilesChangeNothing)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("machine.JHK")).toStdString();
    open(3);
    drop(KindCounter, QPoint(50, 80));
    drop(PartsKindCount, QPoint(200, 400));
    dialogs.files.push_back(path);
    ASSERT_TRUE(window->saveFile());

    window->editor().deleteCurrent(); // the label
    EXPECT_EQ(m.app.LabelCount, 0);
    dialogs.answers.push_back(Answer::No); // do not save the change
    dialogs.files.push_back(path);
    ASSERT_TRUE(window->openFile());
    EXPECT_EQ(dialogs.shown.back(), "今のマシンには保存されていない変更があります。\r\n保存しますか？");
    EXPECT_EQ(m.app.PartsCount, 1);
    EXPECT_EQ(m.app.LabelCount, 1);
    EXPECT_TRUE(window->stage().labels[1].visible);
    EXPECT_TRUE(window->stage().part(0).numberShown);
    EXPECT_EQ(window->stage().part(0).rect.left, 50 * 15);

    // A file that is not a machine document leaves everything as it was.
    const QString bad = dir.filePath(QStringLiteral("bad.JHK"));
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a machine at all");
    }
    const std::size_t before = dialogs.shown.size();
    EXPECT_FALSE(window->openFile(bad.toStdString()));
    EXPECT_GT(dialogs.shown.size(), before);
    EXPECT_EQ(m.app.PartsCount, 1);
    EXPECT_TRUE(m.part(0).isUsed());
    EXPECT_TRUE(window->stage().part(0).visible);

    // Cancelling the unsaved-changes question keeps the machine without asking for a file.
    window->editor().deleteCurrent();
    dialogs.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(window->openFile());
    EXPECT_EQ(m.app.LabelCount, 0);
}

// A level-1 document with nothing on its stage still puts the exercise in step 1: the panel,
// the menu and the step itself agree.
TEST_F(MainWindowTest, EmptyLevelOneDocumentOpensInStepOne)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("empty.JHK")).toStdString();
    open(1);
    dialogs.files.push_back(path);
    ASSERT_TRUE(window->saveFile());
    window->chooseStep(3);
    ASSERT_EQ(m.app.Step, 3);
    ASSERT_TRUE(window->openFile(path));
    EXPECT_EQ(m.app.Step, 1);
    EXPECT_EQ(text("lblNowStep"), QStringLiteral("ステップ1"));
    int checked = -1;
    const QList<QAction *> steps = window->findChild<QMenu *>(QStringLiteral("MnuStep"))->actions();
    for (int i = 0; i < steps.size(); ++i)
        if (steps[i]->isChecked())
            checked = i;
    EXPECT_EQ(checked, 0);
}

// The splash's texts are placed without being measured: each must still fit its place whole,
// the version must share the title's bottom line, the prompt sit 6 pixels above the bottom.
// A screen reader hears them through the window's description.
TEST_F(MainWindowTest, SplashTextsFitTheirPlaces)
{
    SplashWindow splash;
    const auto &[name, version, click] = splash.texts();
    const auto needed = [](const SplashWindow::Text &text) {
        return QFontMetrics(text.font).boundingRect(QRect(), static_cast<int>(text.alignment), text.text).size();
    };
    for (const SplashWindow::Text &text : splash.texts()) {
        EXPECT_LE(needed(text).width(), text.place.width()) << text.name;
        EXPECT_LE(needed(text).height(), text.place.height()) << text.name;
        EXPECT_TRUE(QRect(QPoint(0, 0), splash.size()).contains(text.place)) << text.name;
    }
    // name and version side by side, not over each other
    EXPECT_LE(12 + needed(name).width(), splash.width() - 12 - needed(version).width());
    EXPECT_EQ(name.place.bottom(), version.place.bottom());
    EXPECT_EQ(click.place.bottom(), splash.height() - 6 - 1);
    EXPECT_EQ(click.text, QStringLiteral("－ウィンドウをクリックして下さい。－"));

    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(&splash);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->text(QAccessible::Name), splash.windowTitle());
    EXPECT_EQ(reader->text(QAccessible::Description),
              QStringList({name.text, version.text, click.text}).join(QLatin1Char('\n')));
}

// Window sizes are outer sizes, frame and caption included: the client area is 8 pixels
// narrower and 30 pixels lower.
TEST_F(MainWindowTest, DialogSizesIncludeFrameAndCaption)
{
    open(2);
    const QSize frame(8, 30);
    StagePictures pictures(QStringLiteral(JHK_APP_DIR));
    EXPECT_EQ(SplashWindow().size(), QSize(436, 286) - frame);
    EXPECT_EQ(StartWindow(pictures, 15).size(), QSize(392, 305) - frame);
    EXPECT_EQ(OptionDialog(m.app, dialogs).size(), QSize(397, 273) - frame);
    QSize property;
    drop(KindProduct, QPoint(100, 50), [&](PropertyDialog &d) {
        property = d.size();
        d.pressOk();
    });
    EXPECT_EQ(property, QSize(370, 254) - frame);
    drop(PartsKindCount, QPoint(10, 400));
    ASSERT_EQ(m.app.LabelCount, 1);
    QSize labelEditor;
    QTimer::singleShot(0, [&] {
        if (auto *d = qobject_cast<LabelEditorDialog *>(QApplication::activeModalWidget())) {
            labelEditor = d->size();
            d->reject();
        }
    });
    const QPoint at(15, 405);
    QWidget *stageWidget = window->stageWidget();
    QTest::mousePress(stageWidget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(stageWidget, Qt::LeftButton, {}, at);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, stageWidget->mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(stageWidget, &doubleClick);
    QCoreApplication::processEvents(); // the editor answers
    EXPECT_EQ(labelEditor, QSize(397, 273) - frame);
}

// The level question is asked over the open settings window, which closes once answered; a
// second menu click brings the open window to the front instead of opening another.
TEST_F(MainWindowTest, OneSettingsAndOnePrintWindowAndTheQuestionOverTheSettings)
{
    open(2);
    window->showOptions();
    window->showOptions();
    const QList<OptionDialog *> options = window->findChildren<OptionDialog *>();
    ASSERT_EQ(options.size(), 1);
    OptionDialog *dialog = options[0];
    window->showPrintDialog();
    window->showPrintDialog();
    EXPECT_EQ(window->findChildren<PrintDialog *>().size(), 1);

    struct Watching : test::FakeDialogs {
        QPointer<QWidget> settings;
        std::vector<bool> visibleWhenAsked;
        void ask(std::string_view text, MessageButtons buttons, MessageIcon icon, AnswerHandler answered) override
        {
            visibleWhenAsked.push_back(settings && settings->isVisible());
            FakeDialogs::ask(text, buttons, icon, std::move(answered));
        }
    };
    Watching watching;
    watching.settings = dialog;
    watching.answers.push_back(Answer::Yes);
    OptionDialog raising(m.app, watching);
    watching.settings = &raising;
    raising.show();
    raising.findChild<QRadioButton *>(QStringLiteral("optLevel2"))->setChecked(true);
    raising.pressOk();
    EXPECT_EQ(m.app.Level, 3);
    EXPECT_EQ(watching.shown, (std::vector<std::string>{"レベルを変更しますか？レベルは元に戻す事や、下げる事はできません",
                                                         "レベルを3に変更しました"}));
    EXPECT_EQ(watching.visibleWhenAsked, (std::vector<bool>{true, false}));
    EXPECT_FALSE(raising.isVisible());
}

// A placed part's picture and starting values change through its right-click menu; Cancel
// keeps the part as it was.
// The close box (Alt+F4) of a just-placed part's dialog does what キャンセル does: no part with
// price 0 is left behind. Letters typed as a price are refused, naming the box, and stay.
TEST_F(MainWindowTest, PropertyDialogCloseBoxCancelsAndLettersAreRefused)
{
    open(3);
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) { d.close(); });
    EXPECT_EQ(m.app.PartsCount, 0);
    EXPECT_FALSE(m.part(0).isUsed());
    EXPECT_FALSE(window->stage().part(0).visible);

    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.valueBox(0)->setText(QStringLiteral("abc"));
        d.pressOk();
        EXPECT_TRUE(d.isVisible()) << "the dialog stays open";
        EXPECT_EQ(d.valueBox(0)->text(), QStringLiteral("abc"));
        d.valueBox(0)->setText(QStringLiteral("130"));
        d.pressOk();
    });
    EXPECT_EQ(dialogs.shown.back(), "「値段」には数値を入力して下さい");
    ASSERT_TRUE(m.part(0).isUsed());
    EXPECT_EQ(m.part(0).A(), 130);
}

// The box of a variable the kind does not use shows its value but takes neither typing nor the
// keyboard focus: Tab goes from the price to the stock and on to the buttons.
TEST_F(MainWindowTest, PropertyDialogBoxesOfUnusedVariablesTakeNoFocus)
{
    open(3);
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        QLineEdit *unused = d.valueBox(2);
        EXPECT_TRUE(unused->isVisible());
        EXPECT_EQ(unused->text(), QStringLiteral("0"));
        EXPECT_TRUE(unused->isReadOnly());
        EXPECT_EQ(unused->focusPolicy(), Qt::NoFocus);
        for (int i = 0; i < 2; ++i) {
            EXPECT_FALSE(d.valueBox(i)->isReadOnly());
            EXPECT_NE(d.valueBox(i)->focusPolicy(), Qt::NoFocus);
        }
        d.valueBox(1)->setFocus();
        QTest::keyClick(d.valueBox(1), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), unused);
        QTest::keyClicks(unused, QStringLiteral("12"));
        EXPECT_EQ(unused->text(), QStringLiteral("0"));
        d.pressOk();
    });
    ASSERT_TRUE(m.part(0).isUsed());
    EXPECT_EQ(m.part(0).C(), 0);
}

TEST_F(MainWindowTest, PartPropertiesChangeAfterPlacingAndCancelKeepsThePart)
{
    open(3);
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.valueBox(0)->setText(QStringLiteral("120"));
        d.pressOk();
    });
    ASSERT_EQ(m.app.PartsCount, 1);
    const PartsRecord placed = m.part(0);

    auto answer = [](std::function<void(PropertyDialog &)> f) {
        QTimer::singleShot(0, [f] {
            if (auto *d = qobject_cast<PropertyDialog *>(QApplication::activeModalWidget()))
                f(*d);
        });
    };
    answer([](PropertyDialog &d) {
        d.scrollBar()->setValue(3);
        d.valueBox(0)->setText(QStringLiteral("150"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    window->changePartProperties(0);
    QCoreApplication::processEvents(); // the dialog answers
    EXPECT_EQ(m.part(0), placed);
    EXPECT_TRUE(window->stage().part(0).visible);

    answer([](PropertyDialog &d) {
        d.scrollBar()->setValue(2);
        d.valueBox(0)->setText(QStringLiteral("150"));
        d.pressOk();
    });
    window->changePartProperties(0);
    QCoreApplication::processEvents(); // the dialog answers
    EXPECT_EQ(m.part(0).PictName, "\\bg\\kan_3.bmp");
    EXPECT_EQ(m.part(0).A(), 150);
    EXPECT_EQ(window->stage().part(0).picture, "\\bg\\kan_3.bmp");

    // The menu itself: a right-click on the part in editing mode.
    QString entry;
    QTimer::singleShot(200, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            entry = menu->actions().value(0)->text();
            menu->close();
        }
    });
    const QRect part = window->stageWidget()->toPixels(window->stage().part(0).rect);
    QTest::mouseClick(window->stageWidget(), Qt::RightButton, {}, part.center());
    QTest::qWait(400);
    EXPECT_EQ(entry, QStringLiteral("プロパティの変更..."));
}

TEST_F(MainWindowTest, QuittingStaysWhenTheSaveIsCancelled)
{
    open(3);
    drop(KindProduct, QPoint(100, 50));
    dialogs.answers.push_back(Answer::Yes);
    QCloseEvent event;
    QApplication::sendEvent(window.get(), &event);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_EQ(m.app.PartsCount, 1);

    dialogs.answers.push_back(Answer::No);
    QCloseEvent again;
    QApplication::sendEvent(window.get(), &again);
    EXPECT_TRUE(again.isAccepted());
}

TEST_F(MainWindowTest, StepMenuSwitchesTheExercise)
{
    open(1);
    drop(KindButton, QPoint(100, 50));
    EXPECT_EQ(m.part(0).BlockCount, 1);
    window->chooseStep(3);
    EXPECT_EQ(m.app.Step, 3);
    EXPECT_EQ(m.part(0).BlockCount, 5);
    EXPECT_EQ(text("lblNowStep"), QStringLiteral("ステップ3"));
    m.app.RunMode = ModeRunning;
    window->chooseStep(1);
    EXPECT_EQ(m.app.Step, 3) << "no step change during a run";
}

// A real double-click: press, release, press and the double-click event, which opens the
// label editor; the last button-up goes to the editor, not to the stage.
TEST_F(MainWindowTest, LabelDeletedAfterItsEditorWasCancelledStaysDeleted)
{
    open(3);
    drop(KindProduct, QPoint(200, 50));
    drop(PartsKindCount, QPoint(10, 400));
    drop(PartsKindCount, QPoint(10, 450));
    ASSERT_EQ(m.app.LabelCount, 2);
    QWidget *stageWidget = window->stageWidget();
    const auto doubleClick = [&](QPoint at) {
        QTest::mousePress(stageWidget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(stageWidget, Qt::LeftButton, {}, at);
        QTest::mousePress(stageWidget, Qt::LeftButton, {}, at);
        QTimer::singleShot(0, [] {
            if (auto *d = qobject_cast<LabelEditorDialog *>(QApplication::activeModalWidget())) {
                QTest::mouseRelease(d, Qt::LeftButton);
                d->reject();
            }
        });
        QMouseEvent event(QEvent::MouseButtonDblClick, at, stageWidget->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(stageWidget, &event);
        QCoreApplication::processEvents(); // the editor answers
    };

    doubleClick(QPoint(15, 405));
    doubleClick(QPoint(15, 455));
    EXPECT_EQ(m.app.CurParts, 2);
    EXPECT_EQ(text("Label1"), QStringLiteral("150")) << "the fields show the label double-clicked";
    EXPECT_EQ(text("Label2"), QStringLiteral("6750"));

    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmd_DelParts")), Qt::LeftButton);
    EXPECT_EQ(m.app.LabelCount, 1);
    EXPECT_EQ(text("lbl_PartsName"), QStringLiteral("ラベル1"));
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(stageWidget, Qt::LeftButton, {}, QPoint(300, 300));
        QTest::mouseClick(stageWidget, Qt::LeftButton, {}, QPoint(15, 455));
    }
    EXPECT_FALSE(window->stage().labels[2].visible);
    EXPECT_FALSE(m.label(2).isUsed());
    EXPECT_EQ(m.app.LabelCount, 1);
    EXPECT_EQ(m.app.CurParts, 1);
    EXPECT_EQ(text("lbl_PartsName"), QStringLiteral("ラベル1"));

    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("labels.JHK")).toStdString();
    dialogs.files.push_back(path);
    ASSERT_TRUE(window->saveFile());
    ASSERT_TRUE(window->openFile(path)) << (dialogs.shown.empty() ? "" : dialogs.shown.back());
    EXPECT_EQ(m.app.LabelCount, 1);
    EXPECT_TRUE(window->stage().labels[1].visible);
    EXPECT_FALSE(window->stage().labels[2].visible);
}

TEST_F(MainWindowTest, PartNumbersShowWholeOnSmallParts)
{
    open(3);
    for (int n = 0; n <= 12; ++n)
        drop(KindCoinSlot, QPoint(10 + (n % 6) * 60, 10 + (n / 6) * 60));
    ASSERT_EQ(m.app.PartsCount, 13);
    const QRect part = window->stageWidget()->toPixels(window->stage().part(12).rect);
    ASSERT_EQ(part.width(), 30);
    const QImage shot = window->stageWidget()->grab().toImage();
    // "No.12" is wider than the 30-pixel coin slot: it stands above the part, never over it.
    auto numberPixels = [&](const QRect &area) {
        int found = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y) {
                const QColor c = shot.pixelColor(x, y);
                found += c.green() > 0xC0 && c.red() < c.green() && c.blue() < c.green();
            }
        return found;
    };
    EXPECT_GT(numberPixels(QRect(part.left(), part.top() - 12, 40, 12)), 0);
    EXPECT_GT(numberPixels(QRect(part.right() + 1, part.top() - 12, 8, 12)), 0) << "the whole number shows";

    // Above the part where there is room, else beside it.
    const QRect stage(0, 0, 408, 500);
    const QSize number(40, 12);
    const std::pair<QRect, QPoint> cases[] = {
        {QRect(100, 100, 30, 30), QPoint(100, 88)},
        {QRect(100, 5, 30, 30), QPoint(130, 5)},   // at the top edge: to the right
        {QRect(370, 5, 30, 30), QPoint(330, 5)},   // and at the right edge too: to the left
        {QRect(0, 0, 408, 30), QPoint(0, 0)},      // no room anywhere: its corner
    };
    for (const auto &[partRect, at] : cases)
        EXPECT_EQ(StageWidget::partNumberRect(partRect, number, stage).topLeft(), at) << partRect.x() << "," << partRect.y();
}

TEST_F(MainWindowTest, StageRepaintsOnceAndOnlyWhatAnActionChanged)
{
    open(3);
    drop(KindButton, QPoint(20, 20));
    drop(KindButton, QPoint(20, 150));
    ASSERT_EQ(m.app.PartsCount, 2);
    std::vector<int> placed;
    for (int i = 0; i < PartSlots; ++i)
        if (m.partExists(i))
            placed.push_back(i);
    const int first = placed[0];
    const int second = placed[1];
    // The first button lights the second button's buy lamp, then its own sold-out lamp: two
    // changes of the stage from one click.
    PartsRecord &p = m.part(first);
    p.FirstBlock = 0;
    p.BlockCount = 2;
    for (int b = 0; b < 2; ++b) {
        BlockRecord &r = p.Blocks[static_cast<std::size_t>(b)];
        r.Used = -1;
        r.Kind = static_cast<std::int16_t>(b == 0 ? BlockBuyLampOn : BlockSoldOutLampOn);
        r.Param[1] = ParamValue(static_cast<std::int16_t>(b == 0 ? second : first));
        r.NextBlock = static_cast<std::int16_t>(b == 0 ? 1 : LinkEnd);
        r.Complete = -1;
    }
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    ASSERT_EQ(m.app.RunMode, ModeRunning);

    StageWidget *stage = window->stageWidget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    struct PaintLog : QObject {
        std::vector<QRegion> regions;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                regions.push_back(static_cast<QPaintEvent *>(e)->region());
            return false;
        }
    } log;
    stage->installEventFilter(&log);
    const QRect firstRect = stage->toPixels(window->stage().part(first).rect);
    const QRect secondRect = stage->toPixels(window->stage().part(second).rect);
    QTest::mouseClick(stage, Qt::LeftButton, {}, firstRect.center());
    QCoreApplication::processEvents();
    stage->removeEventFilter(&log);

    ASSERT_EQ(window->stage().part(second).picture, ButtonBuyPicture);
    ASSERT_EQ(window->stage().part(first).picture, ButtonSoldOutPicture);
    ASSERT_EQ(log.regions.size(), 1u) << "one repaint for the click";
    const QRegion painted = log.regions.front();
    EXPECT_TRUE(painted.contains(firstRect) && painted.contains(secondRect));
    EXPECT_FALSE(painted.contains(QPoint(300, 300))) << "the rest of the stage is left as it is";
}

TEST_F(MainWindowTest, WalletButtonWorksOnlyDuringARunAndStopTakesThePictureAway)
{
    open(3);
    drop(KindProduct, QPoint(100, 50));
    auto *wallet = qobject_cast<QPushButton *>(window->control("Command4"));
    ASSERT_NE(wallet, nullptr);
    EXPECT_FALSE(wallet->isVisible());
    wallet->click();
    EXPECT_FALSE(window->stage().walletDrawn) << "no wallet over the design while editing";

    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    ASSERT_EQ(m.app.RunMode, ModeRunning);
    ASSERT_TRUE(wallet->isVisible() && wallet->isEnabled());
    QTest::mouseClick(wallet, Qt::LeftButton);
    EXPECT_TRUE(window->stage().walletDrawn);
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStop")), Qt::LeftButton);
    EXPECT_FALSE(window->stage().walletDrawn);
    EXPECT_FALSE(wallet->isVisible());
}

// The wallet's coins and their counts lie under a part placed at the stage's left edge: the
// part looks during a run as it did before it, where the coins and counts would be.
TEST_F(MainWindowTest, WalletCoinsAndCountsNeverCoverAPartAtTheLeftEdge)
{
    open(3);
    drop(KindCounter, QPoint(4, 302)); // wide enough to reach over a coin and its count
    ASSERT_EQ(m.app.PartsCount, 1);
    StageWidget *stage = window->stageWidget();
    const QRect part = stage->toPixels(window->stage().part(m.app.CurParts).rect).adjusted(2, 2, -2, -2);
    const QImage before = stage->grab().toImage();

    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    ASSERT_EQ(m.app.RunMode, ModeRunning);
    ASSERT_TRUE(window->stage().coinLabels[0].visible);
    ASSERT_TRUE(part.intersects(stage->toPixels(window->stage().coins[0].rect)));
    ASSERT_TRUE(part.intersects(stage->toPixels(window->stage().coinLabels[0].rect)));
    const QImage during = stage->grab().toImage();
    int differing = 0;
    for (int x = part.left(); x <= part.right(); ++x)
        for (int y = part.top(); y <= part.bottom(); ++y)
            differing += before.pixel(x, y) != during.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

// The step explanation is fitted once it shows: a level-1 document opened after a machine of
// another level shows step 1's explanation in step 1's size, not in the smaller size a longer
// explanation needed before.
TEST_F(MainWindowTest, StepExplanationIsFittedWhenItShowsAgain)
{
    QTemporaryDir dir;
    const auto save = [&](int level) {
        Machine machine;
        applyStartupValues(machine.app, 15, 15);
        StartChoice{level, 0}.apply(machine.app);
        const std::string path = dir.filePath(QStringLiteral("level%1.jhk").arg(level)).toStdString();
        EXPECT_TRUE(saveDocument(path, machine).ok);
        return path;
    };
    const std::string levelOne = save(1), levelThree = save(3);
    open(1);
    auto *text = qobject_cast<QLabel *>(window->control("lblStepKaisetsu"));
    const int stepOneSize = QFontInfo(text->font()).pixelSize();
    int smallest = stepOneSize;
    for (int step = 2; step <= 3; ++step) {
        window->chooseStep(step);
        smallest = std::min(smallest, QFontInfo(text->font()).pixelSize());
    }
    ASSERT_LT(smallest, stepOneSize) << "a longer explanation takes a smaller font";
    ASSERT_TRUE(window->openFile(levelThree));
    EXPECT_FALSE(text->isVisible());
    ASSERT_TRUE(window->openFile(levelOne));
    ASSERT_TRUE(text->isVisible());
    EXPECT_EQ(QFontInfo(text->font()).pixelSize(), stepOneSize);
    EXPECT_LE(text->heightForWidth(text->width()), text->height());
}

TEST_F(MainWindowTest, LongTextsStayInsideTheirFrames)
{
    open(1);
    drop(KindButton, QPoint(100, 50));
    const auto inside = [](QWidget *w) { return w->parentWidget()->rect().contains(w->geometry()); };
    for (int step = 1; step <= 3; ++step) {
        SCOPED_TRACE(step);
        window->chooseStep(step);
        auto *text = qobject_cast<QLabel *>(window->control("lblStepKaisetsu"));
        EXPECT_TRUE(inside(text));
        EXPECT_LE(text->heightForWidth(text->width()), text->height()) << "the explanation's last line shows";
    }
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStep")), Qt::LeftButton);
    ASSERT_EQ(text("lblNowState"), QStringLiteral("１ブロックづつ"));
    EXPECT_TRUE(inside(window->control("lblNowState")));

    // The money label reaches over the button's top edge, which still takes the clicks.
    QWidget *button = window->control("Command1");
    EXPECT_EQ(button->parentWidget()->childAt(button->geometry().topLeft() + QPoint(20, 2)), button);
}

TEST_F(MainWindowTest, FileMenuShortcutsFollowTheRulesWithoutOpeningTheMenu)
{
    open(3);
    QAction *save = menuAction(QStringLiteral("ファイルの保存(&S&ﾎ)..."));
    QAction *open = menuAction(QStringLiteral("ファイルを開く(&O&ｵ）..."));
    ASSERT_TRUE(save && open);
    EXPECT_FALSE(save->isEnabled());
    drop(KindProduct, QPoint(100, 50));
    EXPECT_TRUE(save->isEnabled()) << "Ctrl+S works right after the first part";
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(open->isEnabled());
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStop")), Qt::LeftButton);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(open->isEnabled());
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmd_DelParts")), Qt::LeftButton);
    EXPECT_FALSE(save->isEnabled()) << "nothing left to save";
}

// Placing, moving and deleting with the mouse, a label and the money in hand, each taken back
// and done again through the Edit menu; the machine matches the document it had byte for byte.
TEST_F(MainWindowTest, EditMenuUndoesAndRedoesStageEdits)
{
    open(3);
    QAction *undo = editAction("mnuUndo");
    QAction *redo = editAction("mnuRedo");
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(redo->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_FALSE(undo->isEnabled());

    std::vector<std::vector<std::uint8_t>> states{document()};
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.valueBox(0)->setText(QStringLiteral("120"));
        d.pressOk();
    });
    states.push_back(document());
    const std::size_t steps = window->history().undoSteps();
    drop(KindCoinSlot, QPoint(300, 300), [](PropertyDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(window->history().undoSteps(), steps) << "a cancelled drop is no edit";
    states.back() = document(); // the freed slot keeps what the part had
    drop(PartsKindCount, QPoint(10, 400));
    states.push_back(document());
    QWidget *stage = window->stageWidget();
    QTest::mousePress(stage, Qt::LeftButton, {}, QPoint(110, 60));
    QTest::mouseMove(stage, QPoint(150, 90));
    QTest::mouseRelease(stage, Qt::LeftButton, {}, QPoint(150, 90));
    ASSERT_EQ(m.part(0).Left, 140 * 15);
    states.push_back(document());
    dialogs.inputs.push_back(std::string("500"));
    QTest::mouseClick(window->control("cmdPartsButton5"), Qt::LeftButton);
    ASSERT_EQ(m.app.MoneyInHand, 500);
    states.push_back(document());
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmd_DelParts")), Qt::LeftButton);
    ASSERT_FALSE(m.part(0).isUsed());
    states.push_back(document());
    ASSERT_TRUE(undo->isEnabled());

    QTest::mouseClick(stage, Qt::LeftButton, {}, QPoint(15, 405)); // select the label
    ASSERT_EQ(m.app.SelKind, SelectionLabel);
    // Each entry names the step it takes back or does again.
    const char *names[] = {"パーツの追加", "ラベルの追加", "パーツの移動", "所持金の変更", "パーツの削除"};
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        EXPECT_EQ(undo->text(), QStringLiteral("元に戻す「%1」(&U)").arg(QString::fromUtf8(names[i])));
        undo->trigger();
        EXPECT_EQ(redo->text(), QStringLiteral("やり直し「%1」(&R)").arg(QString::fromUtf8(names[i])));
        EXPECT_TRUE(window->historyNote().isEmpty()) << "the stage shows each of these steps";
        EXPECT_EQ(document(), states[i]) << "undo to state " << i;
        if (i == states.size() - 2) {
            EXPECT_EQ(m.app.SelKind, SelectionPart) << "the part brought back is selected";
            EXPECT_EQ(m.app.CurParts, 0);
        }
    }
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&U)"));
    EXPECT_FALSE(window->stage().part(0).visible);
    EXPECT_FALSE(window->stage().labels[1].visible);
    EXPECT_EQ(text("Label4"), QStringLiteral("所持金：￥2670"));

    for (std::size_t i = 1; i < states.size(); ++i) {
        redo->trigger();
        EXPECT_EQ(document(), states[i]) << "redo to state " << i;
        if (i == states.size() - 2) {
            // Just before the deletion: the part is back where it was moved, selected.
            EXPECT_TRUE(window->stage().part(0).visible);
            EXPECT_EQ(window->stage().part(0).rect.left, 140 * 15);
            EXPECT_EQ(m.app.CurParts, 0);
            EXPECT_TRUE(window->stage().selection.visible);
            EXPECT_TRUE(window->control("cmd_DelParts")->isEnabled());
            EXPECT_EQ(text("Label4"), QStringLiteral("所持金：￥500"));
        }
    }
    EXPECT_FALSE(redo->isEnabled());

    // Undo, then a new edit: there is nothing left to redo.
    undo->trigger();
    drop(KindCounter, QPoint(200, 200));
    EXPECT_FALSE(redo->isEnabled());

    // Opening another machine starts a new history.
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("m.JHK")).toStdString();
    dialogs.files.push_back(path);
    ASSERT_TRUE(window->saveFile());
    ASSERT_TRUE(window->openFile(path));
    EXPECT_FALSE(undo->isEnabled());
}

// A program is not seen on the stage: undoing or redoing a change of it says so under the
// window's state, where a step the stage shows says nothing.
TEST_F(MainWindowTest, UndoingAProgramChangeSaysTheStageLooksTheSame)
{
    open(3);
    drop(KindButton, QPoint(100, 50));
    PartsRecord &button = m.part(0);
    BlockRecord &b = button.Blocks[0];
    b.Used = -1;
    b.Kind = BlockBuyLampOff;
    b.Caption = "0購買可ランプ消灯";
    button.BlockCount = 1;
    window->refresh(); // as the block editor reports its edits
    QAction *undo = editAction("mnuUndo");
    ASSERT_EQ(undo->text(), QStringLiteral("元に戻す「プログラムの変更」(&U)"));
    const QImage shown = window->stageWidget()->grab().toImage();
    undo->trigger();
    EXPECT_EQ(m.part(0).BlockCount, 0);
    EXPECT_EQ(window->stageWidget()->grab().toImage(), shown);
    EXPECT_EQ(window->historyNote(),
              QStringLiteral("「プログラムの変更」を元に戻しました\n（ステージの見た目は変わりません）"));
    EXPECT_EQ(QToolTip::text(), window->historyNote());
    editAction("mnuRedo")->trigger();
    EXPECT_EQ(window->historyNote(),
              QStringLiteral("「プログラムの変更」をやり直しました\n（ステージの見た目は変わりません）"));
    undo->trigger();
    undo->trigger(); // the part itself: the stage shows it
    EXPECT_TRUE(window->historyNote().isEmpty());
}

// A level cannot be lowered again: its raise is a barrier the undo history does not cross,
// and the edits made after it undo as before.
TEST_F(MainWindowTest, RaisingTheLevelIsABarrierForUndo)
{
    open(2);
    drop(KindProduct, QPoint(100, 50));
    QAction *undo = editAction("mnuUndo");
    ASSERT_TRUE(undo && undo->isEnabled());
    window->showOptions();
    OptionDialog *options = window->findChildren<OptionDialog *>().value(0);
    ASSERT_NE(options, nullptr);
    options->levelOption(2)->setChecked(true);
    dialogs.answers.push_back(Answer::Yes);
    options->pressOk();
    ASSERT_EQ(m.app.Level, 3);
    EXPECT_FALSE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(m.app.Level, 3);
    EXPECT_TRUE(m.part(0).isUsed());

    drop(KindCounter, QPoint(200, 200));
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(m.app.Level, 3);
    EXPECT_TRUE(m.part(0).isUsed());
    EXPECT_FALSE(m.part(1).isUsed());
    EXPECT_FALSE(undo->isEnabled());
}

// At level 1 a part takes the program of the exercise step: a placement in step 3, taken
// back, can be done again.
TEST_F(MainWindowTest, LevelOneEditsInALaterStepAreRedone)
{
    open(1);
    window->chooseStep(3);
    const std::vector<std::uint8_t> before = document();
    drop(KindProduct, QPoint(100, 50));
    const std::vector<std::uint8_t> placed = document();
    ASSERT_TRUE(m.part(0).isUsed());
    window->undo();
    EXPECT_EQ(document(), before);
    QAction *redo = editAction("mnuRedo");
    ASSERT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(document(), placed);
}

// While the property dialog of a dropped part is open, the window behind it already shows
// that part's place in the selection panel.
TEST_F(MainWindowTest, PanelShowsTheDroppedPartBehindItsPropertyDialog)
{
    open(3);
    drop(KindProduct, QPoint(100, 50));
    QString behind;
    drop(KindButton, QPoint(200, 300), [&](PropertyDialog &d) {
        behind = text("Label1") + QLatin1Char('|') + text("Label2") + QLatin1Char('|') + text("lbl_PartsName")
            + QLatin1Char('|') + text("lblPartsID");
        d.pressOk();
    });
    const PartsRecord &button = m.part(1);
    EXPECT_EQ(behind, QStringLiteral("Ｘ座標：%1|Ｙ座標：%2|ボタン|パーツ番号：1").arg(button.Left / 15).arg(button.Top / 15));
    EXPECT_EQ(text("Label1"), QStringLiteral("Ｘ座標：%1").arg(button.Left / 15));
}

TEST_F(MainWindowTest, UndoIsForEditingOnly)
{
    open(3);
    drop(KindProduct, QPoint(100, 50));
    QAction *undo = editAction("mnuUndo");
    ASSERT_TRUE(undo->isEnabled());
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    EXPECT_FALSE(undo->isEnabled());
    window->undo();
    EXPECT_TRUE(m.part(0).isUsed()) << "a run is not interrupted by undo";
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStop")), Qt::LeftButton);
    ASSERT_TRUE(undo->isEnabled());
    window->undo();
    EXPECT_FALSE(m.part(0).isUsed()) << "the run made no step of its own";
}

TEST_F(MainWindowTest, EditButtonKeepsTheTypedValues)
{
    open(3);
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.scrollBar()->setValue(4);
        d.valueBox(0)->setText(QStringLiteral("10000"));
        d.valueBox(1)->setText(QStringLiteral("7"));
        d.pressEdit();
        EXPECT_EQ(d.outcome(), PropertyOutcome::Closed) << "a refused value keeps the dialog open";
        EXPECT_EQ(d.valueBox(0)->text(), QStringLiteral("0"));
        d.valueBox(0)->setText(QStringLiteral("150"));
        d.pressEdit();
    });
    EXPECT_EQ(dialogs.shown.back(), "９９９９以下に設定して下さい");
    ASSERT_TRUE(m.part(0).isUsed());
    EXPECT_EQ(m.part(0).A(), 150);
    EXPECT_EQ(m.part(0).B(), 7);
    EXPECT_TRUE(isPaintToolOpen());
    closePaintTool();
}

// A painted picture belongs to its part: the property dialog shows it in its last column,
// "決定" after only a price change keeps it, "編集" opens the paint tool on it and closing the
// paint tool by its close box leaves it; only another picture picked replaces it.
TEST_F(MainWindowTest, PaintedPictureIsKeptByThePropertyDialog)
{
    open(3);
    auto paintTool = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<PainterWindow *>(w); p && p->isVisible())
                return p;
        return static_cast<PainterWindow *>(nullptr);
    };
    auto answer = [](std::function<void(PropertyDialog &)> f) {
        QTimer::singleShot(0, [f] {
            if (auto *d = qobject_cast<PropertyDialog *>(QApplication::activeModalWidget()))
                f(*d);
        });
    };
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.scrollBar()->setValue(4);
        d.pressEdit();
    });
    PainterWindow *paint = paintTool();
    ASSERT_NE(paint, nullptr);
    paint->session().resizeDrawing(QSize(33, 44));
    paint->ok();
    const std::string painted = window->stage().part(0).picture;
    ASSERT_NE(painted, "\\bg\\kan_5.bmp");
    EXPECT_EQ(window->stage().part(0).rect.width, 33 * 15);

    QSize shown;
    answer([&](PropertyDialog &d) {
        shown = d.picture().size();
        EXPECT_EQ(d.scrollBar()->value(), 4);
        EXPECT_FALSE(d.editButton()->isHidden());
        d.valueBox(0)->setText(QStringLiteral("130"));
        d.pressOk();
    });
    window->changePartProperties(0);
    QCoreApplication::processEvents(); // the dialog answers
    EXPECT_EQ(shown, QSize(33, 44)) << "the dialog shows the painted picture";
    EXPECT_EQ(window->stage().part(0).picture, painted);
    EXPECT_EQ(window->stage().part(0).rect.width, 33 * 15);
    EXPECT_EQ(m.part(0).A(), 130);

    answer([](PropertyDialog &d) { d.pressEdit(); });
    window->changePartProperties(0);
    QCoreApplication::processEvents(); // the dialog answers
    paint = paintTool();
    ASSERT_NE(paint, nullptr);
    EXPECT_EQ(paint->session().size(), QSize(33, 44)) << "the paint tool starts from the painting";
    paint->session().resizeDrawing(QSize(50, 50));
    paint->close();
    EXPECT_EQ(window->stage().part(0).picture, painted) << "the close box keeps the part as it was";
    EXPECT_EQ(window->stage().part(0).rect.width, 33 * 15);

    answer([](PropertyDialog &d) {
        d.scrollBar()->setValue(1);
        d.pressOk();
    });
    window->changePartProperties(0);
    QCoreApplication::processEvents(); // the dialog answers
    EXPECT_EQ(window->stage().part(0).picture, "\\bg\\kan_2.bmp");
    EXPECT_EQ(m.part(0).PictName, "\\bg\\kan_2.bmp");
}

// The paint tool stays open with its drawing when quitting is cancelled; "はい" saves the
// drawing with the machine.
TEST_F(MainWindowTest, CancelledQuitKeepsThePaintToolAndYesSavesItsDrawing)
{
    open(3);
    drop(KindProduct, QPoint(100, 50), [](PropertyDialog &d) {
        d.scrollBar()->setValue(4);
        d.pressEdit();
    });
    ASSERT_TRUE(isPaintToolOpen());
    QWidget *paint = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != window.get() && w->isVisible() && w->inherits("QMainWindow"))
            paint = w;
    ASSERT_NE(paint, nullptr);

    dialogs.answers.push_back(Answer::Cancel);
    QCloseEvent cancelled;
    QApplication::sendEvent(window.get(), &cancelled);
    EXPECT_FALSE(cancelled.isAccepted());
    EXPECT_TRUE(paint->isVisible()) << "the drawing is still there";

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("painted.JHK"));
    dialogs.answers.push_back(Answer::Yes);
    dialogs.files.push_back(path.toStdString());
    QCloseEvent yes;
    QApplication::sendEvent(window.get(), &yes);
    EXPECT_TRUE(yes.isAccepted());
    EXPECT_FALSE(paint->isVisible());
    auto saved = std::make_unique<Machine>();
    ASSERT_TRUE(loadDocument(path.toStdString(), *saved).ok);
    const QString picture = QString::fromStdString(saved->part(0).PictName);
    EXPECT_NE(picture, QStringLiteral("\\bg\\kan_5.bmp")) << "the part names its painted picture";
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QString(picture).replace(QLatin1Char('\\'), QLatin1Char('/')))))
        << picture.toStdString();
}

TEST_F(MainWindowTest, LabelsAloneAreOfferedASave)
{
    open(3);
    drop(PartsKindCount, QPoint(10, 400));
    dialogs.answers.push_back(Answer::Cancel);
    QCloseEvent event;
    QApplication::sendEvent(window.get(), &event);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_EQ(dialogs.shown.back(), "ジハンコウボウを終了します\r\n保存しますか？");
}

// The palette's "所持金" and the big "所持金" button under the money label open the same input
// while editing; a refused amount opens the box again with what was typed still in it.
TEST_F(MainWindowTest, BothMoneyButtonsAskAgainWithTheTextKeptAfterARefusedAmount)
{
    open(3);
    for (const char *source : {"cmdPartsButton5", "Command1"}) {
        SCOPED_TRACE(source);
        dialogs.shown.clear();
        dialogs.inputsOpenedWith.clear();
        dialogs.inputs = {std::string("abc"), std::string("12000"), std::string("700")};
        QTest::mouseClick(window->control(source), Qt::LeftButton);
        EXPECT_EQ(m.app.MoneyInHand, 700);
        EXPECT_EQ(dialogs.inputsOpenedWith, (std::vector<std::string>{"", "abc", "12000"}));
        EXPECT_NE(std::find(dialogs.shown.begin(), dialogs.shown.end(), msg::NotANumber), dialogs.shown.end());
        EXPECT_NE(std::find(dialogs.shown.begin(), dialogs.shown.end(), msg::TooMuchMoney), dialogs.shown.end());

        dialogs.inputs = {std::string("-5"), std::nullopt}; // refused, then cancelled
        QTest::mouseClick(window->control(source), Qt::LeftButton);
        EXPECT_EQ(m.app.MoneyInHand, 700);
        EXPECT_TRUE(dialogs.inputs.empty());
    }
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    EXPECT_FALSE(window->control("Command1")->isEnabled()) << "no money input during a run";
}

// A click on a palette button (let go on the button itself) places nothing and says how it is
// done; the buttons' tooltips say it too.
TEST_F(MainWindowTest, AClickOnAPaletteButtonSaysToDragItToTheStage)
{
    open(3);
    for (const char *name : {"cmdPartsButton0", "cmdPartsButton3", "cmdLabelButton"}) {
        SCOPED_TRACE(name);
        QWidget *button = window->control(name);
        QToolTip::hideText();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(m.app.PartsCount, 0);
        EXPECT_EQ(m.app.LabelCount, 0);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), QStringLiteral("ステージへドラッグしてください"));
        EXPECT_EQ(button->toolTip(), QStringLiteral("ステージへドラッグしてください"));
    }
    EXPECT_TRUE(dialogs.shown.empty()) << "a note, no message box";
}

// A message box with a short text is still wide enough for its whole title.
TEST(MessageBoxTitle, AShortMessageKeepsTheWholeTitle)
{
    int width = 0;
    int titleWidth = 0;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            width = box->width();
            QFont f = QApplication::font("QMdiSubWindowTitleBar");
            f.setBold(true);
            titleWidth = QFontMetrics(f).horizontalAdvance(box->windowTitle());
            EXPECT_EQ(box->windowTitle(), QStringLiteral("ジハンコウボウ"));
            box->accept();
        }
    });
    showMessageBox(nullptr, QStringLiteral("OK"), MessageButtons::Ok, MessageIcon::None);
    QCoreApplication::processEvents(); // the box is answered
    ASSERT_GT(titleWidth, 0);
    EXPECT_GE(width, titleWidth + 120);
}

// Ctrl+S where it cannot save says why, instead of doing nothing; where it saves it saves.
TEST_F(MainWindowTest, CtrlSDuringARunOrInAnotherWindowSaysWhyItCannotSave)
{
    open(3);
    drop(KindProduct, QPoint(100, 50));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStart")), Qt::LeftButton);
    ASSERT_EQ(m.app.RunMode, ModeRunning);
    QWidget *target = window->focusWidget() ? window->focusWidget() : window.get();
    QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(window->saveKeyNote()->lastNote(), QStringLiteral("実行中は保存できません。「停止」を押してから保存して下さい"));
    EXPECT_TRUE(QToolTip::isVisible());
    QTest::mouseClick(qobject_cast<QPushButton *>(window->control("cmdStop")), Qt::LeftButton);

    // In a window of its own (here a dialog of the main window), the note names what to do.
    QDialog dialog(window.get());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(window->saveKeyNote()->lastNote(), QStringLiteral("この画面を閉じてから保存して下さい"));
}


// The main window's buttons are reached with Tab, show a clear frame while they have the
// focus, and Space or Enter presses them.
TEST_F(MainWindowTest, ButtonsWithTheFocusShowAFrameAndSpaceOrEnterPressesThem)
{
    open(3);
    drop(KindProduct, QPoint(100, 50));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    struct Press {
        const char *button;
        Qt::Key key;
        std::int16_t modeAfter;
    };
    const Press presses[] = {
        {"cmdStart", Qt::Key_Space, ModeRunning},
        {"cmdStop", Qt::Key_Return, ModeEditing},
        {"cmdStart", Qt::Key_Enter, ModeRunning},
        {"cmdStop", Qt::Key_Space, ModeEditing},
    };
    for (const Press &press : presses) {
        SCOPED_TRACE(press.button);
        QWidget *button = window->control(press.button);
        EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
        button->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(window->focusWidget(), button);
        ASSERT_NE(window->focusMark(), nullptr);
        EXPECT_EQ(window->focusMark()->target(), button);
        EXPECT_TRUE(window->focusMark()->isVisible());
        EXPECT_TRUE(window->focusMark()->geometry().contains(button->geometry()));
        EXPECT_EQ(window->focusMark()->parentWidget(), button->parentWidget());
        QTest::keyClick(button, press.key);
        QTest::qWait(250); // Enter presses the button as a click does, shown for a moment
        EXPECT_EQ(m.app.RunMode, press.modeAfter);
    }
    window->stageWidget()->setFocus();
    EXPECT_FALSE(window->focusMark()->isVisible()) << "only around a button";
}


// Whatever the kind, the part's picture in the property dialog stays clear of the value boxes,
// their captions, the scroll bar and the buttons.
TEST_F(MainWindowTest, ThePropertyDialogsPictureNeverCoversItsBoxes)
{
    open(3);
    int n = 0;
    for (int kind : {KindProduct, KindButton, KindCoinSlot, KindCounter, KindChangeOutlet, KindProductOutlet, KindLever}) {
        SCOPED_TRACE(kind);
        bool seen = false;
        const QPoint at(5 + (n % 2) * 200, 5 + (n / 2) * 120); // each on the free stage
        ++n;
        drop(kind, at, [&](PropertyDialog &d) {
            seen = true;
            auto *image = d.findChild<QLabel *>(QStringLiteral("imgPBMP"));
            ASSERT_NE(image, nullptr);
            EXPECT_FALSE(image->pixmap().isNull());
            for (QWidget *w : d.findChildren<QWidget *>()) {
                if (w == image || !w->isVisible() || w->parentWidget() != &d)
                    continue;
                const bool box = qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
                    || qobject_cast<QAbstractButton *>(w) || qobject_cast<QScrollBar *>(w)
                    || w->objectName().startsWith(QStringLiteral("Label1_"));
                if (box)
                    EXPECT_FALSE(image->geometry().intersects(w->geometry())) << w->objectName().toStdString();
            }
            d.pressOk();
        });
        EXPECT_TRUE(seen);
    }
}

} // namespace
} // namespace jhk
