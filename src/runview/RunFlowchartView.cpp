#include "runview/RunFlowchartView.h"

#include "model/AppState.h"
#include "rules/RunViewModel.h"
#include "ui/FlowchartPainter.h"

#include <QPainter>

#include <algorithm>

namespace jhk {

namespace {

// Room around the canvas for the marks drawn just outside boxes at its edges.
constexpr int Margin = 6;
constexpr int NextMarkRoom = 14;

} // namespace

RunFlowchartView::RunFlowchartView(const Machine &machine, const RunViewModel &model, QWidget *parent)
    : QWidget(parent), m_m(machine), m_model(model)
{
    setObjectName(QStringLiteral("runFlowchart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize RunFlowchartView::sizeHint() const
{
    return {CanvasGeometry::WidthPx + 2 * Margin + NextMarkRoom, CanvasGeometry::HeightPx + 2 * Margin};
}

void RunFlowchartView::setFit(bool fit)
{
    m_fit = fit;
    update();
}

void RunFlowchartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(40, 40, 40));
    const int part = m_model.shownPart();
    if (!m_m.partExists(part))
        return;

    const AppState &app = m_m.app;
    const CanvasGeometry g{std::max<int>(1, app.TwipsX), std::max<int>(1, app.TwipsY)};
    const PartsRecord &p = m_m.part(part);
    const FlowchartScene scene = buildFlowchartScene(p, g, app.Level == 1 && p.BlockCount <= 0, app.Step);

    FlowchartMarks marks;
    auto boxOf = [&](int block) -> std::optional<TwipsRect> {
        if (block == LinkEnd)
            return g.endBox();
        if (block < 0 || block >= BlockSlots || !p.Blocks[static_cast<std::size_t>(block)].isUsed())
            return std::nullopt;
        const BlockRecord &b = p.Blocks[static_cast<std::size_t>(block)];
        return g.boxAt(b.X, b.Y);
    };
    marks.running = boxOf(m_model.runningBlock());
    marks.next = boxOf(m_model.waitingBlock());
    marks.stopped = boxOf(m_model.stoppedBlock());
    for (const RunViewModel::Link &link : m_model.path()) {
        const auto lines = linkDrawing(p, g, link.from, link.exit);
        marks.path.insert(marks.path.end(), lines.begin(), lines.end());
    }

    double scale = 1.0;
    if (m_fit) {
        const QSize hint = sizeHint();
        scale = std::min(static_cast<double>(width()) / hint.width(), static_cast<double>(height()) / hint.height());
        scale = std::max(0.1, scale);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_fit);
    painter.scale(scale, scale);
    painter.translate(Margin, Margin);
    painter.setClipRect(QRect(-Margin, -Margin, sizeHint().width(), sizeHint().height()));
    paintFlowchart(painter, scene, marks);
}

} // namespace jhk
