#pragma once

#include "model/AppState.h"

#include <optional>
#include <string>

namespace jhk {

// Looks for values a document read into `m` must not hold: a level or run mode the program
// does not know, links that lead nowhere, kinds and colours outside their tables, flags
// that are neither set nor clear, counts that disagree with the slots in use. Returns what
// is wrong, in words for the pupil, or nothing.
//
// Free slots are checked only where their leftovers survive the slot's reuse: placing a part
// or a label writes its kind, colours and blocks afresh, but keeps old block links.
std::optional<std::string> findDamage(const Machine &m);

} // namespace jhk
