// Flood fill and zooming on the largest canvas the size dialog allows (475 × 395 pixels at
// 15 twips per pixel), the two pixel operations a pupil waits for.
#include "paint/PaintSession.h"
#include "paint/imagelib/FloodFill.h"
#include "paint/imagelib/Shapes.h"
#include "paint/imagelib/Zoom.h"

#include <benchmark/benchmark.h>

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

// The zoom tool pressed three times: 1 → 2 → 4 → 8, with the copies following the size.
void ZoomToEight(benchmark::State &state)
{
    jhk::PaintSession session;
    const QImage picture = sketch();
    for (auto _ : state) {
        state.PauseTiming();
        session.start(picture);
        state.ResumeTiming();
        session.zoomIn();
        session.zoomIn();
        session.zoomIn();
        benchmark::DoNotOptimize(session.drawing().constBits());
    }
}
BENCHMARK(ZoomToEight)->Unit(benchmark::kMillisecond);

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
