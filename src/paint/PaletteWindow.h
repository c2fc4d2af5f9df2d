#pragma once

#include "paint/PaletteModel.h"

#include <QWidget>

#include <array>

class QLabel;

namespace jhk {

// One colour bar of the palette window: 256 shades of its channel and a white marker.
class ColourBar : public QWidget
{
    Q_OBJECT
public:
    ColourBar(PaletteModel &model, PaletteModel::Channel channel, QWidget *parent = nullptr);
    // A widget x in bar units (0..255 across).
    double barUnits(double x) const;

signals:
    void colourChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    PaletteModel &model_;
    PaletteModel::Channel channel_;
};

// The palette window "ﾊﾟﾚｯﾄ": mixes the colour of the current palette target. Not modal; it
// reads the target each time it becomes the active window.
class PaletteWindow : public QWidget
{
    Q_OBJECT
public:
    PaletteWindow(PaintSession &session, QWidget *parent);

    // Shows the window for the current target.
    void showForTarget();
    void setStaysOnTop(bool onTop);
    PaletteModel &model() { return model_; }
    ColourBar *bar(PaletteModel::Channel c) const { return bars_[c]; }

signals:
    // The target's colour changed.
    void colourChanged();

protected:
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    PaletteModel model_;
    QLabel *title_;
    std::array<ColourBar *, 3> bars_{};
    std::array<QLabel *, 3> values_{};
};

} // namespace jhk
