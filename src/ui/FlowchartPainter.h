#pragma once

#include "ui/FlowchartScene.h"

#include <optional>

class QPainter;
class QString;

namespace jhk {

// The editor's marks drawn over the flowchart: the selection outline and the target-cell marker.
struct FlowchartMarks {
    std::optional<TwipsRect> outline;
    std::optional<TwipsRect> targetCell;
};

// Draws the canvas of the block editor at 1:1 (one pixel per TwipsX / TwipsY twips): the black
// ground, the level-1 notice, the connectors with their captions, then the start and end boxes
// and the block boxes above them, and the marks. The editor's canvas and the flowchart export
// both draw with this.
void paintFlowchart(QPainter &painter, const FlowchartScene &scene, const FlowchartMarks &marks = {});

// Writes the scene as a picture of the canvas's size: a PDF page when the name ends in ".pdf",
// otherwise an image in the format of its extension. On failure returns false and says why.
bool writeFlowchartPicture(const FlowchartScene &scene, const QString &path, QString *error);

} // namespace jhk
