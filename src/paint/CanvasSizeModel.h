#pragma once

#include <QSize>
#include <QString>

#include <array>

namespace jhk {

// The rules of the canvas size dialog: the width and height in pixels, centimetres or
// inches, the presets, the typed sizes and the arrow buttons. The dialog shows the four
// texts kept here and forwards its events.
class CanvasSizeModel
{
public:
    enum Unit { Pixels = 0, Centimetres = 1, Inches = 2 };
    enum Axis { Width = 0, Height = 1 };
    enum Arrow { WidthUp = 0, WidthDown = 1, HeightUp = 2, HeightDown = 3 };
    static constexpr int PresetCount = 4;
    static constexpr std::array<QSize, PresetCount> Presets = {
        QSize(640, 480), QSize(800, 600), QSize(1024, 768), QSize(1280, 1024)};

    // Opens on a drawing of `size` pixels; `maxSize` is the largest canvas in pixels.
    CanvasSizeModel(QSize size, QSize maxSize, double twipsX, double twipsY);

    void chooseUnit(Unit unit);
    void choosePreset(int preset);   // 0..3
    void chooseUserDefined();
    void typeInput(Axis axis, const QString &text); // typed into an input box
    void stepArrow(Arrow arrow);

    // The size OK gives the drawing: both values in pixels, rounded, at least one pixel.
    QSize pixelSize();

    Unit unit() const { return unit_; }
    float value(Axis a) const { return values_[a]; }
    const QString &sizeText(Axis a) const { return sizeText_[a]; }
    const QString &inputText(Axis a) const { return inputText_[a]; }
    bool inputsEnabled() const { return inputsEnabled_; }
    float largest(Axis a) const; // the largest size in the current unit

    // A number as a size box shows it: cut after the second decimal, without rounding.
    static QString cutText(float value);

private:
    float toPixels(float v, Axis a) const;
    float fromPixels(float px, Axis a, Unit unit) const;
    void setSizeText(Axis a, const QString &text);
    void setInputText(Axis a, const QString &text);
    void sizeBoxChanged(Axis a);
    void inputChanged(Axis a);

    std::array<float, 2> values_{};
    std::array<float, 2> twips_{};
    std::array<int, 2> maxPixels_{};
    std::array<QString, 2> sizeText_;
    std::array<QString, 2> inputText_;
    Unit unit_ = Pixels;
    bool inputsEnabled_ = true;
};

// A text that counts as a number: an optional sign, digits with a decimal point, an
// exponent, surrounding spaces.
bool parseNumber(const QString &text, double &value);

} // namespace jhk
