#include "check/MachinePicture.h"

#include "engine/Sound.h"
#include "print/MachinePrintout.h"
#include "sim/SimMachine.h"
#include "ui/StagePictures.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace jhk {

namespace {

// The picture is drawn for a 96-dpi screen, the size the stage has in class, at twice that
// density so that it stays sharp on paper.
constexpr int ScreenDpi = 96;
constexpr int Density = 2;
// Room right of the stage for the header's title and lines, screen pixels.
constexpr int HeaderRoomPixels = 460;
constexpr int EdgePixels = 6;

class NoMessages : public StageView {
public:
    void showMessage(const std::string &) override {}
};

// The smallest rectangle holding every pixel that is not the paper's white.
QRect drawnArea(const QImage &image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return image.rect();
    const int edge = EdgePixels * Density;
    return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-edge, -edge, edge, edge).intersected(image.rect());
}

} // namespace

std::string machinePicturePng(const std::string &appDir, const std::string &path)
{
    NoMessages view;
    SilentSoundPlayer silence;
    SimMachine sim(appDir, path, view, silence);
    if (!sim.open())
        return {};
    const Machine &m = sim.machine();
    StagePictures pictures(QString::fromStdString(appDir));
    const PrintSource source{m, sim.engine().stage(), pictures, {}, path};

    const int tx = std::max<int>(1, m.app.TwipsX);
    const int ty = std::max<int>(1, m.app.TwipsY);
    const int dpi = ScreenDpi * Density;
    const int width = (Stage::widthTwips(m) / tx + HeaderRoomPixels) * Density;
    const int height = (Stage::heightTwips(m) / ty + 2 * EdgePixels) * Density;
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(qRound(dpi / 0.0254));
    page.setDotsPerMeterY(qRound(dpi / 0.0254));
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paintMachinePicture(painter, dpi, dpi, source, true);
    }
    const QImage drawn = page.copy(drawnArea(page));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!drawn.save(&buffer, "PNG"))
        return {};
    return png.toStdString();
}

std::vector<std::string> machinePictures(const std::string &appDir, const std::vector<MachineResult> &results)
{
    std::vector<std::string> out;
    for (const MachineResult &r : results)
        out.push_back(r.opened ? machinePicturePng(appDir, r.machine.path) : std::string());
    return out;
}

} // namespace jhk
