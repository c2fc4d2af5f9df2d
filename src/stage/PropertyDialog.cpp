#include "stage/PropertyDialog.h"

#include "model/AppState.h"
#include "stage/WindowFrame.h"
#include "ui/StagePictures.h"
#include "rules/UserDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace jhk {

namespace {

QFont pixelFont(const QFont &base, int pixels, int twipsY)
{
    QFont f = base;
    f.setPointSize(std::max(1, pixels * twipsY / 20));
    return f;
}

} // namespace

PropertyDialog::PropertyDialog(Machine &machine, const Catalogue &catalogue, int slot, StagePictures &pictures,
                               UserDialogs &dialogs, QWidget *parent, const std::string &shownPicture)
    : QDialog(parent), m_logic(machine, catalogue, slot, shownPicture), m_pictures(pictures), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmPDialog"));
    setWindowTitle(QStringLiteral("プロパティの設定"));
    setFixedSize(clientSizeOf(370, 254));
    const int ty = machine.app.TwipsY;
    const QFont f12 = pixelFont(font(), 12, ty);
    const QFont f16 = pixelFont(font(), 16, ty);

    auto *title = new QLabel(QStringLiteral("次のパーツのプロパティを設定して下さい"), this);
    title->setFont(f12);
    title->move(8, 16);
    auto *name = new QLabel(QString::fromStdString(m_logic.kindName()), this);
    name->setObjectName(QStringLiteral("lblPartsName"));
    name->setFont(f16);
    name->move(24, 48);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("imgPBMP"));
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName(QStringLiteral("HScroll1"));
    m_scroll->setGeometry(32, 168, 89, 17);
    m_scroll->setRange(0, m_logic.scrollMaximum());
    m_scroll->setPageStep(1);
    m_scroll->setValue(m_logic.scrollValue());

    for (int i = 0; i < 3; ++i) {
        auto *meaning = new QLabel(QString::fromStdString(m_logic.variableLabel(i)), this);
        meaning->setObjectName(QStringLiteral("Label1_%1").arg(i));
        meaning->setFont(f16);
        meaning->move(176, 48 + 48 * i);
        auto *value = new QLineEdit(QString::fromStdString(m_logic.initialText(i)), this);
        value->setObjectName(QStringLiteral("txtDHennsuu%1").arg(i));
        value->setFont(f16);
        value->setGeometry(184, 64 + 48 * i, 105, value->sizeHint().height());
        if (!m_logic.boxEditable(i)) {
            value->setReadOnly(true);
            value->setFocusPolicy(Qt::NoFocus);
        }
        auto *lamp = new QComboBox(this);
        lamp->setObjectName(QStringLiteral("cmbDHensuu%1").arg(i));
        lamp->setFont(f16);
        lamp->addItem(QString::fromUtf8(LampBoxText));
        lamp->setEnabled(false);
        lamp->setGeometry(value->geometry());
        const bool shown = m_logic.variableShown(i);
        meaning->setVisible(shown);
        value->setVisible(shown && !m_logic.lampBox(i));
        lamp->setVisible(shown && m_logic.lampBox(i));
        m_values[static_cast<std::size_t>(i)] = value;
    }

    m_edit = new QPushButton(QStringLiteral("編集"), this);
    m_edit->setObjectName(QStringLiteral("cmdEdit"));
    m_edit->setFont(f12);
    m_edit->setGeometry(95, 198, 81, 25);
    m_edit->setVisible(m_logic.editShown());
    m_ok = new QPushButton(QStringLiteral("決定"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setFont(f12);
    m_ok->setGeometry(183, 198, 81, 25);
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setFont(f12);
    cancel->setGeometry(272, 198, 81, 25);

    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int v) {
        m_logic.scrollTo(v);
        showPicture();
        m_edit->setVisible(m_logic.editShown());
    });
    connect(m_ok, &QPushButton::clicked, this, &PropertyDialog::pressOk);
    connect(cancel, &QPushButton::clicked, this, &PropertyDialog::reject);
    connect(m_edit, &QPushButton::clicked, this, &PropertyDialog::pressEdit);
    showPicture();
}

QPixmap PropertyDialog::picture() const
{
    return m_pictures.partPicture(m_logic.kind(), m_logic.picture());
}

void PropertyDialog::showPicture()
{
    // Centred over the left half of the dialog, left of the values' column and above the
    // scroll bar: a picture larger than that room (the product outlet's) is shown smaller
    // rather than over the value boxes.
    const QRect room(8, 66, 160, m_scroll->y() - 2 - 66);
    QPixmap pix = picture();
    if (pix.width() > room.width() || pix.height() > room.bottom() + 1 - 70)
        pix = pix.scaled(room.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_image->setPixmap(pix);
    m_image->resize(pix.size());
    m_image->move(std::max(room.left(), m_ok->x() / 2 - pix.width() / 2), std::min(70, room.bottom() + 1 - pix.height()));
}

bool PropertyDialog::storeValues()
{
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < 3; ++i)
        texts[i] = m_values[i]->text().toStdString();
    const auto result = m_logic.ok(texts);
    if (!result.accepted) {
        m_dialogs.message(result.message);
        QLineEdit *box = m_values[static_cast<std::size_t>(result.refusedBox)];
        if (result.resetBox)
            box->setText(QStringLiteral("0"));
        box->setFocus();
        box->selectAll();
    }
    return result.accepted;
}

void PropertyDialog::pressOk()
{
    if (!storeValues())
        return;
    m_outcome = PropertyOutcome::Ok;
    accept();
}

void PropertyDialog::pressEdit()
{
    // The price and stock typed before going to draw the picture are kept, checked as "決定"
    // checks them.
    if (!storeValues())
        return;
    m_outcome = PropertyOutcome::Edit;
    accept();
}

// "キャンセル", Escape and the close box (Alt+F4) alike: a part just placed goes again, a part
// on the stage stays as it was.
void PropertyDialog::reject()
{
    m_logic.cancel();
    m_outcome = PropertyOutcome::Cancel;
    QDialog::reject();
}

} // namespace jhk
