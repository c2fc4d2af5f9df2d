// jihankobo-check: checks a class's machine documents against scenarios or a model answer and
// reports a table for the teacher on the terminal, as CSV and as a printable page.
#include "app/RunningProgram.h"
#include "check/CheckProgram.h"
#include "check/Language.h"

#ifdef JHK_CHECK_PICTURES
#include "check/MachinePicture.h"

#include <QGuiApplication>
#endif

#include <unistd.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

#ifdef JHK_CHECK_PICTURES
// Qt's own remarks (fonts, the offscreen platform) are no business of a teacher's terminal.
void quietQtMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << text.toLocal8Bit().constData() << '\n';
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    jhk::CheckProgramIo io(std::cout, std::cerr);
#ifdef __EMSCRIPTEN__
    // Under node every standard stream looks like a terminal to the C library: node knows.
    io.errIsTerminal = EM_ASM_INT({ return require('tty').isatty(2) ? 1 : 0; }) == 1;
#else
    io.errIsTerminal = isatty(STDERR_FILENO) == 1;
#endif
    io.version = JHK_VERSION;
    io.language = jhk::systemLanguage();
    io.now = localTimeNow();
    io.appDir = jhk::applicationFolder();

#ifdef JHK_CHECK_PICTURES
    // The pictures for the page are drawn without a screen, once every check is done.
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    std::unique_ptr<QGuiApplication> app;
    io.pictures = [&](const std::string &appDir, const std::vector<jhk::MachineResult> &results) {
        if (!app) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler(quietQtMessages);
            app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        }
        return jhk::machinePictures(appDir, results);
    };
#endif
    return jhk::runCheckProgram(args, io);
}
