#include "ui/QtUserDialogs.h"

#include "rules/ProgramTitle.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace jhk {

namespace {

// What a window manager's title bar takes beside the title: the window's icon, the minimise,
// maximise and close buttons and the margins, with room to spare.
constexpr int TitleFrameRoom = 150;

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// A short message makes a narrow box, and the window manager cuts its title ("ジハ… ウ"):
// the box is made wide enough for the whole title beside the frame's icon and buttons.
void keepTitleWhole(QMessageBox &box)
{
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + TitleFrameRoom;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

} // namespace

QMessageBox *showMessageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon,
                            AnswerHandler answered)
{
    auto *box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(qs(ProgramTitle));
    box->setIcon(qtIcon(icon));
    box->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    switch (buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkStop: break;
    case MessageButtons::OkCancel:
        standard = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MessageButtons::YesNo:
        standard = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
        break;
    case MessageButtons::YesNoCancel:
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    }
    box->setStandardButtons(standard);
    box->setEscapeButton(escape);
    QPushButton *stop = nullptr;
    if (buttons == MessageButtons::OkStop) {
        stop = box->addButton(QStringLiteral("停止"), QMessageBox::RejectRole);
        stop->setObjectName(QStringLiteral("cmdStop"));
        stop->setAutoDefault(false);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    keepTitleWhole(*box);
    // Escape and the close box click the escape button: every way of closing names a button.
    QObject::connect(box, &QDialog::finished, box, [box, stop, buttons, answered] {
        if (!answered)
            return;
        QAbstractButton *clicked = box->clickedButton();
        if (stop && clicked == stop) {
            answered(Answer::Stop);
            return;
        }
        switch (box->standardButton(clicked)) {
        case QMessageBox::Ok: answered(Answer::Ok); return;
        case QMessageBox::Yes: answered(Answer::Yes); return;
        case QMessageBox::No: answered(Answer::No); return;
        case QMessageBox::Cancel: answered(Answer::Cancel); return;
        default: break;
        }
        answered(buttons == MessageButtons::Ok || buttons == MessageButtons::OkStop
                     ? Answer::Ok
                     : (buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel));
    });
    box->open();
    return box;
}

void showAndAnswerLater(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

QWidget *QtUserDialogs::ownerWindow() const
{
    // A window not shown yet (a machine from the command line that could not be opened) does
    // not hold its boxes: they stand on their own and outlive it.
    return m_parent && m_parent->isVisible() ? m_parent.data() : nullptr;
}

void QtUserDialogs::request(std::function<void(std::function<void()>)> show)
{
    m_waiting.push_back(std::move(show));
    if (!m_open)
        next();
}

void QtUserDialogs::next()
{
    if (m_waiting.empty()) {
        auto then = std::move(m_whenAnswered);
        m_whenAnswered.clear();
        for (const auto &f : then)
            f();
        return;
    }
    auto show = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_open = true;
    show([this] {
        m_open = false;
        next();
    });
}

void QtUserDialogs::whenAnswered(std::function<void()> then)
{
    if (!busy()) {
        then();
        return;
    }
    m_whenAnswered.push_back(std::move(then));
}

void QtUserDialogs::ask(std::string_view text, MessageButtons buttons, MessageIcon icon, AnswerHandler answered)
{
    request([this, text = qs(text), buttons, icon, answered](std::function<void()> closed) {
        showMessageBox(ownerWindow(), text, buttons, icon, [answered, closed](Answer a) {
            if (answered)
                answered(a);
            closed();
        });
    });
}

QStringList QtUserDialogs::documentFilters()
{
    return {QStringLiteral("ジハンコウボウファイル (*.JHK)"), QStringLiteral("All Files (*.*)")};
}

void QtUserDialogs::fileName(bool save, TextHandler chosen)
{
    request([this, save, chosen](std::function<void()> closed) {
        auto *dialog = new QFileDialog(ownerWindow(), save ? QStringLiteral("ファイルの保存") : QStringLiteral("ファイルを開く"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::AnyFile);
        if (save)
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setNameFilters(documentFilters());
        dialog->setDefaultSuffix(QStringLiteral("JHK"));
        QObject::connect(dialog, &QDialog::finished, dialog, [dialog, chosen, closed](int result) {
            std::optional<std::string> name;
            if (result == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
                name = dialog->selectedFiles().constFirst().toStdString();
            chosen(name);
            closed();
        });
        dialog->open();
    });
}

void QtUserDialogs::openFileName(TextHandler chosen) { fileName(false, std::move(chosen)); }
void QtUserDialogs::saveFileName(TextHandler chosen) { fileName(true, std::move(chosen)); }

void QtUserDialogs::inputText(std::string_view prompt, std::string_view text, TextHandler typed)
{
    request([this, prompt = qs(prompt), text = qs(text), typed](std::function<void()> closed) {
        auto *dialog = new QInputDialog(ownerWindow());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowTitle(qs(ProgramTitle));
        dialog->setLabelText(prompt);
        dialog->setInputMode(QInputDialog::TextInput);
        dialog->setTextValue(text);
        QObject::connect(dialog, &QDialog::finished, dialog, [dialog, typed, closed](int result) {
            std::optional<std::string> text;
            if (result == QDialog::Accepted)
                text = dialog->textValue().toStdString();
            typed(text);
            closed();
        });
        dialog->open();
    });
}

} // namespace jhk
