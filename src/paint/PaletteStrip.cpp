#include "paint/PaletteStrip.h"

#include "paint/PaintSession.h"
#include "ui/StagePictures.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace jhk {

ColourSquare::ColourSquare(QSize size, QWidget *parent) : QWidget(parent)
{
    setFixedSize(size);
}

void ColourSquare::setColour(Colour colour)
{
    if (colour_ == colour)
        return;
    colour_ = colour;
    update();
}

void ColourSquare::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(colour_));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColourSquare::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button());
}

void ColourSquare::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void ColourSquare::mouseDoubleClickEvent(QMouseEvent *)
{
    emit doubleClicked();
}

namespace {

constexpr QSize SwatchSize(17, 17);
constexpr int SwatchStep = 16;
constexpr int SwatchLeft = 62;
constexpr QSize ColourBoxSize(20, 20);

QToolButton *smallButton(const QString &resource, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    QPixmap picture = StagePictures::builtIn(resource);
    if (picture.isNull()) {
        picture = QPixmap(9, 9);
        picture.fill(Qt::lightGray);
    }
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(9, 9));
    button->setFixedSize(11, 11);
    button->setAutoRaise(true);
    button->setToolTip(tip);
    return button;
}

} // namespace

PaletteStrip::PaletteStrip(PaintSession &session, QWidget *parent)
    : QWidget(parent),
      session_(session),
      front_(new ColourSquare(ColourBoxSize, this)),
      back_(new ColourSquare(ColourBoxSize, this)),
      reset_(smallButton(QStringLiteral(":/builtin/paint/reset_colors.png"), QStringLiteral("標準に戻す"), this)),
      swap_(smallButton(QStringLiteral(":/builtin/paint/swap_colors.png"), QStringLiteral("パレットの反転"), this)),
      position_(new QLabel(this)),
      help_(new QLabel(this)),
      ok_(new QPushButton(QStringLiteral("決定"), this)),
      cancel_(new QPushButton(QStringLiteral("キャンセル"), this))
{
    setObjectName(QStringLiteral("picPalette"));
    setFixedHeight(StripHeight);
    front_->setObjectName(QStringLiteral("picPalFront"));
    back_->setObjectName(QStringLiteral("picPalBack"));
    front_->setToolTip(QStringLiteral("前景色"));
    back_->setToolTip(QStringLiteral("背景色"));
    // The back box lies under the front box, offset diagonally by 10 pixels.
    front_->move(6, 6);
    back_->move(16, 16);
    front_->raise();
    reset_->move(6, 31);
    swap_->move(31, 4);

    auto target = [this](int t, bool showPalette) {
        session_.state().PaletteTarget = static_cast<std::uint8_t>(t);
        if (showPalette)
            emit paletteWanted();
    };
    connect(front_, &ColourSquare::clicked, this, [target] { target(TargetFront, false); });
    connect(front_, &ColourSquare::doubleClicked, this, [target] { target(TargetFront, true); });
    connect(back_, &ColourSquare::clicked, this, [target] { target(TargetBack, false); });
    connect(back_, &ColourSquare::doubleClicked, this, [target] { target(TargetBack, true); });
    connect(static_cast<QToolButton *>(reset_), &QToolButton::clicked, this, [this] {
        session_.resetColours();
        sync();
        emit coloursChanged();
    });
    connect(static_cast<QToolButton *>(swap_), &QToolButton::clicked, this, [this] {
        session_.swapColours();
        sync();
        emit coloursChanged();
    });

    for (int n = 0; n < SwatchCount; ++n) {
        auto *swatch = new ColourSquare(SwatchSize, this);
        swatch->setObjectName(QStringLiteral("lblPal%1").arg(n));
        swatch->move(SwatchLeft + (n % 9) * SwatchStep, 5 + (n / 9) * SwatchStep);
        connect(swatch, &ColourSquare::pressed, this, [this, n](Qt::MouseButton button) {
            session_.pressSwatch(n, button == Qt::LeftButton ? ButtonLeft : ButtonRight);
            sync();
            emit coloursChanged();
        });
        connect(swatch, &ColourSquare::clicked, this, [target, n] { target(n, false); });
        connect(swatch, &ColourSquare::doubleClicked, this, [target, n] { target(n, true); });
        swatches_[static_cast<std::size_t>(n)] = swatch;
    }

    const int afterSwatches = SwatchLeft + 9 * SwatchStep + 10;
    position_->setObjectName(QStringLiteral("picXY"));
    position_->setGeometry(afterSwatches, 4, 56, 36);
    position_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    position_->setFrameShape(QFrame::Panel);
    position_->setFrameShadow(QFrame::Sunken);
    position_->setContentsMargins(2, 1, 0, 0);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    ok_->setGeometry(position_->geometry().right() + 1 + 6, 10, 72, 25);
    cancel_->setGeometry(ok_->geometry().right() + 1 + 10, 10, 80, 25);
    help_->setObjectName(QStringLiteral("picHelp"));
    help_->setGeometry(cancel_->geometry().right() + 1 + 10, 14, 200, 18);
    sync();
}

void PaletteStrip::sync()
{
    const PaintState &s = session_.state();
    front_->setColour(s.FrontColor);
    back_->setColour(s.BackgroundColor);
    for (int n = 0; n < SwatchCount; ++n)
        swatches_[static_cast<std::size_t>(n)]->setColour(session_.swatch(n));
    position_->setText(session_.positionText());
    help_->setText(session_.helpText());
}

} // namespace jhk
