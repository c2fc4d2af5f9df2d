// The main window's part of recovery: a window that goes away without its quit prompt leaves
// its copy, and the next window offers it: "いいえ" deletes it, "はい" restores the machine with
// its level as a machine with unsaved changes, and a damaged copy is refused with a message.
#include "FakeDialogs.h"
#include "document/RecoveryStore.h"
#include "model/AppState.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"
#include "stage/PropertyDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace jhk {
namespace {

struct Program {
    Machine machine;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    Program(int level, const QString &recovery)
    {
        applyStartupValues(machine.app, 15, 15);
        StartChoice{level, 0}.apply(machine.app);
        window = std::make_unique<MainWindow>(machine, QStringLiteral(JHK_APP_DIR), &dialogs);
        window->enableRecovery(recovery.toStdString());
        window->show();
    }
    void placeProduct()
    {
        QTimer::singleShot(0, [] {
            if (auto *d = qobject_cast<PropertyDialog *>(QApplication::activeModalWidget()))
                d->pressOk();
        });
        window->dropPalette(KindProduct, window->stageWidget()->mapToGlobal(QPoint(100, 100)));
        QCoreApplication::processEvents(); // the dialog answers
    }
};

class RecoveryWindow : public ::testing::Test {
protected:
    QStringList copies() const { return QDir(recovery).entryList({QStringLiteral("*.jhkr")}, QDir::Files); }
    // A level-3 machine with a product, kept and then lost without the quit prompt.
    void leaveACopy()
    {
        Program killed(3, recovery);
        killed.placeProduct();
        ASSERT_TRUE(killed.machine.partExists(0));
        killed.window->keepRecoveryCopy();
        ASSERT_EQ(copies().size(), 1);
    }

    QTemporaryDir dir;
    QString recovery = dir.filePath(QStringLiteral("recovery"));
};

TEST_F(RecoveryWindow, NoDeletesTheCopyAndYesRestoresTheMachineWithItsLevel)
{
    leaveACopy();
    {
        Program next(1, recovery);
        next.dialogs.answers = {Answer::No};
        EXPECT_FALSE(next.window->offerRecovery());
        ASSERT_EQ(next.dialogs.shown.size(), 1u);
        // The question, and below it when the copy was made.
        EXPECT_EQ(next.dialogs.shown[0].rfind(RecoveryQuestion, 0), 0u) << next.dialogs.shown[0];
        EXPECT_NE(next.dialogs.shown[0].find("に記録されたものです"), std::string::npos) << next.dialogs.shown[0];
        EXPECT_TRUE(copies().isEmpty());
        EXPECT_FALSE(next.machine.partExists(0));
    }

    leaveACopy();
    const QString left = copies().front();
    Program next(1, recovery);
    next.dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(next.window->offerRecovery());
    EXPECT_EQ(next.machine.app.Level, 3);
    EXPECT_TRUE(next.machine.partExists(0));
    EXPECT_TRUE(next.window->stage().part(0).visible);
    // Still unsaved: the window keeps a copy of its own, and the one it restored is gone.
    ASSERT_EQ(copies().size(), 1);
    EXPECT_NE(copies().front(), left);
    EXPECT_FALSE(Program(1, recovery).window->offerRecovery()) << "the copy of a running program is not offered";

    next.dialogs.files = {dir.filePath(QStringLiteral("saved.jhk")).toStdString()};
    ASSERT_TRUE(next.window->saveFile());
    EXPECT_TRUE(copies().isEmpty()) << "a save removes the copy";
}

TEST_F(RecoveryWindow, ADamagedCopyIsRefusedWithAMessageAndDeleted)
{
    QDir().mkpath(recovery);
    QFile damaged(QDir(recovery).filePath(QStringLiteral("copy-1-damaged.jhkr")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("JIHANKOBO RECOVERY 1 and then nothing sensible");
    damaged.close();

    Program next(2, recovery);
    next.dialogs.answers = {Answer::Yes};
    EXPECT_FALSE(next.window->offerRecovery());
    ASSERT_EQ(next.dialogs.shown.size(), 2u);
    EXPECT_EQ(next.dialogs.shown[1].rfind(DamagedRecoveryMessage, 0), 0u) << next.dialogs.shown[1];
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_EQ(next.machine.app.Level, 2);
    EXPECT_EQ(next.machine.app.PartsCount, 0);
}

} // namespace
} // namespace jhk
