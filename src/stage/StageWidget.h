#pragma once

#include "engine/Stage.h"
#include "rules/StageController.h"

#include <QWidget>

#include <QHash>
#include <QPixmap>

#include <array>
#include <functional>
#include <utility>

class QLabel;

namespace jhk {

struct Machine;
struct StageOrder;
class StagePictures;

// The stage Picture1: draws the background, the parts with their numbers and digits, the
// labels, discharged products, the wallet's coins and the selection frame from the engine's
// stage model, and forwards mouse events to the stage controller. It keeps no rules of its own.
class StageWidget : public QWidget {
    Q_OBJECT
public:
    StageWidget(const Machine &machine, const Stage &stage, const StageOrder &order,
                const std::array<std::string, LabelSlots> &labelFonts, StagePictures &pictures,
                StageController &controller, QWidget *parent = nullptr);

    // A part is being picked on the stage for an operand of a block: the stage says what to do
    // and shows a crosshair.
    bool picking() const;

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
    // Where a part's number is drawn, given the part's and the stage's rectangles in pixels.
    static QRect partNumberRect(const QRect &part, QSize number, const QRect &stage);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void paintPart(QPainter &p, int i);
    void paintLabel(QPainter &p, int j);
    void paintCoin(QPainter &p, int k);
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
    void paintPickHint(QPainter &p);

    const Machine &m_machine;
    const Stage &m_stage;
    const StageOrder &m_order;
    const std::array<std::string, LabelSlots> &m_labelFonts;
    StagePictures &m_pictures;
    StageController &m_controller;
    std::array<QPixmap, PartSlots> m_numberLabels;
    QHash<int, Look> m_looks;
    QString m_backgroundLook;
    QLabel *m_tenYen = nullptr; // img_10yen
};

} // namespace jhk
