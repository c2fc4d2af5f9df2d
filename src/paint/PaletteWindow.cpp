#include "paint/PaletteWindow.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace jhk {

namespace {

constexpr QSize ClientSize(187, 64);
constexpr QSize BarSize(135, 12);
constexpr QSize ValueSize(25, 12);
constexpr int BarHeightUnits = 10;

QColor shade(PaletteModel::Channel channel, int i)
{
    return QColor(channel == PaletteModel::Red ? i : 0, channel == PaletteModel::Green ? i : 0,
                  channel == PaletteModel::Blue ? i : 0);
}

// A colour's value, written a little left of the middle of its box as the palette has always
// shown it: left at (box width − text width) / 2 − 4, top at (box height − text height) / 2.
class ValueBox : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        const QFontMetrics fm(font());
        const int left = (width() - fm.horizontalAdvance(text())) / 2 - 4;
        const int top = (height() - fm.height()) / 2;
        painter.drawText(QPoint(left, top + fm.ascent()), text());
    }
};

} // namespace

ColourBar::ColourBar(PaletteModel &model, PaletteModel::Channel channel, QWidget *parent)
    : QWidget(parent), model_(model), channel_(channel)
{
    setFixedSize(BarSize);
    static constexpr std::array<const char *, 3> names = {"picPalR", "picPalG", "picPalB"};
    setObjectName(QString::fromLatin1(names[channel]));
}

double ColourBar::barUnits(double x) const
{
    return x * PaletteModel::BarWidth / width();
}

void ColourBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.scale(double(width()) / PaletteModel::BarWidth, double(height()) / BarHeightUnits);
    for (int i = 0; i < PaletteModel::BarWidth; ++i)
        painter.fillRect(QRectF(i, 0, 1, BarHeightUnits), shade(channel_, i));
    const double x = model_.markerX(channel_);
    QPen white(Qt::white);
    white.setCosmetic(true);
    painter.setPen(white);
    painter.drawLine(QPointF(x, 3), QPointF(x, 8));
    painter.drawLine(QPointF(x - 3, 5), QPointF(x + 5, 5));
}

void ColourBar::mousePressEvent(QMouseEvent *event)
{
    model_.pressBar(channel_, barUnits(event->position().x()));
    emit colourChanged();
}

void ColourBar::mouseMoveEvent(QMouseEvent *event)
{
    const bool left = event->buttons() & Qt::LeftButton;
    if (!left)
        return;
    model_.dragBar(channel_, barUnits(event->position().x()), left);
    emit colourChanged();
}

PaletteWindow::PaletteWindow(PaintSession &session, QWidget *parent)
    : QWidget(parent, Qt::Tool), model_(session), title_(new QLabel(this))
{
    setObjectName(QStringLiteral("frmPal"));
    setWindowTitle(QStringLiteral("ﾊﾟﾚｯﾄ"));
    setFixedSize(ClientSize);
    title_->setObjectName(QStringLiteral("lblCng"));
    title_->setGeometry(4, 1, ClientSize.width() - 8, 14);
    static constexpr std::array<const char *, 3> letters = {"R", "G", "B"};
    static constexpr std::array<const char *, 3> valueNames = {"picRColor", "picGColor", "picBColor"};
    for (int c = 0; c < PaletteModel::ChannelCount; ++c) {
        const auto channel = static_cast<PaletteModel::Channel>(c);
        const int top = 16 + 16 * c;
        auto *letter = new QLabel(QString::fromLatin1(letters[c]), this);
        letter->setGeometry(4, top - 1, 10, 14);
        QPalette letterPalette = letter->palette();
        letterPalette.setColor(QPalette::WindowText, shade(channel, 255));
        letter->setPalette(letterPalette);
        auto *bar = new ColourBar(model_, channel, this);
        bar->move(16, top);
        connect(bar, &ColourBar::colourChanged, this, [this] {
            refresh();
            emit colourChanged();
        });
        auto *value = new ValueBox(this);
        value->setObjectName(QString::fromLatin1(valueNames[c]));
        value->setGeometry(156, top, ValueSize.width(), ValueSize.height());
        value->setAutoFillBackground(true);
        QFont small = value->font();
        small.setPixelSize(10);
        value->setFont(small);
        bars_[c] = bar;
        values_[c] = value;
    }
}

void PaletteWindow::showForTarget()
{
    show();
    raise();
    activateWindow();
    model_.activate(); // also when the window was active already
    refresh();
    emit colourChanged();
}

void PaletteWindow::setStaysOnTop(bool onTop)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show(); // changing the flag hides the window
}

void PaletteWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        model_.activate();
        refresh();
        emit colourChanged();
    }
    QWidget::changeEvent(event);
}

void PaletteWindow::refresh()
{
    title_->setText(model_.title());
    for (int c = 0; c < PaletteModel::ChannelCount; ++c) {
        values_[c]->setText(QString::number(model_.value(static_cast<PaletteModel::Channel>(c))));
        bars_[c]->update();
    }
}

} // namespace jhk
