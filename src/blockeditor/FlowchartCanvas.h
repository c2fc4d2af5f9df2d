#pragma once

#include "rules/BlockEditorSession.h"

#include <QWidget>

namespace jhk {

// The canvas "picBlockBack" of the block editor: draws the session's flowchart and hands the
// mouse to it (which box a press, a move or a double-click is on, and what that means, is the
// session's rule).
class FlowchartCanvas : public QWidget {
    Q_OBJECT
public:
    FlowchartCanvas(BlockEditorSession &session, QWidget *parent = nullptr);

    // Canvas twips of a widget position.
    QPoint toTwips(QPointF pos) const;

signals:
    // The editor's state changed: the window shows it again.
    void changed();
    // A right press on a block box: the box's pop-up menu at `globalPos`.
    void popupRequested(QPoint globalPos);
    // A double-click on a block box opened the block detail dialog's rules: the dialog shows.
    void detailRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    BlockEditorSession &m_session;
};

} // namespace jhk
