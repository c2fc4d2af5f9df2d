#pragma once

#include "rules/UserDialogs.h"

#include <QPointer>
#include <QWidget>

namespace jhk {

// Message boxes, file dialogs and input boxes of the desktop, in Japanese.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget *parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget *parent) { m_parent = parent; }

    Answer ask(std::string_view text, MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> openFileName() override;
    std::optional<std::string> saveFileName() override;
    using UserDialogs::inputText;
    std::optional<std::string> inputText(std::string_view prompt, std::string_view text) override;

    // The filters of both file dialogs.
    static QStringList documentFilters();

private:
    QPointer<QWidget> m_parent;
};

// Shows a message box with the program's title; the one way every window reports to the user.
Answer showMessageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon);

} // namespace jhk
