#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jhk {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
// OkStop: a message shown while the machine runs, with "停止" beside OK (OK stays the default
// and Escape's answer); the answer Stop ends the run as the main window's "停止" does.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, OkStop };
enum class Answer { Ok, Cancel, Yes, No, Stop };

// Everything the stage's commands ask of the user: message boxes, the file dialogs and the
// input box. The windows answer with real dialogs, the tests with prepared answers.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    virtual Answer ask(std::string_view text, MessageButtons buttons, MessageIcon icon) = 0;
    void message(std::string_view text, MessageIcon icon = MessageIcon::None)
    {
        ask(text, MessageButtons::Ok, icon);
    }

    // The file dialogs "ファイルを開く" and "ファイルの保存"; nothing when cancelled.
    virtual std::optional<std::string> openFileName() = 0;
    virtual std::optional<std::string> saveFileName() = 0;

    // An input box, opened with `text` in it; nothing when cancelled.
    virtual std::optional<std::string> inputText(std::string_view prompt, std::string_view text) = 0;
    std::optional<std::string> inputText(std::string_view prompt) { return inputText(prompt, {}); }
};

} // namespace jhk
