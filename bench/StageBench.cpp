// Repainting the stage of a full machine (30 parts with their "No." labels): the whole stage,
// as every change once repainted it, and with the labels drawn afresh for each paint, as they
// were before the stage kept them.
#include "FakeDialogs.h"
#include "model/AppState.h"
#include "model/Creation.h"
#include "rules/LevelChoice.h"
#include "stage/MainWindow.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

using namespace jhk;

namespace {

struct FullStage {
    Machine m;
    test::FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    FullStage()
    {
        applyStartupValues(m.app, 15, 15);
        StartChoice{3, 0}.apply(m.app);
        window = std::make_unique<MainWindow>(m, QStringLiteral(JHK_APP_DIR), &dialogs);
        for (int n = 0; n < PartSlots - 1; ++n) {
            m.app.DropX = static_cast<float>((10 + (n % 6) * 65) * 15);
            m.app.DropY = static_cast<float>((10 + (n / 6) * 95) * 15);
            createPart(m, n % PartsKindCount == KindMoneyInHand ? KindButton : n % PartsKindCount);
        }
        window->engine().rebuildStage();
        window->refresh();
        window->show();
    }
};

FullStage &stage()
{
    static FullStage s;
    return s;
}

void StageWholeRepaint(benchmark::State &state)
{
    StageWidget *widget = stage().window->stageWidget();
    QImage target(widget->size(), QImage::Format_RGB32);
    for (auto _ : state)
        widget->render(&target);
}
BENCHMARK(StageWholeRepaint)->Unit(benchmark::kMicrosecond);

void StageWholeRepaintLabelsDrawnAfresh(benchmark::State &state)
{
    StageWidget *widget = stage().window->stageWidget();
    QImage target(widget->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QEvent fontChange(QEvent::FontChange); // drops the kept labels
        QCoreApplication::sendEvent(widget, &fontChange);
        widget->render(&target);
    }
}
BENCHMARK(StageWholeRepaintLabelsDrawnAfresh)->Unit(benchmark::kMicrosecond);

// One part's rectangle, as a change of one lamp repaints it now.
void StageOnePartRepaint(benchmark::State &state)
{
    StageWidget *widget = stage().window->stageWidget();
    const QRect part = widget->toPixels(stage().window->stage().part(1).rect);
    QImage target(part.size(), QImage::Format_RGB32);
    for (auto _ : state)
        widget->render(&target, QPoint(), QRegion(part));
}
BENCHMARK(StageOnePartRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
