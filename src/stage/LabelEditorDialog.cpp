#include "stage/LabelEditorDialog.h"

#include "engine/Stage.h"
#include "model/AppState.h"
#include "stage/StageWidget.h"
#include "stage/WindowFrame.h"
#include "ui/Colours.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace jhk {

LabelEditorDialog::LabelEditorDialog(const Machine &machine, const LabelControl &control,
                                     const std::string &fontName, QWidget *parent)
    : QDialog(parent),
      m_machine(machine),
      m_logic(machine.app, machine.label(machine.app.CurParts), control,
              fontName.empty() ? QFont().family().toStdString() : fontName)
{
    setObjectName(QStringLiteral("frmLblEdit"));
    setWindowTitle(QStringLiteral("ラベルの編集"));
    setFixedSize(clientSizeOf(397, 273));
    QFont f = font();
    f.setPointSize(std::max(1, 12 * machine.app.TwipsY / 20));
    setFont(f);

    auto label = [this](const QString &text, int x, int y) {
        auto *l = new QLabel(text, this);
        l->move(x, y);
        return l;
    };
    label(QStringLiteral("ラベル内容"), 8, 8);
    m_caption = new QLineEdit(QString::fromStdString(m_logic.caption), this);
    m_caption->setObjectName(QStringLiteral("txtLblCapt"));
    m_caption->setGeometry(8, 30, 265, 25);

    label(QStringLiteral("フォントの種類"), 8, 72);
    m_fontName = new QLineEdit(QString::fromStdString(m_logic.fontName), this);
    m_fontName->setObjectName(QStringLiteral("txtFontName"));
    m_fontName->setGeometry(8, 88, 129, 18);
    m_fonts = new QListWidget(this);
    m_fonts->setObjectName(QStringLiteral("lstFont"));
    m_fonts->setGeometry(8, 112, 129, 100);
    m_fonts->addItems(QFontDatabase::families());
    connect(m_fonts, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { m_fontName->setText(item->text()); });

    label(QStringLiteral("フォントサイズ"), 144, 72);
    m_fontSize = new QLineEdit(QString::fromStdString(m_logic.fontSizeText), this);
    m_fontSize->setObjectName(QStringLiteral("txtFontSize"));
    m_fontSize->setGeometry(144, 88, 81, 18);
    m_sizes = new QListWidget(this);
    m_sizes->setObjectName(QStringLiteral("lstFontSize"));
    m_sizes->setGeometry(144, 112, 81, 52);
    for (const std::string &s : LabelEditorLogic::fontSizes())
        m_sizes->addItem(QString::fromStdString(s));
    connect(m_sizes, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { m_fontSize->setText(item->text()); });

    label(QStringLiteral("スタイル"), 144, 166);
    m_style = new QListWidget(this);
    m_style->setObjectName(QStringLiteral("lstStile"));
    m_style->setGeometry(144, 182, 81, 30);
    m_style->setSelectionMode(QAbstractItemView::MultiSelection);
    m_style->addItems({QStringLiteral("Italic"), QStringLiteral("Bold")});
    m_style->item(0)->setSelected(m_logic.italic);
    m_style->item(1)->setSelected(m_logic.bold);

    label(QStringLiteral("文字カラー"), 232, 72);
    label(QStringLiteral("背景カラー"), 232, 112);

    m_transparent = new QCheckBox(QStringLiteral("バックを透明にする "), this);
    m_transparent->setObjectName(QStringLiteral("chkBack"));
    m_transparent->setGeometry(16, 224, 129, 18);
    m_transparent->setChecked(m_logic.transparent);

    auto *ok = new QPushButton(QStringLiteral("決定"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setGeometry(224, 216, 72, 25);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setGeometry(304, 216, 72, 25);
    connect(ok, &QPushButton::clicked, this, &LabelEditorDialog::pressOk);
    connect(cancel, &QPushButton::clicked, this, &LabelEditorDialog::reject);
}

void LabelEditorDialog::pressOk()
{
    m_logic.caption = m_caption->text().toStdString();
    m_logic.fontName = m_fontName->text().toStdString();
    m_logic.fontSizeText = m_fontSize->text().toStdString();
    m_logic.italic = m_style->item(0)->isSelected();
    m_logic.bold = m_style->item(1)->isSelected();
    m_logic.transparent = m_transparent->isChecked();
    accept();
}

QRect LabelEditorDialog::toPixels(const LabelEditorLogic::Rect &r) const
{
    const int tx = std::max<int>(1, m_machine.app.TwipsX);
    const int ty = std::max<int>(1, m_machine.app.TwipsY);
    return QRect(r.left / tx, r.top / ty, r.width / tx, r.height / ty);
}

void LabelEditorDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    for (int strip = 0; strip < 2; ++strip) {
        for (int j = 0; j < ColorCount; ++j)
            p.fillRect(toPixels(m_logic.cell(strip, j)),
                       colorFromTable(m_machine.app.ColorTable[static_cast<std::size_t>(j)]));
        const int chosen = strip == 0 ? m_logic.foreIndex : m_logic.backIndex;
        if (chosen >= 0) {
            p.setPen(QPen(Qt::black, 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(toPixels(m_logic.cell(strip, chosen % ColorCount)).adjusted(1, 1, -1, -1));
        }
    }
}

void LabelEditorDialog::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (m_logic.chooseColour(p.x() * m_machine.app.TwipsX, p.y() * m_machine.app.TwipsY))
        update();
    QDialog::mousePressEvent(event);
}

} // namespace jhk
