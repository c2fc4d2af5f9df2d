#include "paint/ToolColumn.h"

#include "paint/PaintSession.h"
#include "paint/ToolTable.h"
#include "ui/StagePictures.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace jhk {

namespace {

constexpr int ToolSide = 24;
constexpr int PanelTop = 4 + 5 * (ToolSide + 2) + 6;
constexpr QSize PanelSize(48, 50);
const QColor ChosenColour(255, 0, 0);

QIcon toolIcon(int index)
{
    const QPixmap picture = StagePictures::builtIn(QStringLiteral(":/builtin/paint/tool_%1.png").arg(index));
    if (!picture.isNull())
        return QIcon(picture);
    // Until the pictures are built in: the first letter of the caption on a plain square.
    QPixmap plain(ToolSide - 4, ToolSide - 4);
    plain.fill(Qt::white);
    QPainter painter(&plain);
    painter.drawRect(plain.rect().adjusted(0, 0, -1, -1));
    painter.drawText(plain.rect(), Qt::AlignCenter,
                     QString::fromUtf8(ToolTable[static_cast<std::size_t>(index)].caption).left(1));
    return QIcon(plain);
}

QCursor eraserCursor(int side)
{
    const int extent = std::max(side + 2, 8);
    QPixmap shape(extent, extent);
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, side + 1, side + 1);
    return QCursor(shape, 1, 1);
}

} // namespace

QCursor toolCursor(const PaintSession &session)
{
    switch (ToolTable[static_cast<std::size_t>(session.currentTool())].cursor) {
    case ToolCursor::Arrow:
        return Qt::ArrowCursor;
    case ToolCursor::IBeam:
        return Qt::IBeamCursor;
    case ToolCursor::Cross:
        return Qt::CrossCursor;
    case ToolCursor::EraserSize:
        return eraserCursor(session.state().EraserSize);
    case ToolCursor::Own:
        break;
    }
    if (session.currentTool() == ToolFill)
        return Qt::PointingHandCursor;
    return Qt::CrossCursor;
}

OptionPanel::OptionPanel(Kind kind, QWidget *parent) : QWidget(parent), kind_(kind)
{
    setFixedSize(PanelSize);
    setToolTip(kind == FillShapes ? QStringLiteral("図形の塗りつぶし") : QStringLiteral("線の太さ"));
}

void OptionPanel::setChosen(int entry)
{
    chosen_ = entry;
    update();
}

QRect OptionPanel::eraserSquare(int entry) const
{
    // The four small squares on one line, the largest under them.
    static constexpr std::array<int, 4> lefts = {5, 12, 20, 30};
    const int side = EraserSizes[static_cast<std::size_t>(entry)];
    if (entry == 4)
        return QRect(16, 28, side, side);
    return QRect(lefts[static_cast<std::size_t>(entry)], 12 - side / 2, side, side);
}

int OptionPanel::entryAt(QPoint p) const
{
    switch (kind_) {
    case LineWidth:
        return lineWidthEntryAt(p.x(), p.y());
    case FillShapes:
        return fillShapesEntryAt(p.x(), p.y());
    case EraserSize:
        for (int i = 0; i < static_cast<int>(EraserSizes.size()); ++i)
            if (eraserSquare(i).adjusted(-2, -2, 2, 2).contains(p))
                return i;
        return -1;
    }
    return -1;
}

void OptionPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().dark().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    switch (kind_) {
    case LineWidth: {
        static constexpr std::array<int, 4> ys = {10, 20, 30, 41};
        for (int i = 0; i < 4; ++i) {
            const QColor colour = i == chosen_ ? ChosenColour : Qt::black;
            painter.fillRect(QRect(9, ys[static_cast<std::size_t>(i)] - PenWidths[static_cast<std::size_t>(i)] / 2, 30,
                                   PenWidths[static_cast<std::size_t>(i)]), colour);
        }
        break;
    }
    case FillShapes:
        painter.setPen(chosen_ == 0 ? ChosenColour : Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(9, 8, 27, 14));
        painter.setPen(chosen_ == 1 ? ChosenColour : Qt::black);
        painter.setBrush(Qt::gray);
        painter.drawRect(QRect(9, 31, 26, 13));
        break;
    case EraserSize:
        for (int i = 0; i < 5; ++i)
            painter.fillRect(eraserSquare(i), i == chosen_ ? ChosenColour : Qt::black);
        break;
    }
}

void OptionPanel::mousePressEvent(QMouseEvent *event)
{
    const int entry = entryAt(event->position().toPoint());
    if (entry < 0)
        return;
    setChosen(entry);
    emit entryChosen(entry);
}

ToolColumn::ToolColumn(PaintSession &session, QWidget *parent)
    : QWidget(parent),
      session_(session),
      lineWidth_(new OptionPanel(OptionPanel::LineWidth, this)),
      fill_(new OptionPanel(OptionPanel::FillShapes, this)),
      eraser_(new OptionPanel(OptionPanel::EraserSize, this))
{
    setObjectName(QStringLiteral("picToolWnd"));
    setFixedWidth(ColumnWidth);
    for (int i = 0; i < ToolCount; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("picTool%1").arg(i));
        button->setIcon(toolIcon(i));
        button->setIconSize(QSize(ToolSide - 4, ToolSide - 4));
        button->setToolTip(QString::fromUtf8(ToolTable[static_cast<std::size_t>(i)].caption));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setGeometry(4 + (i % 2) * (ToolSide + 2), 4 + (i / 2) * (ToolSide + 2), ToolSide, ToolSide);
        connect(button, &QToolButton::clicked, this, [this, i] {
            session_.chooseTool(i);
            sync();
            emit toolChosen();
        });
        buttons_[static_cast<std::size_t>(i)] = button;
    }
    lineWidth_->move(5, PanelTop);
    eraser_->move(5, PanelTop);
    fill_->move(5, PanelTop + PanelSize.height() + 4);
    connect(lineWidth_, &OptionPanel::entryChosen, this, [this](int e) { session_.choosePenWidth(e); });
    connect(fill_, &OptionPanel::entryChosen, this, [this](int e) { session_.chooseFillShapes(e); });
    connect(eraser_, &OptionPanel::entryChosen, this, [this](int e) {
        session_.chooseEraserSize(e);
        emit toolChosen(); // the eraser cursor follows the size
    });
    sync();
}

void ToolColumn::sync()
{
    const int current = session_.currentTool();
    for (int i = 0; i < ToolCount; ++i)
        buttons_[static_cast<std::size_t>(i)]->setChecked(i == current);
    const unsigned panels = ToolTable[static_cast<std::size_t>(current)].panels;
    lineWidth_->setVisible(panels & PanelLineWidth);
    eraser_->setVisible(panels & PanelEraserSize);
    fill_->setVisible(panels & PanelFillShapes);
    const PaintState &s = session_.state();
    for (int i = 0; i < 4; ++i)
        if (PenWidths[static_cast<std::size_t>(i)] == s.PenWidth)
            lineWidth_->setChosen(i);
    for (int i = 0; i < 5; ++i)
        if (EraserSizes[static_cast<std::size_t>(i)] == s.EraserSize)
            eraser_->setChosen(i);
    fill_->setChosen(s.FillShapes);
}

} // namespace jhk
