#include "ui/QtUserDialogs.h"

#include "rules/ProgramTitle.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace jhk {

namespace {

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

std::optional<std::string> QtUserDialogs::inputText(std::string_view prompt)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, qs(ProgramTitle), qs(prompt), QLineEdit::Normal,
                                               QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

} // namespace jhk
