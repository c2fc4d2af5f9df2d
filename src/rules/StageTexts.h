#pragma once

#include "rules/ProgramTitle.h"

#include <string>
#include <string_view>

namespace jhk {

// The program's fixed texts of the stage windows.
inline constexpr std::string_view ProductName = "ジハン・コウボウ";
inline constexpr std::string_view StartWindowTitle = ProgramTitle;

// The level descriptions the main window shows under the level (levels 1..3).
std::string levelDescription(int level);
// The descriptions of the start window's and the settings window's level options. The start
// window's third text has no closing "。".
std::string startWindowLevelText(int index);
std::string optionWindowLevelText(int index);
// The explanation of exercise step 1..3 of level 1, lines separated by "\n".
std::string stepExplanation(int step);

// "レベル3", "ステップ1" with the digit written as the pupil reads it.
std::string levelCaption(int level);
std::string stepCaption(int step);
// The part count under the selection panel after a machine is opened: "パーツの数：N個" once the
// machine holds a part or a label, the bare caption for an empty one.
std::string partsCountCaption(int partsCount, int labelCount);

inline constexpr std::string_view QuitQuestion = "ジハンコウボウを終了しますか？";
inline constexpr std::string_view QuitSaveQuestion = "ジハンコウボウを終了します\r\n保存しますか？";
inline constexpr std::string_view LevelChangeQuestion =
    "レベルを変更しますか？レベルは元に戻す事や、下げる事はできません";
std::string levelChangedMessage(int level);

inline constexpr std::string_view NotAButtonMessage = "ただいま右側のボタンに移植中";
// A value box holds at most 9999: the message names the largest value it takes.
inline constexpr std::string_view MaximumValueMessage = "９９９９以下に設定して下さい";

} // namespace jhk
