#include "stage/OptionDialog.h"

#include "model/AppState.h"
#include "rules/LevelChoice.h"
#include "rules/StageTexts.h"
#include "stage/WindowFrame.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace jhk {

OptionDialog::OptionDialog(AppState &app, UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_app(app), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("環境設定"));
    setFixedSize(clientSizeOf(397, 273));
    auto points = [&](int pixels) {
        QFont f = font();
        f.setPointSize(std::max(1, pixels * app.TwipsY / 20));
        return f;
    };
    auto *frame = new QGroupBox(QStringLiteral("レベル選択"), this);
    frame->setObjectName(QStringLiteral("FrameLEVEL"));
    frame->setGeometry(8, 5, 217, 225);
    static const char *captions[] = {"レベル１", "レベル２", "レベル３"};
    for (int i = 0; i < 3; ++i) {
        auto *option = new QRadioButton(QString::fromUtf8(captions[i]), frame);
        option->setObjectName(QStringLiteral("optLevel%1").arg(i));
        option->setFont(points(18));
        option->setGeometry(20, 24 + 60 * i, 169, option->sizeHint().height());
        option->setEnabled(levelOptionEnabled(app.Level, i + 1));
        option->setChecked(i == app.Level - 1);
        auto *text = new QLabel(QString::fromStdString(optionWindowLevelText(i)), frame);
        text->setFont(points(12));
        text->setWordWrap(true);
        text->setGeometry(32, 52 + 60 * i, 175, 30);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_options[static_cast<std::size_t>(i)] = option;
    }
    auto *ok = new QPushButton(QStringLiteral("決定"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(280, 208, 89, 25);
    connect(ok, &QPushButton::clicked, this, &OptionDialog::pressOk);
}

void OptionDialog::pressOk()
{
    int chosen = 1;
    for (int i = 0; i < 3; ++i)
        if (m_options[static_cast<std::size_t>(i)]->isChecked())
            chosen = i + 1;
    // The question is asked over this window; it closes once answered, before the message
    // that the level has changed.
    QPointer<OptionDialog> self(this);
    raiseLevel(
        m_app, chosen, m_dialogs,
        [self] {
            if (!self)
                return;
            self->hide();
            emit self->levelRaised();
        },
        [self](bool) {
            if (self)
                self->accept();
        });
}

} // namespace jhk
