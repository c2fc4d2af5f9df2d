#pragma once

#include <QToolButton>

#include <functional>

namespace jhk {

// A button of the part palette: pressing it starts dragging it, releasing the mouse drops
// it where the mouse is. The drop itself is the main window's business.
class PaletteButton : public QToolButton {
    Q_OBJECT
public:
    explicit PaletteButton(int index, QWidget *parent = nullptr);
    int index() const { return m_index; }
    // Decides on button-down whether a drag starts.
    void setDragRule(std::function<bool(int)> rule) { m_rule = std::move(rule); }

signals:
    void dropped(int index, QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
    std::function<bool(int)> m_rule;
    bool m_dragging = false;
};

} // namespace jhk
