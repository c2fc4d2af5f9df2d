#pragma once

#include "engine/Stage.h"

#include <QWidget>

#include <QHash>
#include <QPixmap>

#include <array>
#include <functional>
#include <utility>

namespace jhk {

struct Machine;
struct StageOrder;
class StagePictures;

// What lies under the mouse on the stage.
struct StageHit {
    enum Kind { Surface, Part, Label, Product, Coin } kind = Surface;
    int index = -1;
    bool operator==(const StageHit &) const = default;
};

// Receives the stage's mouse events, with positions in twips relative to the control hit.
class StageInput {
public:
    virtual ~StageInput() = default;
    virtual void stageMouseDown(StageHit hit, Qt::MouseButton button, int x, int y) = 0;
    virtual void stageMouseMove(StageHit hit, Qt::MouseButtons buttons, int x, int y, Qt::KeyboardModifiers mods) = 0;
    virtual void stageMouseUp(StageHit hit, Qt::MouseButton button, int x, int y) = 0;
    virtual void stageClick(StageHit hit) = 0;
    virtual void stageDoubleClick(StageHit hit) = 0;
};

// The stage Picture1: draws the background, the parts with their numbers and digits, the
// labels, discharged products, the wallet's coins and the selection frame from the engine's
// stage model, and forwards mouse events. It keeps no rules of its own.
class StageWidget : public QWidget {
    Q_OBJECT
public:
    StageWidget(const Machine &machine, const Stage &stage, const StageOrder &order,
                const std::array<std::string, LabelSlots> &labelFonts, StagePictures &pictures,
                StageInput &input, QWidget *parent = nullptr);

    // The topmost control at a point of the widget (pixels).
    StageHit hitAt(QPoint p) const;
    // A widget point in twips from the stage's top-left corner.
    QPoint toTwips(QPoint p) const;
    QRect toPixels(const StageRect &r) const;

    // The size in twips of a label showing its caption in its font.
    static std::pair<int, int> labelSize(const LabelControl &label, const std::string &fontName, int twipsX,
                                         int twipsY);
    static QFont labelFont(const LabelControl &label, const std::string &fontName, int twipsY);

    // Repaints what changed on the stage since it was last asked: the old and new rectangles
    // of each control whose place or look changed, the whole stage only when the background
    // did. Calls between two paints add up to one repaint.
    void updateChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QRect itemRect(StageHit hit) const;
    QPoint relativeTwips(StageHit hit, QPoint p) const;
    void paintPart(QPainter &p, int i);
    void paintLabel(QPainter &p, int j);
    // "No.N" on its dark strip, drawn once per part slot and font.
    const QPixmap &numberLabel(int i);
    QRect partBounds(int i);

    // What a control looked like when the stage was last brought up to date: where it is
    // drawn and everything else that decides its pixels.
    struct Look {
        QRect bounds;
        QString key;
        bool operator==(const Look &) const = default;
    };
    QHash<int, Look> currentLooks();

    const Machine &m_machine;
    const Stage &m_stage;
    const StageOrder &m_order;
    const std::array<std::string, LabelSlots> &m_labelFonts;
    StagePictures &m_pictures;
    StageInput &m_input;
    StageHit m_pressed;
    bool m_pressing = false;
    std::array<QPixmap, PartSlots> m_numberLabels;
    QHash<int, Look> m_looks;
    QString m_backgroundLook;
};

} // namespace jhk
