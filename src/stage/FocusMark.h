#pragma once

#include <QWidget>

namespace jhk {

// A clearly visible frame around the main window's button that has the keyboard focus (the
// style's own focus mark is a faint line). It follows the focus from button to button; the
// buttons keep their look and place, and the frame takes no clicks.
class FocusMark : public QWidget {
    Q_OBJECT
public:
    explicit FocusMark(QWidget *window);

    // The button the frame is around, or nullptr when it is hidden.
    QWidget *target() const { return m_target; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focus);
    void place();

    QWidget *m_window;
    QWidget *m_target = nullptr;
};

} // namespace jhk
