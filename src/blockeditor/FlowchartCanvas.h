#pragma once

#include "rules/BlockEditorModel.h"

#include <QWidget>

namespace jhk {

// The canvas "picBlockBack" of the block editor: draws the model's flowchart and turns mouse
// events on the boxes into the model's box, start-box and end-box events (positions in twips).
class FlowchartCanvas : public QWidget {
    Q_OBJECT
public:
    FlowchartCanvas(BlockEditorModel &model, QWidget *parent = nullptr);

    // Canvas twips of a widget position.
    QPoint toTwips(QPointF pos) const;

signals:
    void boxPressed(int slot, jhk::BoxButton button, int x, int y, QPoint globalPos);
    void boxMoved(int slot, int x, int y);
    void boxReleased(int slot, jhk::BoxButton button);
    void boxDoubleClicked(int slot);
    void startBoxPressed();
    void startBoxDoubleClicked();
    void endBoxClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QPoint insideBox(int slot, QPointF pos) const;

    BlockEditorModel &m_model;
    int m_pressedSlot = -1;
    Qt::MouseButton m_pressedButton = Qt::NoButton;
};

} // namespace jhk
