#include "blockeditor/BlockEditor.h"
#include "model/AppPaths.h"
#include "model/AppState.h"
#include "print/PrintCommand.h"
#include "stage/MainWindow.h"
#include "stage/SplashWindow.h"
#include "stage/StartWindow.h"
#include "ui/QtUserDialogs.h"
#include "ui/StagePictures.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int usage()
{
    std::fputs("usage: jihankobo [MACHINE.jhk]\n"
               "       jihankobo --print [--printer NAME] [--copies N] MACHINE.jhk|FOLDER...\n"
               "       jihankobo --print-pdf MACHINE.jhk OUT.pdf\n"
               "       jihankobo --print-pdf OUT.pdf MACHINE.jhk|FOLDER...\n"
               "       jihankobo --worksheet [--blank] MACHINE.jhk OUT.pdf\n"
               "       jihankobo --export-flowchart MACHINE.jhk PART OUT.png\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // The batch commands work without a screen, e.g. on a teacher's server.
    const bool batch = argc > 1
        && (jhk::isPrintCommand(QString::fromLocal8Bit(argv[1])) || std::strcmp(argv[1], "--export-flowchart") == 0);
    if (batch && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jihankobo"));
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
            return usage();
        return jhk::exportFlowchart(args[1], part, args[3]);
    }
    if (const auto status = jhk::runPrintCommand(args))
        return *status;
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(QLatin1Char('-'))))
        return usage();
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
                            jhk::MessageIcon::Critical);
        return 1;
    }

    const QString appFolder = QString::fromStdString(jhk::applicationFolder());
    jhk::StagePictures pictures(appFolder);
    std::unique_ptr<jhk::MainWindow> mainWindow;

    auto *splash = new jhk::SplashWindow;
    QPointer<jhk::StartWindow> start;
    QObject::connect(splash, &jhk::SplashWindow::closed, [&] {
        start = new jhk::StartWindow(pictures, machine.app.TwipsY);
        start->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(start, &jhk::StartWindow::started, [&](const jhk::StartChoice &choice) {
            choice.apply(machine.app);
            mainWindow = std::make_unique<jhk::MainWindow>(machine, appFolder);
            mainWindow->show();
            if (!machineFile.isEmpty())
                QTimer::singleShot(0, mainWindow.get(), [&] { mainWindow->openFile(machineFile.toStdString()); });
        });
        start->show();
    });
    splash->show();
    return QApplication::exec();
}
