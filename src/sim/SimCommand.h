#pragma once

#include <optional>
#include <string>
#include <vector>

namespace jhk {

// A pupil's action as the simulator's scripts and the class checker's scenarios write it,
// one a line: run, stop, stepmode, next, touch N, coin YEN [away], money TEXT, exercise N,
// save PATH, state.
enum class SimOp { Run, Stop, StepMode, Next, Touch, Coin, Money, Exercise, Save, State };

struct SimCommand {
    SimOp op = SimOp::Run;
    int number = 0;     // touch N, coin YEN, exercise N
    bool away = false;  // coin YEN away
    std::string text;   // money TEXT, save PATH; touch ROLE when roles are allowed
};

// Why a line is not a command. `word` in SimParseProblem names the command concerned.
enum class SimParseError {
    None,
    SaveNeedsName,      // save without a file name
    TakesNoArgument,    // run, stop, stepmode, next or state with more words
    NeedsWholeNumber,   // touch or exercise without one whole number
    ExerciseRange,      // exercise other than 1, 2 or 3
    BadCoin,            // coin without a known value, or a word other than "away" after it
    UnknownCommand,
};

struct SimParseProblem {
    SimParseError error = SimParseError::None;
    std::string word;
};

struct SimParseOptions {
    // `touch WORD` with a word that is not a number keeps the word in `text` (a part's role
    // such as "ボタン1") for the caller to resolve.
    bool touchRoles = false;
};

// One script line. Nothing for a blank line or a comment (problem.error stays None), nothing
// and a problem for a malformed line.
std::optional<SimCommand> parseSimCommand(std::string line, SimParseProblem &problem,
                                          SimParseOptions options = {});

// The simulator's own words for a problem, e.g. "unknown command \"dance\"".
std::string simParseErrorText(const SimParseProblem &problem);

// The words of a script line, split at spaces and tabs; the simulator and the class checker
// read their lines with it.
std::vector<std::string> scriptWords(const std::string &line);

// A whole number of at most nine digits with an optional sign.
bool parseSmallInt(const std::string &s, int &out);

// A text on one output line: a line break inside it is written as the two characters \n.
std::string oneLine(const std::string &text);

} // namespace jhk
