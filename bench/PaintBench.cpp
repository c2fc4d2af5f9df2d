// Flood fill and zooming on the largest canvas the size dialog allows (475 × 395 pixels at
// 15 twips per pixel), the two pixel operations a pupil waits for, and the memory zooming takes.
#include "paint/PaintSession.h"
#include "paint/imagelib/FloodFill.h"
#include "paint/imagelib/Shapes.h"
#include "paint/imagelib/Zoom.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr QSize LargestCanvas(475, 395);

// A picture with some outlines in it, so the fill has edges to follow.
QImage sketch()
{
    QImage image = jhk::whitePicture(LargestCanvas);
    for (int i = 0; i < 12; ++i)
        jhk::pixels::drawRectangle(image, QPoint(20 + 15 * i, 10 + 12 * i), QPoint(450 - 9 * i, 380 - 11 * i), 1,
                                   0xFF000000, false, jhk::pixels::Stroke::Solid);
    jhk::pixels::drawEllipse(image, QPoint(100, 80), QPoint(380, 300), 2, 0xFF000000, std::nullopt,
                             jhk::pixels::Stroke::Solid);
    return image;
}

void FloodFillWholeCanvas(benchmark::State &state)
{
    QImage white = jhk::whitePicture(LargestCanvas);
    QRgb colours[2] = {0xFFFF0000, 0xFF0000FF};
    int turn = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(jhk::pixels::floodFill(white, QPoint(200, 200), colours[turn]));
        turn ^= 1;
    }
    state.SetItemsProcessed(state.iterations() * LargestCanvas.width() * LargestCanvas.height());
}
BENCHMARK(FloodFillWholeCanvas)->Unit(benchmark::kMicrosecond);

void FloodFillAroundOutlines(benchmark::State &state)
{
    QImage image = sketch();
    QRgb colours[2] = {0xFFFF0000, 0xFF0000FF};
    int turn = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(jhk::pixels::floodFill(image, QPoint(2, 2), colours[turn]));
        turn ^= 1;
    }
}
BENCHMARK(FloodFillAroundOutlines)->Unit(benchmark::kMicrosecond);

// The resident memory of this process, or its peak since the last resetPeakMemory(), in bytes.
long long memoryBytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::strlen(field))) * 1024;
    return 0;
}
void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The zoom tool pressed three times: 1 → 2 → 4 → 8. Counters: the peak memory the zoom took
// above what the program held before it, against the size of the zoomed drawing. With
// `touchCopies` the undo and base copies are then read at the zoomed size as well, the work
// every zoom did when the copies followed the drawing's size at once.
void zoomToEight(benchmark::State &state, bool touchCopies)
{
    const QImage picture = sketch();
    const double zoomedBytes = double(LargestCanvas.width()) * 8 * LargestCanvas.height() * 8 * 4;
    {
        jhk::PaintSession session;
        session.start(picture);
        const long long before = memoryBytes("VmRSS:");
        resetPeakMemory();
        for (int step = 0; step < 3; ++step)
            session.zoomIn();
        if (touchCopies) {
            benchmark::DoNotOptimize(session.undoCopy().constBits());
            benchmark::DoNotOptimize(session.baseCopy().constBits());
        }
        const long long peak = memoryBytes("VmHWM:");
        state.counters["peak_MB"] = double(peak - before) / 1e6;
        state.counters["peak_per_zoomed_image"] = double(peak - before) / zoomedBytes;
    }
    jhk::PaintSession session;
    for (auto _ : state) {
        state.PauseTiming();
        session.start(picture);
        state.ResumeTiming();
        session.zoomIn();
        session.zoomIn();
        session.zoomIn();
        if (touchCopies) {
            benchmark::DoNotOptimize(session.undoCopy().constBits());
            benchmark::DoNotOptimize(session.baseCopy().constBits());
        }
        benchmark::DoNotOptimize(session.drawing().constBits());
    }
}
void ZoomToEight(benchmark::State &state) { zoomToEight(state, false); }
BENCHMARK(ZoomToEight)->Unit(benchmark::kMillisecond);
void ZoomToEightCopiesMadeAtOnce(benchmark::State &state) { zoomToEight(state, true); }
BENCHMARK(ZoomToEightCopiesMadeAtOnce)->Unit(benchmark::kMillisecond);

// The yardstick: one QImage scale of the canvas to the size of the drawing at zoom 8.
void QImageScaleToEight(benchmark::State &state)
{
    const QImage picture = sketch();
    const QSize eight = LargestCanvas * 8;
    for (auto _ : state)
        benchmark::DoNotOptimize(picture.scaled(eight, Qt::IgnoreAspectRatio, Qt::FastTransformation).constBits());
}
BENCHMARK(QImageScaleToEight)->Unit(benchmark::kMillisecond);

// Back from 8 to 1, as "決定" does while zoomed in.
void ZoomBackFromEight(benchmark::State &state)
{
    jhk::PaintSession session;
    const QImage picture = sketch();
    for (auto _ : state) {
        state.PauseTiming();
        session.start(picture);
        session.zoomIn();
        session.zoomIn();
        session.zoomIn();
        state.ResumeTiming();
        benchmark::DoNotOptimize(session.okPicture().constBits());
    }
}
BENCHMARK(ZoomBackFromEight)->Unit(benchmark::kMillisecond);

// The pixel operations alone, without the session's copies.
void EnlargeTwiceFromFour(benchmark::State &state)
{
    const QImage four = jhk::pixels::enlargeTwice(jhk::pixels::enlargeTwice(sketch()));
    for (auto _ : state)
        benchmark::DoNotOptimize(jhk::pixels::enlargeTwice(four).constBits());
}
BENCHMARK(EnlargeTwiceFromFour)->Unit(benchmark::kMillisecond);

} // namespace
