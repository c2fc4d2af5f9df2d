// The run view window with the main window: opening it, the speed control, remembering its
// place, and what it draws.
#include "../engine/EngineRig.h"
#include "../stage/FakeDialogs.h"
#include "model/AppState.h"
#include "runview/RunFlowchartView.h"
#include "rules/RunSpeed.h"
#include "runview/RunViewWindow.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QScreen>
#include <QWindow>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace jhk {
namespace {

class RunViewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QStringLiteral("jihankobo"), QStringLiteral("jihankobo")).clear();
        applyStartupValues(m.app, 15, 15);
        StartChoice{3, 0}.apply(m.app);
        window = std::make_unique<MainWindow>(m, QStringLiteral(JHK_APP_DIR), &dialogs);
        // The engine rig's vending machine, put on the main window's stage.
        testing::Rig rig;
        testing::buildVendingMachine(rig);
        m.parts = rig.m.parts;
        m.app.PartsCount = 6;
        // The button's blocks down the second column, as a pupil lays them out.
        for (int k = 0; k < BlockSlots; ++k) {
            BlockRecord &b = m.part(testing::Button).Blocks[static_cast<std::size_t>(k)];
            b.X = 1323;
            b.Y = static_cast<std::int16_t>((1 + 2 * k) * 551 % (12 * 551));
        }
        window->engine().rebuildStage();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QAction *menuEntry() const
    {
        auto *options = window->menuBar()->findChild<QMenu *>(QStringLiteral("MnuOption"));
        return options ? options->findChild<QAction *>(QStringLiteral("mnuRunView")) : nullptr;
    }
    void click(QWidget *w, const char *name)
    {
        auto *b = w->findChild<QAbstractButton *>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    RunViewWindow *view() const { return window->runView(); }
    bool watching() const { return view() && window->engine().observer() == &view()->model(); }

    Machine m;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

TEST_F(RunViewWindowTest, OpensFromTheMenuAndTheButtonEvenDuringARunAndWatchesOnlyWhileOpen)
{
    ASSERT_NE(menuEntry(), nullptr);
    EXPECT_EQ(menuEntry()->text(), QStringLiteral("実行のようす(&R)"));
    EXPECT_EQ(window->engine().observer(), nullptr) << "no cost while it was never opened";

    click(window.get(), "cmdStart");
    ASSERT_EQ(m.app.RunMode, ModeRunning);
    menuEntry()->trigger();
    ASSERT_NE(view(), nullptr);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->windowTitle(), QStringLiteral("実行のようす"));
    EXPECT_FALSE(view()->isModal());
    EXPECT_TRUE(watching());

    view()->close();
    EXPECT_EQ(window->engine().observer(), nullptr) << "closed, it costs a run nothing";

    click(window.get(), "cmdRunView");
    EXPECT_TRUE(view()->isVisible());
    EXPECT_TRUE(watching());
}

TEST_F(RunViewWindowTest, SpeedSlowsNormalRunsOnlyWhileTheViewIsOpen)
{
    window->showRunView();
    click(view(), "runSpeed3");
    EXPECT_EQ(window->engine().blockDelayMs(), RunSpeeds[3].blockDelayMs);
    EXPECT_EQ(RunSpeeds[3].blockDelayMs, 1000);
    view()->close();
    EXPECT_EQ(window->engine().blockDelayMs(), 0);
    window->showRunView();
    EXPECT_EQ(window->engine().blockDelayMs(), 1000) << "the choice stays for the next opening";
    EXPECT_TRUE(view()->findChild<QRadioButton *>(QStringLiteral("runSpeed3"))->isChecked());
    click(view(), "runSpeed0");
    EXPECT_EQ(window->engine().blockDelayMs(), 0);
}

TEST_F(RunViewWindowTest, RemembersWhetherItWasOpenAndWhere)
{
    EXPECT_FALSE(RunViewWindow::wasOpen());
    window->restoreRunView();
    EXPECT_EQ(view(), nullptr) << "never opened, it stays closed at start";

    window->showRunView();
    view()->move(310, 120);
    QCoreApplication::processEvents();
    const QPoint placed = view()->pos();
    dialogs.answers.push_back(Answer::No); // quit without saving
    window->close();
    EXPECT_TRUE(RunViewWindow::wasOpen());

    window = std::make_unique<MainWindow>(m, QStringLiteral(JHK_APP_DIR), &dialogs);
    window->show();
    window->restoreRunView();
    ASSERT_NE(view(), nullptr);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->pos(), placed);
    view()->close();
    EXPECT_FALSE(RunViewWindow::wasOpen());
}

// The run view belongs to the main window: a tool window the window manager keeps above it.
// Where the screen has no room beside the main window (this test screen is smaller than a
// school laptop's) it opens compact, with the whole flowchart scaled.
TEST_F(RunViewWindowTest, IsAToolWindowOfTheMainWindowAndCompactWhereTheScreenHasNoRoom)
{
    window->showRunView();
    ASSERT_NE(view(), nullptr);
    EXPECT_EQ(view()->windowType(), Qt::Tool);
    ASSERT_NE(view()->windowHandle(), nullptr);
    EXPECT_EQ(view()->windowHandle()->transientParent(), window->windowHandle());

    const QRect screen = view()->screen()->availableGeometry();
    ASSERT_LT(screen.width() - window->frameGeometry().right(), 780) << "the test needs a small screen";
    EXPECT_TRUE(view()->compact());
    EXPECT_LE(view()->width(), 580);
    EXPECT_LE(view()->height(), 560);
    EXPECT_TRUE(screen.contains(view()->frameGeometry()));
    auto *fit = view()->findChild<QCheckBox *>(QStringLiteral("runViewFit"));
    ASSERT_NE(fit, nullptr);
    EXPECT_TRUE(fit->isChecked()) << "the flowchart is scaled to the compact window";
    EXPECT_TRUE(view()->flowchart()->fit());
    // Every speed still shows whole in the narrower window.
    for (int i = 0; i < 4; ++i) {
        auto *speed = view()->findChild<QRadioButton *>(QStringLiteral("runSpeed%1").arg(i));
        ASSERT_NE(speed, nullptr);
        EXPECT_GE(speed->width(), speed->sizeHint().width()) << i;
    }
    EXPECT_LE(view()->minimumSizeHint().width(), view()->width());
}

TEST_F(RunViewWindowTest, DrawsTheRunningBlockThePathTheTableAndTheLog)
{
    window->showRunView();
    // Unscaled, as on a screen with room beside the main window.
    view()->findChild<QCheckBox *>(QStringLiteral("runViewFit"))->setChecked(false);
    click(window.get(), "cmdStart");
    RunViewModel &model = view()->model();
    model.runStarted(testing::Button, 0);
    model.blockAboutToRun(testing::Button, 0);
    model.blockRan(testing::Button, 0, 1);
    model.blockAboutToRun(testing::Button, 1);
    model.soundPlayed("kan.wav");
    m.part(testing::Product).B() = 4;
    model.variableChanged(testing::Product, 'B', 4);
    QCoreApplication::processEvents();

    EXPECT_EQ(view()->findChild<QLabel *>(QStringLiteral("runViewTitle"))->text(), QStringLiteral("No.1 ボタン のプログラム"));
    EXPECT_EQ(view()->statusLabel()->text(), QStringLiteral("実行中：ブロック1「商品排出」"));
    ASSERT_EQ(view()->logList()->count(), 1);
    EXPECT_EQ(view()->logList()->item(0)->text(), QStringLiteral("音：kan.wav"));
    QTableWidget *table = view()->table();
    ASSERT_EQ(table->rowCount(), 6);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("No.0"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("商品"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("在庫数 4"));
    EXPECT_NE(table->item(0, 3)->background(), QBrush()) << "the value that just changed is marked";
    EXPECT_EQ(table->item(0, 2)->background(), QBrush());

    // The frame around the running block and the broad path line are drawn in the path colour.
    const QImage shot = view()->flowchart()->grab().toImage();
    const BlockRecord &running = m.part(testing::Button).Blocks[1];
    const QPoint frameLeft(6 + running.X / 15 - 3, 6 + running.Y / 15 + 12);
    EXPECT_EQ(shot.pixelColor(frameLeft), QColor(255, 170, 0));
    int pathPixels = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            pathPixels += shot.pixelColor(x, y) == QColor(255, 170, 0);
    EXPECT_GT(pathPixels, 300);
}

} // namespace
} // namespace jhk
