#pragma once

#include <QWidget>

#include <array>

class QToolButton;

namespace jhk {

class PaintSession;

// One option panel: its entries are drawn black, the chosen one red; a click inside an entry
// chooses it.
class OptionPanel : public QWidget
{
    Q_OBJECT
public:
    enum Kind { LineWidth, FillShapes, EraserSize };
    OptionPanel(Kind kind, QWidget *parent = nullptr);
    void setChosen(int entry);
    int chosen() const { return chosen_; }
    int entryAt(QPoint p) const;

signals:
    void entryChosen(int entry);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect eraserSquare(int entry) const;

    Kind kind_;
    int chosen_ = 0;
};

// The tool column of the paint window: ten tool buttons and three option panels.
class ToolColumn : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ColumnWidth = 58;

    explicit ToolColumn(PaintSession &session, QWidget *parent = nullptr);

    // Shows the current tool and its panels as the session has them.
    void sync();
    QToolButton *toolButton(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    OptionPanel *lineWidthPanel() const { return lineWidth_; }
    OptionPanel *fillPanel() const { return fill_; }
    OptionPanel *eraserPanel() const { return eraser_; }

signals:
    void toolChosen();

private:
    PaintSession &session_;
    std::array<QToolButton *, 10> buttons_{};
    OptionPanel *lineWidth_;
    OptionPanel *fill_;
    OptionPanel *eraser_;
};

// The cursor over the drawing for the current tool (and eraser size).
QCursor toolCursor(const PaintSession &session);

} // namespace jhk
