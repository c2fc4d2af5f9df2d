#pragma once

#include "rules/LabelEditorLogic.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace jhk {

struct Machine;

// The label editor frmLblEdit "ラベルの編集". "決定" accepts; the caller then applies the
// dialog's choices to the label.
class LabelEditorDialog : public QDialog {
    Q_OBJECT
public:
    LabelEditorDialog(const Machine &machine, const LabelControl &control, const std::string &fontName,
                      QWidget *parent = nullptr);

    // The choices, taken from the controls when "決定" is pressed.
    const LabelEditorLogic &logic() const { return m_logic; }
    LabelEditorLogic &logic() { return m_logic; }

    QLineEdit *captionBox() const { return m_caption; }
    QLineEdit *fontNameBox() const { return m_fontName; }
    QLineEdit *fontSizeBox() const { return m_fontSize; }
    QListWidget *styleList() const { return m_style; }
    QCheckBox *transparentBox() const { return m_transparent; }
    void pressOk();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect toPixels(const LabelEditorLogic::Rect &r) const;

    const Machine &m_machine;
    LabelEditorLogic m_logic;
    QLineEdit *m_caption = nullptr;
    QLineEdit *m_fontName = nullptr;
    QLineEdit *m_fontSize = nullptr;
    QListWidget *m_fonts = nullptr;
    QListWidget *m_sizes = nullptr;
    QListWidget *m_style = nullptr;
    QCheckBox *m_transparent = nullptr;
};

} // namespace jhk
