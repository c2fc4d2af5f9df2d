#include "paint/CanvasSizeDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace jhk {

namespace {

constexpr int RepeatMilliseconds = 100;

QLineEdit *textBox(QWidget *parent, QRect geometry, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QPushButton *makeArrowButton(QWidget *parent, bool up, QPoint at)
{
    auto *button = new QPushButton(up ? QStringLiteral("▲") : QStringLiteral("▼"), parent);
    button->setGeometry(QRect(at, QSize(17, 8)));
    // The button is only 8 pixels high: a small caption without the style's padding fits it.
    QFont small = button->font();
    small.setPixelSize(7);
    button->setFont(small);
    button->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

CanvasSizeDialog::CanvasSizeDialog(QSize size, QSize maxSize, double twipsX, double twipsY, QWidget *parent)
    : QDialog(parent), model_(size, maxSize, twipsX, twipsY)
{
    setObjectName(QStringLiteral("frmSizeCng"));
    setWindowTitle(QStringLiteral("ｷｬﾝﾊﾟｽのｻｲｽﾞ変更"));
    setFixedSize(315, 179);
    setModal(true);

    (new QLabel(QStringLiteral("幅"), this))->move(16, 10);
    (new QLabel(QStringLiteral("高さ"), this))->move(128, 10);
    sizes_[CanvasSizeModel::Width] = textBox(this, QRect(48, 8, 49, 18), "txtWSize");
    sizes_[CanvasSizeModel::Height] = textBox(this, QRect(160, 8, 49, 18), "txtHSize");
    for (QLineEdit *box : sizes_) {
        box->setReadOnly(true);
        QPalette grey = box->palette();
        grey.setColor(QPalette::Base, palette().color(QPalette::Window));
        box->setPalette(grey);
    }
    arrows_[CanvasSizeModel::WidthUp] = makeArrowButton(this, true, QPoint(96, 8));
    arrows_[CanvasSizeModel::WidthDown] = makeArrowButton(this, false, QPoint(96, 17));
    arrows_[CanvasSizeModel::HeightUp] = makeArrowButton(this, true, QPoint(208, 8));
    arrows_[CanvasSizeModel::HeightDown] = makeArrowButton(this, false, QPoint(208, 17));
    for (int a = 0; a < 4; ++a) {
        const auto arrow = static_cast<CanvasSizeModel::Arrow>(a);
        arrows_[static_cast<std::size_t>(a)]->installEventFilter(this);
        connect(arrows_[static_cast<std::size_t>(a)], &QPushButton::clicked, this, [this, arrow] {
            model_.stepArrow(arrow);
            sync();
        });
    }
    repeat_.setInterval(RepeatMilliseconds);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        model_.stepArrow(repeatArrow_);
        sync();
    });

    auto *frame = new QGroupBox(QStringLiteral("ｻｲｽﾞ"), this);
    frame->setGeometry(8, 40, 225, 73);
    static constexpr std::array<const char *, 5> presetCaptions = {"640×480", "800×600", "1024×768",
                                                                   "1280×1024", "ﾕｰｻﾞｰ定義"};
    static constexpr std::array<QPoint, 5> presetPlaces = {QPoint(8, 16), QPoint(8, 32), QPoint(104, 16),
                                                           QPoint(104, 32), QPoint(8, 48)};
    auto *presetGroup = new QButtonGroup(this);
    for (int p = 0; p < 5; ++p) {
        auto *option = new QRadioButton(QString::fromUtf8(presetCaptions[static_cast<std::size_t>(p)]), frame);
        option->move(presetPlaces[static_cast<std::size_t>(p)]);
        option->adjustSize();
        presetGroup->addButton(option, p);
        presets_[static_cast<std::size_t>(p)] = option;
    }
    presets_[4]->setChecked(true);
    connect(presetGroup, &QButtonGroup::idClicked, this, [this](int p) {
        if (p < CanvasSizeModel::PresetCount)
            model_.choosePreset(p);
        else
            model_.chooseUserDefined();
        sync();
    });
    inputs_[CanvasSizeModel::Width] = textBox(frame, QRect(104, 48, 49, 18), "txtWInput");
    inputs_[CanvasSizeModel::Height] = textBox(frame, QRect(168, 48, 49, 18), "txtHInput");
    (new QLabel(QStringLiteral("×"), frame))->move(152, 50);
    for (int a = 0; a < 2; ++a) {
        const auto axis = static_cast<CanvasSizeModel::Axis>(a);
        connect(inputs_[static_cast<std::size_t>(a)], &QLineEdit::textEdited, this, [this, axis](const QString &text) {
            model_.typeInput(axis, text);
            sync();
        });
    }

    auto *unitFrame = new QGroupBox(QStringLiteral("単位"), this);
    unitFrame->setGeometry(8, 120, 225, 49);
    static constexpr std::array<const char *, 3> unitCaptions = {"ﾋﾟｸｾﾙ", "ｾﾝﾁ", "ｲﾝﾁ"};
    static constexpr std::array<int, 3> unitLefts = {16, 96, 160};
    auto *unitGroup = new QButtonGroup(this);
    for (int u = 0; u < 3; ++u) {
        auto *option = new QRadioButton(QString::fromUtf8(unitCaptions[static_cast<std::size_t>(u)]), unitFrame);
        option->move(unitLefts[static_cast<std::size_t>(u)], 16);
        option->adjustSize();
        unitGroup->addButton(option, u);
        units_[static_cast<std::size_t>(u)] = option;
    }
    units_[0]->setChecked(true);
    connect(unitGroup, &QButtonGroup::idClicked, this, [this](int u) {
        model_.chooseUnit(static_cast<CanvasSizeModel::Unit>(u));
        sync();
    });

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(240, 112, 65, 25);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(240, 144, 65, 25);
    connect(ok, &QPushButton::clicked, this, [this] {
        chosen_ = model_.pixelSize();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject); // Escape does the same
    sync();
}

void CanvasSizeDialog::sync()
{
    for (int a = 0; a < 2; ++a) {
        const auto axis = static_cast<CanvasSizeModel::Axis>(a);
        sizes_[static_cast<std::size_t>(a)]->setText(model_.sizeText(axis));
        QLineEdit *input = inputs_[static_cast<std::size_t>(a)];
        if (input->text() != model_.inputText(axis))
            input->setText(model_.inputText(axis));
        input->setEnabled(model_.inputsEnabled());
    }
}

bool CanvasSizeDialog::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = std::find(arrows_.begin(), arrows_.end(), watched);
    if (found != arrows_.end()) {
        if (event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            // The right button keeps stepping until it is let go.
            repeatArrow_ = static_cast<CanvasSizeModel::Arrow>(found - arrows_.begin());
            repeat_.start();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease)
            repeat_.stop();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace jhk
