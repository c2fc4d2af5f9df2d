#pragma once

#include "rules/UserDialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace jhk::test {

// Answers the questions of the stage's commands from prepared answers and records what was
// asked and shown. With `holdAnswers` every request waits in `waiting` until answerNext().
class FakeDialogs : public UserDialogs {
public:
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<std::string>> inputs;
    std::vector<std::string> shown;
    bool holdAnswers = false;
    std::deque<std::function<void()>> waiting;
    std::vector<std::string> inputsOpenedWith; // the text each input box opened with

    void ask(std::string_view text, MessageButtons buttons, MessageIcon, AnswerHandler answered) override
    {
        shown.emplace_back(text);
        Answer a = Answer::Ok;
        if (buttons != MessageButtons::Ok && !answers.empty()) {
            a = answers.front();
            answers.pop_front();
        }
        give([answered, a] {
            if (answered)
                answered(a);
        });
    }
    void openFileName(TextHandler chosen) override { giveText(files, std::move(chosen)); }
    void saveFileName(TextHandler chosen) override { giveText(files, std::move(chosen)); }
    using UserDialogs::inputText;
    void inputText(std::string_view prompt, std::string_view text, TextHandler typed) override
    {
        shown.emplace_back(prompt);
        inputsOpenedWith.emplace_back(text);
        giveText(inputs, std::move(typed));
    }

    // Answers the oldest request held back; false when none waits.
    bool answerNext()
    {
        if (waiting.empty())
            return false;
        auto answer = std::move(waiting.front());
        waiting.pop_front();
        answer();
        return true;
    }

private:
    void give(std::function<void()> answer)
    {
        if (holdAnswers)
            waiting.push_back(std::move(answer));
        else
            answer();
    }
    void giveText(std::deque<std::optional<std::string>> &queue, TextHandler handler)
    {
        std::optional<std::string> v;
        if (!queue.empty()) {
            v = queue.front();
            queue.pop_front();
        }
        give([handler, v] { handler(v); });
    }
};

} // namespace jhk::test
