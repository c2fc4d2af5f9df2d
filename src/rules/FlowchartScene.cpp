#include "rules/FlowchartScene.h"

#include "model/Records.h"

namespace jhk {

std::string level1Notice(int step)
{
    return "レベル１のステップ" + std::to_string(step) + "では\n　このパーツにブロックを設定することはできません";
}

FlowchartScene buildFlowchartScene(const PartsRecord &part, const CanvasGeometry &g, bool level1Empty, int step)
{
    FlowchartScene scene;
    scene.geometry = g;
    if (level1Empty) {
        scene.startBoxVisible = false;
        scene.ovalsVisible = false;
        scene.notice = level1Notice(step);
    }
    for (int i = 0; i < BlockSlots; ++i) {
        const BlockRecord &b = part.Blocks[static_cast<std::size_t>(i)];
        if (!b.isUsed())
            continue;
        scene.boxes.push_back({i, g.boxAt(b.X, b.Y), b.Caption, b.Kind == BlockBranch, b.Complete != 0, {}});
    }
    if (part.BlockCount > 0)
        scene.connectors = connectorDrawing(part, g);
    return scene;
}

void addOperandWords(FlowchartScene &scene, const PartsRecord &part, OperandStyle style)
{
    for (BlockBox &box : scene.boxes)
        box.words = blockInWords(part.Blocks[static_cast<std::size_t>(box.slot)], style);
}

} // namespace jhk
