#include "stage/StageWidget.h"

#include "rules/StageHints.h"

#include "model/AppState.h"
#include "rules/StageEditor.h"
#include "ui/Colours.h"
#include "ui/StagePictures.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <vector>

namespace jhk {

namespace {

constexpr QSize StagePixels(StageWidthPixels, StageHeightPixels);
constexpr int PartNumberPixels = 12;
constexpr QSize WalletSize(112, 220);
const QColor NumberBackground(0x40, 0x40, 0x40);
constexpr QSize DigitStrip(DigitPixels * 10, 26);

// Ids of the stage's controls in the table of their looks.
enum LookKind { PartLook, LabelLook, ProductLook, CoinLook, CoinLabelLook, FrameLook };
int lookId(LookKind kind, int index)
{
    return kind << 16 | index;
}

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

constexpr int PickHintPixels = 14;
const QColor PickHintBackground(0xFF, 0xFF, 0xC0, 0xE0);

} // namespace

StageWidget::StageWidget(const Machine &machine, const Stage &stage, const StageOrder &order,
                         const std::array<std::string, LabelSlots> &labelFonts, StagePictures &pictures,
                         StageController &controller, QWidget *parent)
    : QWidget(parent),
      m_machine(machine),
      m_stage(stage),
      m_order(order),
      m_labelFonts(labelFonts),
      m_pictures(pictures),
      m_controller(controller)
{
    setFixedSize(StagePixels);
    setMouseTracking(true);
    // The design's 10-yen coin: never shown itself, it lends its tool tip to the 10-yen coins
    // of the wallet.
    m_tenYen = new QLabel(this);
    m_tenYen->setObjectName(QStringLiteral("img_10yen"));
    m_tenYen->setPixmap(m_pictures.resource(QStringLiteral(":/builtin/coins/coin_4.png"), QSize(30, 30)));
    m_tenYen->setToolTip(QStringLiteral("見ての通り１０円玉です"));
    m_tenYen->hide();
}

bool StageWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const StageHit hit = hitAt(help->pos());
        if (hit.kind == StageHit::Coin && hit.index % 5 == 4)
            QToolTip::showText(help->globalPos(), m_tenYen->toolTip(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

QFont StageWidget::labelFont(const LabelControl &label, const std::string &fontName, int twipsY)
{
    QFont f;
    if (!fontName.empty())
        f.setFamily(QString::fromStdString(fontName));
    // Label font sizes are points as the tables keep them; the screen's twips per pixel turn
    // them into the same pixel height the stage measures with.
    const int points = std::max(1, label.fontSize);
    f.setPixelSize(std::max(1, points * 20 / std::max(1, twipsY)));
    f.setBold(label.bold);
    f.setItalic(label.italic);
    return f;
}

std::pair<int, int> StageWidget::labelSize(const LabelControl &label, const std::string &fontName, int twipsX,
                                           int twipsY)
{
    const QFontMetrics fm(labelFont(label, fontName, twipsY));
    const QString text = QString::fromStdString(label.caption);
    const int w = std::max(1, fm.horizontalAdvance(text) + 2);
    const int h = std::max(1, fm.height());
    return {w * twipsX, h * twipsY};
}

QPoint StageWidget::toTwips(QPoint p) const
{
    return {p.x() * m_machine.app.TwipsX, p.y() * m_machine.app.TwipsY};
}

QRect StageWidget::toPixels(const StageRect &r) const
{
    const PixelRect p = m_controller.hitTest().toPixels(r);
    return QRect(p.left, p.top, p.width, p.height);
}

StageHit StageWidget::hitAt(QPoint p) const
{
    return m_controller.hitTest().hitAt(p.x(), p.y());
}

namespace {

PointerButton pointerButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return PointerButton::Left;
    case Qt::RightButton: return PointerButton::Right;
    case Qt::MiddleButton: return PointerButton::Middle;
    default: return PointerButton::Other;
    }
}

} // namespace

void StageWidget::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    m_controller.press(p.x(), p.y(), pointerButton(event->button()), event->buttons() == event->button());
    updateChanged();
}

void StageWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const bool modifier = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    m_controller.move(p.x(), p.y(), event->buttons() & Qt::LeftButton, modifier);
    if (m_controller.pressing())
        updateChanged();
}

void StageWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    m_controller.release(p.x(), p.y(), pointerButton(event->button()), event->buttons() == Qt::NoButton);
    updateChanged();
}

void StageWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    m_controller.doubleClick(p.x(), p.y(), pointerButton(event->button()));
    // An editor opened by the double-click took the button-up.
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        m_controller.releasedElsewhere();
    updateChanged();
}

const QPixmap &StageWidget::numberLabel(int i)
{
    QPixmap &label = m_numberLabels[static_cast<std::size_t>(i)];
    if (label.isNull()) {
        QFont f = font();
        f.setBold(true);
        f.setPixelSize(PartNumberPixels);
        const QString number = QStringLiteral("No.%1").arg(i);
        const QFontMetrics fm(f);
        // The whole number shows, even where it reaches beyond a small part's picture.
        const QSize size(fm.horizontalAdvance(number), fm.height());
        const qreal ratio = devicePixelRatioF();
        label = QPixmap((QSizeF(size) * ratio).toSize());
        label.setDevicePixelRatio(ratio);
        label.fill(NumberBackground);
        QPainter p(&label);
        p.setFont(f);
        p.setPen(colorFromTable(PartNumberColor));
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignTop, number);
    }
    return label;
}

QRect StageWidget::partBounds(int i)
{
    const QSize number = m_stage.part(i).numberShown ? numberLabel(i).deviceIndependentSize().toSize() : QSize();
    const PixelRect b = m_controller.hitTest().partBounds(i, number.width(), number.height());
    return QRect(b.left, b.top, b.width, b.height);
}

QHash<int, StageWidget::Look> StageWidget::currentLooks()
{
    QHash<int, Look> looks;
    for (int i = 0; i < PartSlots; ++i) {
        const PartControl &c = m_stage.part(i);
        if (c.visible)
            looks.insert(lookId(PartLook, i),
                         {partBounds(i), QStringLiteral("%1|%2|%3|%4|%5")
                                             .arg(m_order.parts[static_cast<std::size_t>(i)])
                                             .arg(m_machine.part(i).Kind)
                                             .arg(text(c.picture), text(c.digits))
                                             .arg(c.numberShown)});
    }
    for (int j = 1; j < LabelSlots; ++j) {
        const LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
        if (c.visible)
            looks.insert(lookId(LabelLook, j),
                         {toPixels(c.rect), QStringLiteral("%1|%2|%3|%4|%5|%6|%7%8%9")
                                                .arg(m_order.labels[static_cast<std::size_t>(j)])
                                                .arg(text(c.caption), text(m_labelFonts[static_cast<std::size_t>(j)]))
                                                .arg(c.fontSize)
                                                .arg(c.backColor)
                                                .arg(c.foreColor)
                                                .arg(c.transparent)
                                                .arg(c.bold)
                                                .arg(c.italic)});
    }
    for (std::size_t n = 0; n < m_stage.products.size(); ++n) {
        const ProductImage &img = m_stage.products[n];
        if (img.visible)
            looks.insert(lookId(ProductLook, static_cast<int>(n)),
                         {toPixels(img.rect), QStringLiteral("%1|%2").arg(img.sourceKind).arg(text(img.picture))});
    }
    for (std::size_t k = 0; k < m_stage.coins.size(); ++k)
        if (m_stage.coins[k].visible)
            looks.insert(lookId(CoinLook, static_cast<int>(k)), {toPixels(m_stage.coins[k].rect), QString()});
    for (std::size_t d = 0; d < m_stage.coinLabels.size(); ++d) {
        const CoinLabel &l = m_stage.coinLabels[d];
        if (l.visible)
            looks.insert(lookId(CoinLabelLook, static_cast<int>(d)), {toPixels(l.rect), text(l.text)});
    }
    if (m_stage.selection.visible)
        looks.insert(lookId(FrameLook, 0), {toPixels(m_stage.selection.rect), QString::number(m_order.frame)});
    return looks;
}

void StageWidget::updateChanged()
{
    // Not on the screen yet (a window being built, a machine being opened): its first paint
    // draws everything, and the looks to compare with are taken once it is shown.
    if (!isVisible()) {
        m_looks.clear();
        m_backgroundLook.clear();
        return;
    }
    // The picking hint lies across the whole stage: it comes and goes with a full repaint.
    const QString background = QStringLiteral("%1|%2|%3")
                                   .arg(text(m_stage.background.empty() ? m_machine.app.BackPictName : m_stage.background))
                                   .arg(m_stage.walletDrawn)
                                   .arg(picking());
    QHash<int, Look> looks = currentLooks();
    if (background != m_backgroundLook) {
        m_backgroundLook = background;
        update();
    } else {
        QRegion changed;
        for (auto it = m_looks.cbegin(); it != m_looks.cend(); ++it) {
            const auto now = looks.constFind(it.key());
            if (now == looks.cend() || !(*now == *it))
                changed += it->bounds;
        }
        for (auto it = looks.cbegin(); it != looks.cend(); ++it) {
            const auto before = m_looks.constFind(it.key());
            if (before == m_looks.cend() || !(*before == *it))
                changed += it->bounds;
        }
        if (!changed.isEmpty())
            update(changed);
    }
    m_looks = std::move(looks);
}

void StageWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_numberLabels = {};
        update();
    }
}

// The part number stands just above the part's picture, whole and readable, so that it never
// hides a small part; at the stage's top edge it stands beside the part instead.
QRect StageWidget::partNumberRect(const QRect &part, QSize number, const QRect &stage)
{
    const PixelRect r = StageHitTest::partNumberRect({part.x(), part.y(), part.width(), part.height()}, number.width(),
                                                     number.height(), {stage.x(), stage.y(), stage.width(), stage.height()});
    return QRect(r.left, r.top, r.width, r.height);
}

void StageWidget::paintPart(QPainter &p, int i)
{
    const PartControl &c = m_stage.part(i);
    const QRect r = toPixels(c.rect);
    const int kind = m_machine.part(i).Kind;
    if (c.picture.empty())
        p.drawPixmap(r.topLeft(), StagePictures::placeholder(r.size()));
    else
        p.drawPixmap(r.topLeft(), m_pictures.partPicture(kind, c.picture));
    if (!c.digits.empty()) {
        const QPixmap strip = m_pictures.resource(QStringLiteral(":/builtin/digits.png"), DigitStrip);
        const int g = strip.width() / 10;
        const int gTwips = g * m_machine.app.TwipsX;
        const int count = static_cast<int>(c.digits.size());
        for (int k = 1; k <= std::min(count, AmountDigits); ++k) {
            const char ch = c.digits[static_cast<std::size_t>(count - k)];
            StageRect box = Stage::digitBox(m_machine, k, gTwips);
            box.left += c.rect.left;
            box.top += c.rect.top;
            if (ch == '-') {
                // The minus sign in the place before the digits, as the middle bar of an 8.
                const QRect place = toPixels(box);
                const QColor lit = strip.toImage().pixelColor(8 * g + g / 2, strip.height() / 2);
                const int bar = std::max(2, place.height() / 9);
                p.fillRect(QRect(place.left() + place.width() / 5, place.center().y() - bar / 2, place.width() * 3 / 5, bar),
                           lit.alpha() > 0 ? lit : QColor(255, 60, 40));
                break;
            }
            if (ch < '0' || ch > '9')
                break;
            p.drawPixmap(toPixels(box), strip, QRect((ch - '0') * g, 0, g, strip.height()));
        }
    }
    if (c.numberShown) {
        const QPixmap &label = numberLabel(i);
        p.drawPixmap(partNumberRect(r, label.deviceIndependentSize().toSize(), rect()).topLeft(), label);
    }
}

void StageWidget::paintLabel(QPainter &p, int j)
{
    const LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
    const QRect r = toPixels(c.rect);
    if (!c.transparent)
        p.fillRect(r, colorFromTable(c.backColor));
    p.setFont(labelFont(c, m_labelFonts[static_cast<std::size_t>(j)], m_machine.app.TwipsY));
    p.setPen(colorFromTable(c.foreColor));
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(c.caption));
}

void StageWidget::paintEvent(QPaintEvent *event)
{
    const QRegion exposed = event->region();
    QPainter p(this);
    p.drawPixmap(0, 0, m_pictures.file(m_stage.background.empty() ? m_machine.app.BackPictName : m_stage.background,
                                       StagePixels));
    if (m_stage.walletDrawn) {
        // The mask clears the wallet's shape, the picture fills it: what lies around the
        // wallet keeps the background.
        const QPixmap mask = m_pictures.resource(QStringLiteral(":/builtin/wallet_mask.png"), WalletSize);
        const QPixmap wallet = m_pictures.resource(QStringLiteral(":/builtin/wallet.png"), WalletSize);
        const QRect where(QPoint(0, StageHeightPixels - wallet.height()), wallet.size());
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawPixmap(where, mask);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawPixmap(where, wallet);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    // The coins resting in the wallet and their counts lie under the parts and labels: a part
    // placed near the stage's left edge is never covered. The coin held by the mouse is drawn
    // last, in front of everything.
    const int held = m_machine.app.DraggedCoin;
    for (std::size_t k = 0; k < m_stage.coins.size(); ++k)
        if (static_cast<int>(k) != held)
            paintCoin(p, static_cast<int>(k));
    QFont countFont = font();
    countFont.setPixelSize(12);
    p.setFont(countFont);
    p.setPen(Qt::black);
    for (const CoinLabel &l : m_stage.coinLabels) {
        if (!l.visible)
            continue;
        const QRect r = toPixels(l.rect); // no background of its own: the stage shows through
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(l.text));
    }

    // Parts and labels in their drawing order, then the frame where it stands in that order.
    struct Item {
        int z;
        StageHit hit;
    };
    std::vector<Item> items;
    for (int i = 0; i < PartSlots; ++i)
        if (m_stage.part(i).visible)
            items.push_back({m_order.parts[static_cast<std::size_t>(i)], {StageHit::Part, i}});
    for (int j = 1; j < LabelSlots; ++j)
        if (m_stage.labels[static_cast<std::size_t>(j)].visible)
            items.push_back({m_order.labels[static_cast<std::size_t>(j)], {StageHit::Label, j}});
    if (m_stage.selection.visible)
        items.push_back({m_order.frame, {StageHit::Surface, -1}});
    std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) { return a.z < b.z; });
    for (const Item &item : items) {
        if (item.hit.kind == StageHit::Part) {
            if (exposed.intersects(partBounds(item.hit.index)))
                paintPart(p, item.hit.index);
        } else if (item.hit.kind == StageHit::Label) {
            if (exposed.intersects(toPixels(m_stage.labels[static_cast<std::size_t>(item.hit.index)].rect)))
                paintLabel(p, item.hit.index);
        } else {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(toPixels(m_stage.selection.rect).adjusted(0, 0, -1, -1));
        }
    }

    for (const ProductImage &img : m_stage.products)
        if (img.visible)
            p.drawPixmap(toPixels(img.rect).topLeft(), m_pictures.partPicture(img.sourceKind, img.picture));
    if (held >= 0 && held < static_cast<int>(m_stage.coins.size()))
        paintCoin(p, held);
    if (picking())
        paintPickHint(p);
}

void StageWidget::paintCoin(QPainter &p, int k)
{
    const CoinPicture &c = m_stage.coins[static_cast<std::size_t>(k)];
    if (c.visible)
        p.drawPixmap(toPixels(c.rect),
                     m_pictures.resource(QStringLiteral(":/builtin/coins/coin_%1.png").arg(k % 5), QSize(30, 30)));
}

bool StageWidget::picking() const
{
    const int mode = m_machine.app.RunMode;
    return mode == ModePickOperand1 || mode == ModePickOperand2 || mode == ModePickOperand4
        || mode == ModePickMoveTarget;
}

void StageWidget::paintPickHint(QPainter &p)
{
    const QString text = QString::fromUtf8(PickPartHint);
    QFont f = font();
    f.setPixelSize(PickHintPixels);
    f.setBold(true);
    p.setFont(f);
    const QRect band(0, 0, width(), QFontMetrics(f).height() + 8);
    p.fillRect(band, PickHintBackground);
    p.setPen(Qt::black);
    p.drawText(band, Qt::AlignCenter, text);
}

} // namespace jhk
