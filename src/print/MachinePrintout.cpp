#include "print/MachinePrintout.h"

#include "engine/Stage.h"
#include "model/AppPaths.h"
#include "model/AppState.h"
#include "print/PaperPainter.h"
#include "print/Printer.h"
#include "ui/StagePictures.h"

#include <QPainter>

namespace jhk {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

// The picture part i shows: from the application folder, or else painted and kept beside
// the document.
QPixmap partPicture(const PrintSource &source, int i)
{
    const int kind = source.machine.part(i).Kind;
    const std::string &picture = source.stage.part(i).picture;
    const std::string appFolder = source.pictures.appFolder().toStdString();
    if (!source.documentPath.empty() && picture != "dummy" && resolveInFolder(appFolder, picture).empty()) {
        const QPixmap painted(text(findPartPicture(appFolder, source.documentPath, picture)));
        if (!painted.isNull())
            return painted;
    }
    return source.pictures.partPicture(kind, picture);
}

} // namespace

void paintMachinePicture(QPainter &painter, int dpiX, int dpiY, const PrintSource &source, bool numbers)
{
    const QtPaperMeasure measure(painter.device());
    const MachinePrint print{source.machine, source.stage, source.labelFonts, source.headerNote, numbers};
    const std::vector<PaperItem> items = layoutMachinePrint(print, dpiX, dpiY, painter.device()->width(), measure);
    paintPaperItems(painter, items, [&](const PaperItem &item) {
        return item.slot < 0 ? source.pictures.file(item.picture, QSize(StageWidthPixels, StageHeightPixels))
                             : partPicture(source, item.slot);
    });
}

QString printMachine(Printer &printer, const PrintSource &source, bool numbers)
{
    return printer.print(1, [&](QPainter &painter, int, int dpiX, int dpiY) {
        paintMachinePicture(painter, dpiX, dpiY, source, numbers);
    });
}

} // namespace jhk
