#include "blockeditor/BlockEditor.h"
#include "app/RunningProgram.h"
#include "model/AppState.h"
#include "model/CommandLine.h"
#include "model/DesktopUsage.h"
#include "print/OutputFile.h"
#include "print/PrintCommand.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"
#include "stage/SplashWindow.h"
#include "stage/StartWindow.h"
#include "ui/QtUserDialogs.h"
#include "ui/StagePictures.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// Does a piece of work once, right after the first thing the program paints (its first window).
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QObject *parent, std::function<void()> work) : QObject(parent), m_work(std::move(work)) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_work) {
            QTimer::singleShot(0, this, [this] {
                auto work = std::move(m_work);
                m_work = nullptr;
                work();
                deleteLater();
            });
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_work;
};

constexpr const char *Program = "jihankobo";
// The usage and the options, from the table the manual page is written from as well.
const std::string EnglishUsage = jhk::desktopUsage(false);
const std::string JapaneseUsage = jhk::desktopUsage(true);
const jhk::Usage ProgramUsage{EnglishUsage.c_str(), JapaneseUsage.c_str()};

// A wrong command line: what is wrong in the system's language, then the usage; status 2.
int usage(const QString &japanese, const QString &english)
{
    const QString what = jhk::japaneseMessages() ? japanese : english;
    return jhk::usageError(Program, ProgramUsage, what.toLocal8Bit().toStdString());
}

// The batch commands need no runtime folder: Qt's note that the session has none is not for
// the teacher's terminal. Everything else goes out as usual.
QtMessageHandler standardMessages = nullptr;

void quietBatchMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (standardMessages)
        standardMessages(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto answered = jhk::answerHelpOrVersion(argc, argv, Program, ProgramUsage, JHK_VERSION))
        return *answered;
    // The batch commands work without a screen, e.g. on a teacher's server.
    const bool batch = argc > 1
        && (jhk::isPrintCommand(QString::fromLocal8Bit(argv[1])) || std::strcmp(argv[1], "--export-flowchart") == 0);
    if (batch && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (batch)
        standardMessages = qInstallMessageHandler(quietBatchMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jihankobo"));
    // Every window (main, start, editors, paint tool, run view, dialogs) carries the icon. Its
    // sizes are read as the built-in pictures are, as PNG: a file name handed to QIcon would
    // be probed by every image-format plugin before the splash is up.
    // The large sizes (for docks and window switchers) are handed over once the first window
    // has drawn itself: sent to the X server with a window's mapping, they held the splash back.
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addPixmap(jhk::StagePictures::builtIn(QStringLiteral(":/icons/jihankobo-%1.png").arg(size)));
    QApplication::setWindowIcon(icon);
    auto *largeIcons = new AfterFirstPaint(&app, [icon]() mutable {
        for (const int size : {128, 256})
            icon.addPixmap(jhk::StagePictures::builtIn(QStringLiteral(":/icons/jihankobo-%1.png").arg(size)));
        QApplication::setWindowIcon(icon);
    });
    app.installEventFilter(largeIcons);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.jihankobo.JihanKobo"));
    QApplication::setApplicationVersion(QStringLiteral(JHK_VERSION));

    QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    const QStringList args = QApplication::arguments().mid(1);
    QString machineFile;
    if (!args.isEmpty() && args.first() == QStringLiteral("--export-flowchart")) {
        bool ok = false;
        const int part = args.size() == 4 ? args[2].toInt(&ok) : 0;
        if (!ok)
            return usage(QStringLiteral("--export-flowchart には、マシンのファイル、パーツ番号（数）、書き出すファイルの名前を書いてください。"),
                         QStringLiteral("--export-flowchart needs a machine file, a part number and the name of the file to write"));
        if (const QString refused = jhk::machineOutputRefusal(args[3]); !refused.isEmpty()) {
            std::fprintf(stderr, "%s\n", refused.toLocal8Bit().constData());
            return 2;
        }
        return jhk::exportFlowchart(args[1], part, args[3]);
    }
    if (const auto status = jhk::runPrintCommand(args))
        return *status;
    if (!args.isEmpty() && args.first().startsWith(QLatin1Char('-')))
        return usage(QStringLiteral("知らないオプションです: %1").arg(args.first()),
                     QStringLiteral("unknown option: %1").arg(args.first()));
    if (args.size() > 1)
        return usage(QStringLiteral("開けるマシンのファイルは1つだけです: %1").arg(args.mid(1).join(QLatin1Char(' '))),
                     QStringLiteral("only one machine file can be opened: %1").arg(args.mid(1).join(QLatin1Char(' '))));
    if (!args.isEmpty())
        machineFile = args.first();

    // The tables and the application state live as long as the program.
    static jhk::Machine machine;
    QScreen *screen = QGuiApplication::primaryScreen();
    const double dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    jhk::applyStartupValues(machine.app, 1440.0 / dpiX, 1440.0 / dpiY);
    const QSize screenSize = screen ? screen->size() : QSize(800, 600);
    if (const auto refused = jhk::screenCheck(static_cast<long long>(screenSize.width()) * machine.app.TwipsX,
                                              static_cast<long long>(screenSize.height()) * machine.app.TwipsY,
                                              machine.app.TwipsX, machine.app.TwipsY)) {
        jhk::showMessageBox(nullptr, QString::fromStdString(*refused), jhk::MessageButtons::Ok,
                            jhk::MessageIcon::Critical, [](jhk::Answer) { QCoreApplication::exit(1); });
        return QApplication::exec();
    }

    const QString appFolder = QString::fromStdString(jhk::applicationFolder());
    jhk::StagePictures pictures(appFolder);
    std::unique_ptr<jhk::MainWindow> mainWindow;
    const auto keepRecoveryCopies = [](jhk::MainWindow &window) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!data.isEmpty())
            window.enableRecovery((data + QStringLiteral("/recovery")).toStdString());
    };

    QPointer<jhk::StartWindow> start;
    const auto startAsUsual = [&] {
        auto *splash = new jhk::SplashWindow;
        QObject::connect(splash, &jhk::SplashWindow::closed, [&] {
            start = new jhk::StartWindow(pictures, machine.app.TwipsY);
            start->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(start, &jhk::StartWindow::started, [&](const jhk::StartChoice &choice) {
                choice.apply(machine.app);
                mainWindow = std::make_unique<jhk::MainWindow>(machine, appFolder);
                mainWindow->show();
                mainWindow->restoreRunView();
                keepRecoveryCopies(*mainWindow);
                // A machine left by a program that ended without saving is offered once the
                // start windows are done.
                QTimer::singleShot(0, mainWindow.get(), [&] { mainWindow->offerRecovery(); });
            });
            start->show();
        });
        splash->show();
    };

    // A machine given on the command line (a teacher double-clicking a pupil's file) goes
    // straight to its main window: the document decides the level and the background. One that
    // cannot be opened leaves its reader's message, then the program starts as usual once the
    // message has been answered.
    if (!machineFile.isEmpty()) {
        const jhk::AppState startValues = machine.app;
        jhk::StartChoice().apply(machine.app);
        mainWindow = std::make_unique<jhk::MainWindow>(machine, appFolder);
        if (mainWindow->openFile(machineFile.toStdString())) {
            mainWindow->show();
            mainWindow->restoreRunView();
            // The opened file is what the teacher asked for: a copy left by an earlier program
            // is not offered here but at the next ordinary start.
            keepRecoveryCopies(*mainWindow);
            return QApplication::exec();
        }
        mainWindow->whenQuestionsAnswered([&, startValues] {
            QTimer::singleShot(0, [&, startValues] {
                mainWindow.reset();
                machine = jhk::Machine();
                machine.app = startValues;
                startAsUsual();
            });
        });
        return QApplication::exec();
    }

    startAsUsual();
    return QApplication::exec();
}
