// A complete level-3 machine run in the real main window with mouse events: coins into the
// coin slot, the lit button, the product on the outlet, the change lever, stop. With the
// environment variable JHK_SHOT_DIR set, screenshots of the running machine are written there.
#include "FakeDialogs.h"
#include "document/JhkDocument.h"
#include "model/AppState.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace jhk {
namespace {

constexpr int T = 15; // twips per pixel of the test machine

enum Slot { Product = 0, Button = 1, CoinSlot = 2, Counter = 3, Outlet = 4, Lever = 5 };

void place(Machine &m, int slot, int kind, int xPixels, int yPixels, const std::string &picture)
{
    PartsRecord &p = m.part(slot);
    p.Used = -1;
    p.Kind = static_cast<std::int16_t>(kind);
    p.PictName = picture;
    p.Left = static_cast<std::int16_t>(xPixels * T);
    p.Top = static_cast<std::int16_t>(yPixels * T);
    p.ImageNo = 1;
    p.Spare3 = -1;
    ++m.app.PartsCount;
}

BlockRecord &block(Machine &m, int slot, int k, int kind, int next, int next2 = LinkNone)
{
    PartsRecord &p = m.part(slot);
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(k)];
    b.Used = -1;
    b.Kind = static_cast<std::int16_t>(kind);
    b.Caption = std::to_string(k) + std::string(vendingBlockName(kind));
    b.NextBlock = static_cast<std::int16_t>(next);
    b.NextBlock2 = static_cast<std::int16_t>(next2);
    b.Complete = -1;
    p.FirstBlock = 0;
    ++p.BlockCount;
    if (kind == BlockBranch)
        ++p.BranchCount;
    return b;
}

// A machine that sells one drink for 120 yen and pays back the change.
Machine vendingMachine()
{
    Machine m;
    applyStartupValues(m.app, T, T);
    m.app.Level = 3;
    m.app.Step = 1;
    m.app.BackPictName = "\\BG\\BG0.BMP";
    m.app.MoneyInHand = 2670;
    place(m, Product, KindProduct, 60, 40, "\\bg\\kan_1.bmp");
    m.part(Product).A() = 120;
    m.part(Product).B() = 5;
    place(m, Button, KindButton, 55, 120, "dummy");
    place(m, CoinSlot, KindCoinSlot, 300, 150, "\\bg\\tonyu_1.bmp");
    place(m, Counter, KindCounter, 200, 60, "dummy");
    place(m, Outlet, KindProductOutlet, 110, 400, "\\bg\\tori_1.bmp");
    place(m, Lever, KindLever, 320, 220, "dummy");

    BlockRecord &lit = block(m, Button, 0, BlockBranch, 1, LinkEnd);
    lit.Param[1] = ParamValue(Button);
    lit.Param[2] = ParamValue("A");
    lit.Param[3] = ParamValue("=");
    lit.Param[5] = ParamValue(1);
    BlockRecord &discharge = block(m, Button, 1, BlockDischarge, 2);
    discharge.Param[1] = ParamValue(Product);
    discharge.Param[2] = ParamValue(Outlet);
    BlockRecord &pay = block(m, Button, 2, BlockSubtract, 3);
    pay.Param[1] = ParamValue(Counter);
    pay.Param[2] = ParamValue(Product);
    block(m, Button, 3, BlockBuyLampOff, LinkEnd).Param[1] = ParamValue(Button);

    block(m, CoinSlot, 0, BlockAddMoney, 1).Param[1] = ParamValue(Counter);
    BlockRecord &enough = block(m, CoinSlot, 1, BlockBranch, 2, LinkEnd);
    enough.Param[1] = ParamValue(Counter);
    enough.Param[2] = ParamValue("A");
    enough.Param[3] = ParamValue(">=");
    enough.Param[4] = ParamValue(Product);
    enough.Param[5] = ParamValue("A");
    block(m, CoinSlot, 2, BlockBuyLampOn, LinkEnd).Param[1] = ParamValue(Button);

    LabelRecord &welcome = m.label(1);
    welcome.Used = -1;
    welcome.LabelNo = 1;
    welcome.Caption = "いらっしゃいませ";
    welcome.Left = 30 * T;
    welcome.Top = 250 * T;
    welcome.Width = 130 * T;
    welcome.Height = 20 * T;
    welcome.FontSize = 12;
    welcome.ForeColor = 6;
    welcome.BackColor = 4;
    welcome.FontBold = -1;
    m.app.LabelCount = 1;

    block(m, Lever, 0, BlockPayChange, 1).Param[1] = ParamValue(Counter);
    block(m, Lever, 1, BlockBuyLampOff, LinkEnd).Param[1] = ParamValue(Button);
    return m;
}

class RunEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("vending.JHK")).toStdString();
        const Machine document = vendingMachine();
        ASSERT_TRUE(saveDocument(path, document).ok);
        if (const QString folder = qEnvironmentVariable("JHK_SHOT_DIR"); !folder.isEmpty()) {
            QDir().mkpath(folder);
            saveDocument(QDir(folder).filePath(QStringLiteral("vending.jhk")).toStdString(), document);
        }

        applyStartupValues(m.app, T, T);
        StartChoice{1, 0}.apply(m.app);
        window = std::make_unique<MainWindow>(m, QStringLiteral(JHK_APP_DIR), &dialogs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(window->openFile(path));
        ASSERT_EQ(m.app.Level, 3);
        ASSERT_TRUE(window->stage().labels[1].visible);
    }

    QPoint centre(const StageRect &r) const
    {
        return QPoint((r.left + r.width / 2) / T, (r.top + r.height / 2) / T);
    }
    void click(const char *button)
    {
        QTest::mouseClick(qobject_cast<QPushButton *>(window->control(button)), Qt::LeftButton);
    }
    void clickPart(int slot)
    {
        QTest::mouseClick(window->stageWidget(), Qt::LeftButton, {}, centre(window->stage().part(slot).rect));
    }
    // Drags the visible coin picture of denomination d so that its corner lands inside the
    // coin slot's square.
    void dropCoin(int d)
    {
        const Stage &s = window->stage();
        const int k = s.coins[static_cast<std::size_t>(d + 5)].visible ? d + 5 : d;
        const QPoint from = centre(s.coins[static_cast<std::size_t>(k)].rect);
        const PartsRecord &slot = m.part(CoinSlot);
        const QPoint to(slot.Left / T + 5 + 15, slot.Top / T + 5 + 15);
        QWidget *stage = window->stageWidget();
        QTest::mousePress(stage, Qt::LeftButton, {}, from);
        QTest::mouseMove(stage, (from + to) / 2);
        QTest::mouseMove(stage, to);
        QTest::mouseRelease(stage, Qt::LeftButton, {}, to);
    }
    void shot(const char *name)
    {
        const QString folder = qEnvironmentVariable("JHK_SHOT_DIR");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QCoreApplication::processEvents();
        window->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
    }

    QTemporaryDir dir;
    std::string path;
    Machine m;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

TEST_F(RunEndToEnd, CoinsButtonProductLeverAndStop)
{
    const auto walletBefore = m.app.Wallet;
    click("cmdStart");
    ASSERT_EQ(m.app.RunMode, ModeRunning);
    EXPECT_FALSE(window->stage().part(0).numberShown) << "numbers go while running";

    dropCoin(2); // 100 yen
    EXPECT_EQ(m.part(Counter).A(), 100);
    EXPECT_EQ(m.app.Wallet[2], walletBefore[2] - 1);
    EXPECT_EQ(m.part(Button).A(), 0);
    dropCoin(3); // 50 yen
    EXPECT_EQ(m.part(Counter).A(), 150);
    EXPECT_EQ(window->stage().part(Counter).digits, "150");
    EXPECT_EQ(m.part(Button).A(), 1) << "enough money lights the buy lamp";
    EXPECT_EQ(window->stage().part(Button).picture, "\\bg\\button_2.bmp");
    shot("running-lamp-lit.png");

    clickPart(Button);
    // The window goes on while the product's sound plays; the product appears after it.
    ASSERT_EQ(window->stage().products.size(), 1u);
    EXPECT_TRUE(window->engine().programRunning());
    EXPECT_FALSE(window->stage().products[0].visible);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->engine().programRunning(); }, 3000));
    const ProductImage &drink = window->stage().products[0];
    EXPECT_TRUE(drink.visible);
    const StageRect outlet = window->stage().part(Outlet).rect;
    EXPECT_EQ(drink.rect.top, outlet.top);
    EXPECT_NEAR(drink.rect.left + drink.rect.width / 2, outlet.left + outlet.width / 2, T);
    EXPECT_EQ(m.part(Counter).A(), 30);
    EXPECT_EQ(m.part(Button).A(), 0);
    shot("running-product-out.png");

    QWidget *stage = window->stageWidget();
    const QPoint lever = centre(window->stage().part(Lever).rect);
    QTest::mousePress(stage, Qt::LeftButton, {}, lever);
    EXPECT_EQ(window->stage().part(Lever).picture, "\\bg\\rebaa_2.bmp");
    QTest::mouseRelease(stage, Qt::LeftButton, {}, lever);
    EXPECT_EQ(window->stage().part(Lever).picture, "\\bg\\rebaa_1.bmp");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back(), "お釣が30円でました");
    EXPECT_EQ(m.app.MoneyInHand, 2670 - 150 + 30);
    EXPECT_EQ(m.app.Wallet[4], walletBefore[4] + 3);
    EXPECT_EQ(m.part(Counter).A(), 0);

    click("cmdStop");
    EXPECT_EQ(m.app.RunMode, ModeEditing);
    EXPECT_TRUE(window->stage().products.empty());
    EXPECT_EQ(m.app.Wallet, walletBefore) << "the wallet is as it was before the run";
    EXPECT_EQ(m.app.MoneyInHand, 2670) << "money in hand is as it was before the run, like the wallet";
    EXPECT_TRUE(window->stage().part(0).numberShown);
    EXPECT_TRUE(window->control("cmdStart")->isEnabled());
}

TEST_F(RunEndToEnd, OneBlockModeRunsABlockPerPress)
{
    click("cmdStart");
    dropCoin(2);
    dropCoin(3);
    ASSERT_EQ(m.part(Button).A(), 1);
    click("cmdStep");
    ASSERT_EQ(m.app.RunMode, ModeOneBlock);
    EXPECT_TRUE(window->control("FrameChart")->isVisible());

    clickPart(Button);
    auto *list = qobject_cast<QListWidget *>(window->control("lstDebug"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("1:ボタンのブロック"));
    EXPECT_TRUE(window->stage().products.empty()) << "nothing runs before ▼";

    click("Command3");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("  条件分岐"));
    click("Command3");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->engine().stepRunWaiting(); }, 3000)); // the sound
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("  商品排出"));
    EXPECT_EQ(window->stage().products.size(), 1u);
    shot("one-block-mode.png");
    click("Command3");
    click("Command3");
    EXPECT_EQ(list->item(list->count() - 2)->text(), QStringLiteral("　（実行終了）"));
    click("cmdStop");
    EXPECT_EQ(m.app.RunMode, ModeEditing);
}

// The pupil's own mouse through the X server: xdotool moves, presses and drags, and the
// window sees nothing but what X delivers. Needs a real display and xdotool.
class RunWithTheXMouse : public RunEndToEnd {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs an X display and xdotool";
        RunEndToEnd::SetUp();
        window->activateWindow();
        settle();
    }
    static void settle(int ms = 400) { QTest::qWait(ms); }
    // Runs one xdotool command line while the window keeps handling what X delivers.
    void xdo(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("xdotool"), args);
        ASSERT_TRUE(p.waitForStarted());
        while (p.state() != QProcess::NotRunning) {
            p.waitForFinished(10);
            QCoreApplication::processEvents();
        }
        settle();
    }
    QPoint screen(QWidget *w, QPoint local) const { return w->mapToGlobal(local); }
    QPoint screen(const char *control) const
    {
        QWidget *w = window->control(control);
        return w->mapToGlobal(w->rect().center());
    }
    void clickAt(QPoint p)
    {
        xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
    }
    void dragFromTo(QPoint from, QPoint to)
    {
        QStringList args{"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1"};
        for (int i = 1; i <= 8; ++i) {
            const QPoint at = from + (to - from) * i / 8;
            args << "sleep" << "0.03" << "mousemove" << QString::number(at.x()) << QString::number(at.y());
        }
        args << "sleep" << "0.1" << "mouseup" << "1";
        xdo(args);
    }
    QString moneyLabel() const { return qobject_cast<QLabel *>(window->control("Label4"))->text(); }
};

// With 1000 yen in hand the pupil puts the 1000-yen note in, buys the 120-yen drink and takes
// the change: 880 yen in hand during the run, 1000 again after "停止".
TEST_F(RunWithTheXMouse, MoneyInHandFollowsThePurchaseAndComesBackAtStop)
{
    QWidget *stage = window->stageWidget();
    dialogs.inputs.push_back(std::string("1000"));
    clickAt(screen("cmdPartsButton5")); // "所持金"
    ASSERT_EQ(moneyLabel(), QStringLiteral("所持金：￥1000"));
    ASSERT_EQ(m.app.Wallet, (std::array<std::int16_t, 5>{1, 0, 0, 0, 0}));

    clickAt(screen("cmdStart"));
    ASSERT_EQ(m.app.RunMode, ModeRunning);

    // The note is let go with its centre just inside the slot's top-left corner: its own
    // corner lies outside the slot, and it still goes in.
    const int k = window->engine().visibleCoin(0);
    ASSERT_GE(k, 0);
    const StageRect note = window->stage().coins[static_cast<std::size_t>(k)].rect;
    const StageRect slot = window->stage().part(CoinSlot).rect;
    const QPoint grab = centre(note);
    const QPoint target(slot.left / T + 3, slot.top / T + 3);
    dragFromTo(screen(stage, grab), screen(stage, target));
    EXPECT_EQ(m.part(Counter).A(), 1000) << "the note went into the slot";
    EXPECT_EQ(m.app.Wallet[0], 0);
    EXPECT_EQ(moneyLabel(), QStringLiteral("所持金：￥0"));
    EXPECT_EQ(window->stage().coins[static_cast<std::size_t>(k)].rect, note) << "the note's picture is back in the wallet";

    clickAt(screen(stage, centre(window->stage().part(Button).rect)));
    // The button's program goes on once the product's sound is over.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->engine().programRunning(); }, 3000));
    ASSERT_EQ(window->stage().products.size(), 1u);
    clickAt(screen(stage, centre(window->stage().part(Lever).rect)));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back(), "お釣が880円でました");
    EXPECT_EQ(moneyLabel(), QStringLiteral("所持金：￥880"));
    EXPECT_EQ(m.app.Wallet, (std::array<std::int16_t, 5>{0, 1, 3, 1, 3}));
    shot("running-change-taken.png");

    clickAt(screen("cmdStop"));
    ASSERT_EQ(m.app.RunMode, ModeEditing);
    EXPECT_EQ(moneyLabel(), QStringLiteral("所持金：￥1000"));
    EXPECT_EQ(m.app.MoneyInHand, 1000);
    EXPECT_EQ(m.app.Wallet, (std::array<std::int16_t, 5>{1, 0, 0, 0, 0}));
}

// A coin let go away from the slot, even just beyond the 8 pixels around it, goes back.
TEST_F(RunWithTheXMouse, CoinLetGoBesideTheSlotGoesBack)
{
    QWidget *stage = window->stageWidget();
    clickAt(screen("cmdStart"));
    ASSERT_EQ(m.app.RunMode, ModeRunning);
    const auto before = m.app.Wallet;
    const StageRect coin = window->stage().coins[2].rect;
    const StageRect slot = window->stage().part(CoinSlot).rect;
    dragFromTo(screen(stage, centre(coin)), screen(stage, QPoint(slot.left / T - 10, slot.top / T + 10)));
    EXPECT_EQ(m.part(Counter).A(), 0);
    EXPECT_EQ(m.app.Wallet, before);
    EXPECT_EQ(window->stage().coins[2].rect, coin);
}

} // namespace
} // namespace jhk

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
