#pragma once

#include "paint/CanvasSizeModel.h"

#include <QDialog>
#include <QTimer>

#include <array>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace jhk {

// The canvas size dialog "ｷｬﾝﾊﾟｽのｻｲｽﾞ変更": shows the model's texts and forwards its events.
class CanvasSizeDialog : public QDialog
{
    Q_OBJECT
public:
    CanvasSizeDialog(QSize size, QSize maxSize, double twipsX, double twipsY, QWidget *parent = nullptr);

    CanvasSizeModel &model() { return model_; }
    // The size OK asked for, in pixels (valid after the dialog was accepted).
    QSize chosenSize() const { return chosen_; }
    QPushButton *arrowButton(CanvasSizeModel::Arrow arrow) const { return arrows_[arrow]; }
    QRadioButton *presetButton(int preset) const { return presets_[static_cast<std::size_t>(preset)]; }
    QRadioButton *unitButton(int unit) const { return units_[static_cast<std::size_t>(unit)]; }
    QLineEdit *inputBox(CanvasSizeModel::Axis axis) const { return inputs_[axis]; }
    QLineEdit *sizeBox(CanvasSizeModel::Axis axis) const { return sizes_[axis]; }
    bool repeating() const { return repeat_.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sync();

    CanvasSizeModel model_;
    QSize chosen_;
    std::array<QLineEdit *, 2> sizes_{};
    std::array<QLineEdit *, 2> inputs_{};
    std::array<QPushButton *, 4> arrows_{};
    std::array<QRadioButton *, 5> presets_{};
    std::array<QRadioButton *, 3> units_{};
    QTimer repeat_;
    CanvasSizeModel::Arrow repeatArrow_ = CanvasSizeModel::WidthUp;
};

} // namespace jhk
