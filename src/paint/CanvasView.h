#pragma once

#include <QLineEdit>
#include <QWidget>

namespace jhk {

class PaintSession;

// The drawing surface on screen: shows the drawing pixel for pixel (zooming enlarges the
// drawing itself) and forwards the mouse to the session. It also holds the text tool's box.
class CanvasView : public QWidget
{
    Q_OBJECT
public:
    explicit CanvasView(PaintSession &session, QWidget *parent = nullptr);

    // Follows the session: size, text box, cursor.
    void sync();
    QLineEdit *textBox() const { return textBox_; }

signals:
    // Something the window shows may have changed (undo item, colours, status areas).
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitTextBox();

    PaintSession &session_;
    QLineEdit *textBox_;
};

} // namespace jhk
