#pragma once

#include "paint/Colour.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace jhk {

class PaintSession;

// A square showing one colour: a swatch, or the front or back colour box. It reports the
// press (with its button), the click and the double-click.
class ColourSquare : public QWidget
{
    Q_OBJECT
public:
    explicit ColourSquare(QSize size, QWidget *parent = nullptr);
    void setColour(Colour colour);
    Colour colour() const { return colour_; }

signals:
    void pressed(Qt::MouseButton button);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    Colour colour_ = ColourWhite;
};

// The strip under the stage: the front and back colour boxes, their two small buttons, the
// 18 swatches, the position and help areas and the OK and Cancel buttons.
class PaletteStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StripHeight = 46;

    explicit PaletteStrip(PaintSession &session, QWidget *parent = nullptr);

    // Shows the colours and status texts as the session has them.
    void sync();
    ColourSquare *frontBox() const { return front_; }
    ColourSquare *backBox() const { return back_; }
    ColourSquare *swatchBox(int n) const { return swatches_[static_cast<std::size_t>(n)]; }
    QWidget *resetButton() const { return reset_; }
    QWidget *swapButton() const { return swap_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }

signals:
    // The colours changed.
    void coloursChanged();
    // A double-click asks for the palette window, for the target just set.
    void paletteWanted();

private:
    PaintSession &session_;
    ColourSquare *front_;
    ColourSquare *back_;
    std::array<ColourSquare *, 18> swatches_{};
    QWidget *reset_;
    QWidget *swap_;
    QLabel *position_;
    QLabel *help_;
    QPushButton *ok_;
    QPushButton *cancel_;
};

} // namespace jhk
