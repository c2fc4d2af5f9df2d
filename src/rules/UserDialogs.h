#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace jhk {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
// OkStop: a message shown while the machine runs, with "停止" beside OK (OK stays the default
// and Escape's answer); the answer Stop ends the run as the main window's "停止" does.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, OkStop };
enum class Answer { Ok, Cancel, Yes, No, Stop };

using AnswerHandler = std::function<void(Answer)>;
// A file name or a typed text; nothing when the pupil cancelled.
using TextHandler = std::function<void(std::optional<std::string>)>;

// Everything the stage's commands ask of the user: message boxes, the file dialogs and the
// input box. Nothing waits for them: each is a request whose handler is called once with the
// answer, at once (the tests' prepared answers) or later (a window's box, a page's dialog).
// Questions asked one after another are answered in turn.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // `answered` may be empty when nothing follows the answer.
    virtual void ask(std::string_view text, MessageButtons buttons, MessageIcon icon, AnswerHandler answered) = 0;
    void message(std::string_view text, MessageIcon icon = MessageIcon::None)
    {
        ask(text, MessageButtons::Ok, icon, {});
    }

    // The file dialogs "ファイルを開く" and "ファイルの保存".
    virtual void openFileName(TextHandler chosen) = 0;
    virtual void saveFileName(TextHandler chosen) = 0;

    // An input box, opened with `text` in it.
    virtual void inputText(std::string_view prompt, std::string_view text, TextHandler typed) = 0;
    void inputText(std::string_view prompt, TextHandler typed) { inputText(prompt, {}, std::move(typed)); }
};

} // namespace jhk
