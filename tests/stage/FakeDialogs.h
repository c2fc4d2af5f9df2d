#pragma once

#include "rules/UserDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace jhk::test {

// Answers the questions of the stage's commands from prepared answers and records what was
// asked and shown.
class FakeDialogs : public UserDialogs {
public:
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<std::string>> inputs;
    std::vector<std::string> shown;
    std::vector<std::string> inputsOpenedWith; // the text each input box opened with

    Answer ask(std::string_view text, MessageButtons buttons, MessageIcon) override
    {
        shown.emplace_back(text);
        if (buttons == MessageButtons::Ok || answers.empty())
            return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> openFileName() override { return next(files); }
    std::optional<std::string> saveFileName() override { return next(files); }
    using UserDialogs::inputText;
    std::optional<std::string> inputText(std::string_view prompt, std::string_view text) override
    {
        shown.emplace_back(prompt);
        inputsOpenedWith.emplace_back(text);
        return next(inputs);
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>> &queue)
    {
        if (queue.empty())
            return std::nullopt;
        auto v = queue.front();
        queue.pop_front();
        return v;
    }
};

} // namespace jhk::test
