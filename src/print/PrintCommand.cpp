#include "print/PrintCommand.h"

#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/Sound.h"
#include "model/AppPaths.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "print/MachinePrintout.h"
#include "ui/StagePictures.h"

#include <QPrinter>

#include <cstdio>
#include <memory>

namespace jhk {

namespace {

// Twips per pixel of the classroom screens the stage is laid out for (96 dpi).
constexpr double StandardTwipsPerPixel = 15;

// Keeps the engine's messages for standard error.
class MessageLog : public StageView {
public:
    void showMessage(const std::string &text) override { messages += text + "\n"; }
    std::string messages;
};

} // namespace

int printMachineToPdf(const QString &jhk, const QString &pdf)
{
    const std::string appFolder = applicationFolder();
    auto machine = std::make_unique<Machine>();
    applyStartupValues(machine->app, StandardTwipsPerPixel, StandardTwipsPerPixel);
    Catalogue catalogue(appFolder);
    MessageLog log;
    SilentSoundPlayer silence;
    FilePictureSizes sizes(appFolder);
    Engine engine(*machine, catalogue, log, silence, sizes);
    engine.partsLoad();
    if (!engine.openDocument(jhk.toStdString())) {
        std::fprintf(stderr, "%s: %s", jhk.toLocal8Bit().constData(), log.messages.c_str());
        return 1;
    }

    StagePictures pictures(QString::fromStdString(appFolder));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    const QString failure = printMachine(printer, {*machine, engine.stage(), pictures, {}, jhk.toStdString()}, true);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", failure.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace jhk
