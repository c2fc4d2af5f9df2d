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

Answer showMessageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(qs(ProgramTitle));
    box.setIcon(qtIcon(icon));
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
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
    box.setStandardButtons(standard);
    box.setEscapeButton(escape);
    QPushButton *stop = nullptr;
    if (buttons == MessageButtons::OkStop) {
        stop = box.addButton(QStringLiteral("停止"), QMessageBox::RejectRole);
        stop->setObjectName(QStringLiteral("cmdStop"));
        stop->setAutoDefault(false);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    keepTitleWhole(box);
    const int result = box.exec();
    if (stop && box.clickedButton() == stop)
        return Answer::Stop;
    switch (result) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return buttons == MessageButtons::Ok ? Answer::Ok : (buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel);
    }
}

Answer QtUserDialogs::ask(std::string_view text, MessageButtons buttons, MessageIcon icon)
{
    return showMessageBox(m_parent, qs(text), buttons, icon);
}

QStringList QtUserDialogs::documentFilters()
{
    return {QStringLiteral("ジハンコウボウファイル (*.JHK)"), QStringLiteral("All Files (*.*)")};
}

std::optional<std::string> QtUserDialogs::openFileName()
{
    QFileDialog dialog(m_parent, QStringLiteral("ファイルを開く"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(documentFilters());
    dialog.setDefaultSuffix(QStringLiteral("JHK"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtUserDialogs::saveFileName()
{
    QFileDialog dialog(m_parent, QStringLiteral("ファイルの保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(documentFilters());
    dialog.setDefaultSuffix(QStringLiteral("JHK"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtUserDialogs::inputText(std::string_view prompt, std::string_view text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, qs(ProgramTitle), qs(prompt), QLineEdit::Normal,
                                                 qs(text), &ok);
    if (!ok)
        return std::nullopt;
    return answer.toStdString();
}

} // namespace jhk
