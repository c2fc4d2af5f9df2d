#pragma once

#include "rules/FlowchartScene.h"

#include <optional>
#include <vector>

class QPainter;
class QString;

namespace jhk {

// The marks drawn over the flowchart: the editor's selection outline and target-cell marker;
// the run view's block being executed, the block "▼" runs next, the block at which a run
// stopped because something was not set, and the lines of the path just taken (drawn over the
// connectors, under the boxes).
struct FlowchartMarks {
    std::optional<TwipsRect> outline;
    std::optional<TwipsRect> targetCell;
    std::optional<TwipsRect> running;
    std::optional<TwipsRect> next;
    std::optional<TwipsRect> stopped;
    std::vector<ConnectorItem> path;
};

// Draws the canvas of the block editor at 1:1 (one pixel per TwipsX / TwipsY twips): the
// ground, the level-1 notice, the connectors with their captions, then the start and end boxes
// and the block boxes above them, and the marks. The editor's canvas, the flowchart export and
// the run view draw with this.
void paintFlowchart(QPainter &painter, const FlowchartScene &scene, const FlowchartMarks &marks = {});

// Writes the scene as a picture of the canvas's size: a PDF page when the name ends in ".pdf",
// otherwise an image in the format of its extension. On failure returns false and says why.
bool writeFlowchartPicture(const FlowchartScene &scene, const QString &path, QString *error);

} // namespace jhk
