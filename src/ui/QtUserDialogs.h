#pragma once

#include "rules/UserDialogs.h"

#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>

class QDialog;
class QMessageBox;

namespace jhk {

// Message boxes, file dialogs and input boxes of the desktop, in Japanese. Each is opened
// window-modal over the parent window and answers through its handler when it closes; a
// request made while another is open waits until that one has been answered.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget *parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget *parent) { m_parent = parent; }

    void ask(std::string_view text, MessageButtons buttons, MessageIcon icon, AnswerHandler answered) override;
    void openFileName(TextHandler chosen) override;
    void saveFileName(TextHandler chosen) override;
    using UserDialogs::inputText;
    void inputText(std::string_view prompt, std::string_view text, TextHandler typed) override;

    // Whether a request is open or waiting.
    bool busy() const { return m_open || !m_waiting.empty(); }
    // Calls `then` once no request is open or waiting any more (at once when none is).
    void whenAnswered(std::function<void()> then);

    // The filters of both file dialogs.
    static QStringList documentFilters();

private:
    // `show` opens a dialog and calls its argument once the dialog has been answered.
    void request(std::function<void(std::function<void()>)> show);
    void next();
    void fileName(bool save, TextHandler chosen);
    QWidget *ownerWindow() const;

    QPointer<QWidget> m_parent;
    std::deque<std::function<void(std::function<void()>)>> m_waiting;
    std::vector<std::function<void()>> m_whenAnswered;
    bool m_open = false;
};

// Opens a message box with the program's title, window-modal over `parent` (application-modal
// without one); `answered` gets the answer once it closes. The one way every window reports to
// the user; the box deletes itself when closed.
QMessageBox *showMessageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon,
                            AnswerHandler answered = {});

// Shows a dialog that keeps the whole program waiting for its answer (as a modal question
// does) while the program's own events go on: the answer comes through the dialog's signals,
// never from a loop that waits. The dialog deletes itself once closed.
void showAndAnswerLater(QDialog *dialog);

} // namespace jhk
