#include "paint/CanvasSizeModel.h"

#include <QLocale>

#include <cmath>

namespace jhk {

namespace {

constexpr float TwipsPerCentimetre = 567;
constexpr float TwipsPerInch = 1440;

float twipsPerUnit(CanvasSizeModel::Unit unit)
{
    return unit == CanvasSizeModel::Centimetres ? TwipsPerCentimetre : TwipsPerInch;
}

// The plain decimal form of a single-precision value.
QString plainText(float value)
{
    return QString::number(double(value), 'g', 7);
}

} // namespace

bool parseNumber(const QString &text, double &value)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString CanvasSizeModel::cutText(float value)
{
    QString text = plainText(value);
    const int point = text.indexOf(QLatin1Char('.'));
    if (point >= 0 && !text.contains(QLatin1Char('e')))
        text.truncate(point + 3);
    return text;
}

CanvasSizeModel::CanvasSizeModel(QSize size, QSize maxSize, double twipsX, double twipsY)
{
    twips_ = {float(twipsX), float(twipsY)};
    maxPixels_ = {maxSize.width(), maxSize.height()};
    values_ = {float(size.width()), float(size.height())};
    for (Axis a : {Width, Height}) {
        setSizeText(a, plainText(values_[a]));
        setInputText(a, plainText(values_[a]));
    }
    chooseUnit(Pixels);
}

float CanvasSizeModel::toPixels(float v, Axis a) const
{
    return unit_ == Pixels ? v : v * twipsPerUnit(unit_) / twips_[a];
}

float CanvasSizeModel::fromPixels(float px, Axis a, Unit unit) const
{
    return unit == Pixels ? px : px * twips_[a] / twipsPerUnit(unit);
}

float CanvasSizeModel::largest(Axis a) const
{
    return fromPixels(float(maxPixels_[a]), a, unit_);
}

void CanvasSizeModel::chooseUnit(Unit unit)
{
    for (Axis a : {Width, Height})
        values_[a] = fromPixels(toPixels(values_[a], a), a, unit);
    unit_ = unit;
    for (Axis a : {Width, Height})
        setSizeText(a, cutText(values_[a]));
}

void CanvasSizeModel::setSizeText(Axis a, const QString &text)
{
    if (sizeText_[a] == text)
        return;
    sizeText_[a] = text;
    sizeBoxChanged(a);
}

void CanvasSizeModel::setInputText(Axis a, const QString &text)
{
    if (inputText_[a] == text)
        return;
    inputText_[a] = text;
    inputChanged(a);
}

void CanvasSizeModel::sizeBoxChanged(Axis a)
{
    if (values_[a] > largest(a))
        values_[a] = largest(a);
    setSizeText(a, cutText(values_[a]));
    setInputText(a, sizeText_[a]);
}

void CanvasSizeModel::inputChanged(Axis a)
{
    double number = 0;
    if (!parseNumber(inputText_[a], number)) {
        setInputText(a, QString());
        return;
    }
    values_[a] = float(number);
    setSizeText(a, plainText(values_[a]));
}

void CanvasSizeModel::typeInput(Axis a, const QString &text)
{
    setInputText(a, text);
}

void CanvasSizeModel::choosePreset(int preset)
{
    if (preset < 0 || preset >= PresetCount)
        return;
    const QSize p = Presets[static_cast<std::size_t>(preset)];
    values_ = {float(p.width()), float(p.height())};
    for (Axis a : {Width, Height}) {
        setSizeText(a, plainText(values_[a]));
        setInputText(a, plainText(values_[a]));
    }
    inputsEnabled_ = false;
}

void CanvasSizeModel::chooseUserDefined()
{
    inputsEnabled_ = true;
}

void CanvasSizeModel::stepArrow(Arrow arrow)
{
    const Axis a = (arrow == WidthUp || arrow == WidthDown) ? Width : Height;
    const bool up = arrow == WidthUp || arrow == HeightUp;
    float &v = values_[a];
    if (up && v < largest(a))
        v = std::nearbyint(v + 1);
    else if (!up && v > 1)
        v = std::nearbyint(v - 1);
    setSizeText(a, plainText(std::nearbyint(v)));
}

QSize CanvasSizeModel::pixelSize()
{
    chooseUnit(Pixels);
    const auto whole = [](float v) { return std::max(1, int(std::nearbyint(v))); };
    return QSize(whole(values_[Width]), whole(values_[Height]));
}

} // namespace jhk
