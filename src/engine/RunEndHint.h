#pragma once

#include "engine/RunObserver.h"

#include <string>

namespace jhk {

struct Machine;
class Catalogue;

// The hint shown when a program stopped at a block whose part or operand is not set: which
// part's which block, and why, e.g. "No.1 ボタンの「1商品排出」で止まりました。どの商品を出すのか
// 設定されていません". "" for every other end of a run.
std::string runEndHint(const RunEndInfo &info, const Machine &m, const Catalogue &catalogue);

} // namespace jhk
