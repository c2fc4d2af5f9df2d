#include "PrintTestSupport.h"

#include "print/PrintDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace jhk {
namespace {

using namespace printtest;

class PrintDialogTest : public ::testing::Test {
protected:
    // Opens the dialog as the main window does, with questions answered by the test.
    PrintDialog *open()
    {
        PrintDialog *d = showPrintDialog(nullptr, {*m_pm.machine, m_pm.stage, m_pictures});
        PrintDialog::Questions q;
        q.pdfFile = [this](QWidget *, std::function<void(const QString &)> answer) {
            ++m_asked;
            answer(m_answer);
        };
        q.printerSetup = [this](QWidget *, Printer &printer, std::function<void()> done) {
            ++m_setups;
            printer.setOutputFileName(m_out.filePath(QStringLiteral("chosen.pdf")));
            done();
        };
        q.message = [this](QWidget *, const QString &text) { m_messages << text; };
        d->setQuestions(q);
        return d;
    }
    template <class T>
    static T *child(QWidget *d, const char *name)
    {
        return d->findChild<T *>(QString::fromLatin1(name));
    }
    static void click(QWidget *d, const char *button) { QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton); }

    AppFolder m_folder;
    StagePictures m_pictures{m_folder.path()};
    PrintedMachine m_pm;
    QTemporaryDir m_out;
    QString m_answer = m_out.filePath(QStringLiteral("machine"));
    int m_asked = 0;
    int m_setups = 0;
    QStringList m_messages;
};

TEST_F(PrintDialogTest, OpensWithBothBoxesTickedAndItsControlsInPlace)
{
    QPointer<PrintDialog> d = open();
    EXPECT_EQ(d->objectName(), QStringLiteral("frmPrintDialog"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("印刷"));
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->size(), QSize(320, 115));
    struct Control {
        const char *name;
        const char *caption;
        QRect geometry;
    };
    const Control controls[] = {
        {"chkPictPrint", "自動販売機外観のプリント", {16, 16, 193, 33}},
        {"chkNumPrint", "パーツ番号の印刷", {40, 40, 153, 25}},
        {"cmdPSetting", "用紙設定", {240, 16, 73, 25}},
        {"cmdCancel", "キャンセル", {240, 48, 73, 25}},
        {"cmdOK", "印刷", {240, 80, 73, 25}},
    };
    for (const Control &c : controls) {
        auto *w = child<QAbstractButton>(d, c.name);
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->text(), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
    }
    EXPECT_EQ(child<QGroupBox>(d, "FramePrintSetting")->title(), QStringLiteral("プリント内容の設定"));
    EXPECT_TRUE(child<QCheckBox>(d, "chkPictPrint")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(d, "chkNumPrint")->isChecked());
    EXPECT_TRUE(child<QPushButton>(d, "cmdOK")->isDefault());
    d->close();
}

TEST_F(PrintDialogTest, OkWithoutAPrinterPrintsToTheNamedPdfAndCloses)
{
    QPointer<PrintDialog> d = open();
    click(d, "cmdOK");
    EXPECT_EQ(m_asked, 1);
    const QString pdf = m_answer + QStringLiteral(".pdf");
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join(QLatin1Char('\n')).toStdString();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull()); // closing releases it: the next opening starts afresh
}

TEST_F(PrintDialogTest, OkPrintsNothingWithoutTheAppearanceBoxOrWhileRunning)
{
    struct Case {
        const char *what;
        bool picture;
        std::int16_t runMode;
        const char *button;
    };
    const Case cases[] = {
        {"appearance not ticked", false, ModeEditing, "cmdOK"},
        {"machine running", true, ModeRunning, "cmdOK"},
        {"cancel", true, ModeEditing, "cmdCancel"},
    };
    for (const Case &c : cases) {
        m_pm.machine->app.RunMode = c.runMode;
        QPointer<PrintDialog> d = open();
        child<QCheckBox>(d, "chkPictPrint")->setChecked(c.picture);
        click(d, c.button);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(d.isNull()) << c.what;
        EXPECT_EQ(m_asked, 0) << c.what;
        EXPECT_TRUE(QDir(m_out.path()).isEmpty()) << c.what;
    }
}

TEST_F(PrintDialogTest, ThePrinterChosenInTheSetUpIsUsedWithoutAsking)
{
    QPointer<PrintDialog> d = open();
    click(d, "cmdPSetting");
    EXPECT_EQ(m_setups, 1);
    EXPECT_FALSE(d.isNull());
    click(d, "cmdOK");
    EXPECT_EQ(m_asked, 0);
    EXPECT_TRUE(QFileInfo(m_out.filePath(QStringLiteral("chosen.pdf"))).size() > 0);
}

TEST_F(PrintDialogTest, AFailedPrintJobSaysSoAndACancelledFileChoicePrintsNothing)
{
    m_answer = m_out.filePath(QStringLiteral("no-such-folder/machine.pdf"));
    QPointer<PrintDialog> d = open();
    click(d, "cmdOK");
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], QStringLiteral("印刷できませんでした。\n「machine.pdf」に書き込めません。\n保存先のフォルダが見つかりません。"));

    m_answer.clear();
    m_messages.clear();
    d = open();
    click(d, "cmdOK");
    EXPECT_EQ(m_asked, 2);
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
}

// The system's own questions open windows and return at once; the print goes out when the
// file window is answered, and a cancelled one prints nothing.
TEST_F(PrintDialogTest, TheSystemsFileQuestionIsAWindowAnsweredLater)
{
    for (const bool chosen : {false, true}) {
        SCOPED_TRACE(chosen ? "file chosen" : "cancelled");
        QPointer<PrintDialog> d = showPrintDialog(nullptr, {*m_pm.machine, m_pm.stage, m_pictures});
        click(d, "cmdOK");
        auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), QStringLiteral("PDFファイルに印刷"));
        EXPECT_TRUE(d->isVisible()); // still open while the question is up
        if (chosen) {
            files->selectFile(m_answer);
            static_cast<QDialog *>(files)->accept(); // as its save button does
        } else {
            files->reject();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(d.isNull());
        EXPECT_EQ(QFileInfo(m_answer + QStringLiteral(".pdf")).size() > 0, chosen);
    }
}

// "用紙設定" is the system's printer set-up: the queue to print to and its paper.
TEST_F(PrintDialogTest, PaperSetUpIsTheSystemsPrinterSetUp)
{
    PrintDialog dialog({*m_pm.machine, m_pm.stage, m_pictures}); // the system's own questions
    dialog.setUpPrinter(); // opens the set-up and goes on: nothing waits for it
    QString shown;
    if (auto *w = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
        shown = QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->windowTitle();
        EXPECT_EQ(w->parentWidget(), &dialog);
        w->reject();
    }
    EXPECT_EQ(shown, QStringLiteral("QPrintDialog 用紙設定"));
}

} // namespace
} // namespace jhk
