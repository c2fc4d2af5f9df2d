#include "blockeditor/BlockDetailDialog.h"
#include "ui/QtUserDialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>

namespace jhk {

namespace {

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

QLabel *operandField(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, Qt::white);
    label->setPalette(p);
    return label;
}

void fillList(QComboBox *box, const DetailList &list)
{
    box->clear();
    for (const std::string &item : list.items)
        box->addItem(qs(item));
    box->setCurrentIndex(list.text.empty() ? -1 : box->findText(qs(list.text)));
    box->setVisible(list.visible);
}

} // namespace

BlockDetailDialog::BlockDetailDialog(BlockDetailModel &model, MessageFn message, QWidget *parent)
    : QDialog(parent)
    , m_model(model)
    , m_message(std::move(message))
{
    setWindowTitle(QStringLiteral("ブロックの説明"));
    setFixedSize(m_model.widthPx(), BlockDetailModel::HeightPx);
    build();
    refresh();
}

void BlockDetailDialog::build()
{
    const bool branch = m_model.isBranch();
    const int width = m_model.widthPx();
    QFont captionFont = font();
    captionFont.setPointSize(9);
    setFont(captionFont);

    m_name = new QLabel(this);
    QFont nameFont = captionFont;
    nameFont.setPointSize(11);
    nameFont.setBold(true);
    m_name->setFont(nameFont);
    m_name->setGeometry(8, 6, width - 16, 22);

    m_explanation = new QLabel(this);
    m_explanation->setWordWrap(true);
    m_explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_explanation->setGeometry(8, 30, width - 280 / 15 - 8, branch ? 70 : 100);

    const int frameTop = branch ? 104 : 136;
    const int frameHeight = branch ? 142 : 110;
    const int frameWidth = branch ? 168 : width - 16;
    m_frame1 = new QGroupBox(this);
    m_frame1->setGeometry(8, frameTop, frameWidth, frameHeight);
    m_frame2 = new QGroupBox(this);
    m_frame2->setGeometry(width - 8 - frameWidth, frameTop, frameWidth, frameHeight);
    m_frame2->setVisible(branch);

    for (std::size_t r = 0; r < 5; ++r) {
        QWidget *frame = r < 3 ? m_frame1 : m_frame2;
        m_operands[r] = operandField(frame);
        m_operandCaptions[r] = new QLabel(frame);
        m_operandCaptions[r]->setVisible(false);
    }
    for (int b = 0; b < 3; ++b) {
        m_pickButtons[static_cast<std::size_t>(b)] = new QPushButton(QStringLiteral("指定"), b == 2 ? m_frame2 : m_frame1);
        connect(m_pickButtons[static_cast<std::size_t>(b)], &QPushButton::clicked, this, [this, b] { requestPick(b); });
    }
    m_operators = new QComboBox(this);
    m_lamp = new QComboBox(m_frame2);
    m_lamp->setVisible(false);

    if (!branch) {
        const int fieldWidth = frameWidth - 16 - 62 - 6;
        for (std::size_t r = 0; r < 2; ++r) {
            const int top = 18 + 44 * static_cast<int>(r);
            m_rowTitles[r] = new QLabel(m_frame1);
            m_rowTitles[r]->setGeometry(8, top, frameWidth - 16, 16);
            m_operands[r]->setGeometry(8, top + 18, fieldWidth, 22);
            m_pickButtons[r]->setGeometry(8 + fieldWidth + 6, top + 18, 62, 22);
        }
        m_pickButtons[2]->setVisible(false);
        m_operators->setVisible(false);
    } else {
        // Each side of the comparison: which part, and which of its variables (or a number).
        const int fieldWidth = frameWidth - 16;
        const int rows[2][2] = {{0, 1}, {3, 4}};
        for (int side = 0; side < 2; ++side) {
            const auto part = static_cast<std::size_t>(rows[side][0]);
            const auto property = static_cast<std::size_t>(rows[side][1]);
            m_operandCaptions[part]->setText(QStringLiteral("どのパーツの？"));
            m_operandCaptions[part]->setGeometry(8, 18, fieldWidth, 16);
            m_operandCaptions[part]->setVisible(true);
            m_operands[part]->setGeometry(8, 36, fieldWidth - 68, 22);
            m_pickButtons[side == 0 ? 0 : 2]->setGeometry(8 + fieldWidth - 62, 36, 62, 22);
            m_operandCaptions[property]->setText(QStringLiteral("プロパティまたは数値"));
            m_operandCaptions[property]->setGeometry(8, 66, fieldWidth, 16);
            m_operandCaptions[property]->setVisible(true);
            m_operands[property]->setGeometry(8, 84, fieldWidth, 22);
        }
        m_lamp->setGeometry(8, 84, fieldWidth, 24);
        m_pickButtons[1]->setVisible(false);
        m_operands[2]->setVisible(false);
        m_operators->setGeometry(width / 2 - 32, frameTop + 60, 64, 24);
        connect(m_operators, &QComboBox::activated, this,
                [this] { m_model.chooseOperator(m_operators->currentText().toStdString()); });
        connect(m_lamp, &QComboBox::activated, this,
                [this] { m_model.chooseLamp(m_lamp->currentText().toStdString()); });
    }

    m_ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    m_ok->setGeometry(width / 2 - 44, BlockDetailModel::HeightPx - 36, 89, 28);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_model.confirm();
        accept();
    });
}

void BlockDetailDialog::refresh()
{
    m_name->setText(qs(m_model.blockName()));
    m_explanation->setText(qs(m_model.explanation()));
    m_frame1->setTitle(qs(m_model.frame1Caption()));
    m_frame2->setTitle(qs(m_model.frame2Caption()));
    for (std::size_t r = 0; r < 2; ++r) {
        if (m_rowTitles[r]) {
            m_rowTitles[r]->setText(qs(m_model.rowTitles()[r].text));
            m_rowTitles[r]->setVisible(m_model.rowTitles()[r].visible);
        }
    }
    for (std::size_t r = 0; r < 5; ++r) {
        const ShownText &operand = m_model.operands()[r];
        m_operands[r]->setText(qs(operand.text));
        const bool shown = operand.visible && (m_model.isBranch() ? r != 2 : r < 2);
        m_operands[r]->setVisible(shown);
    }
    // The lamp list stands where the right side's variable would be.
    if (m_model.isBranch())
        m_operandCaptions[4]->setText(m_model.lampList().visible ? QStringLiteral("ランプの状態") : QStringLiteral("プロパティまたは数値"));
    for (std::size_t b = 0; b < 3; ++b)
        m_pickButtons[b]->setVisible(m_model.pickButtons()[b]);
    if (m_model.isBranch()) {
        fillList(m_operators, m_model.operatorList());
        fillList(m_lamp, m_model.lampList());
    }
}

void BlockDetailDialog::reactivate()
{
    m_model.reactivate();
    refresh();
}

void BlockDetailDialog::requestPick(int button)
{
    if (m_model.needsStockNumber(button)) {
        auto *input = new QInputDialog(this);
        input->setWindowTitle(QStringLiteral("ジハンコウボウ"));
        input->setLabelText(QString::fromUtf8(StockPrompt));
        input->setTextEchoMode(QLineEdit::Normal);
        connect(input, &QInputDialog::textValueSelected, this, [this](const QString &answer) {
            const std::string message = m_model.enterStockNumber(answer.toStdString());
            if (!message.empty() && m_message)
                m_message(message);
            refresh();
        });
        showAndAnswerLater(input);
        return;
    }
    m_pick = m_model.requestPick(button);
    if (m_pick)
        done(QDialog::Rejected);
}

} // namespace jhk
