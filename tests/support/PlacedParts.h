#pragma once

#include "model/AppState.h"
#include "model/Creation.h"
#include "model/Kinds.h"

#include <cstddef>
#include <cstdint>

namespace jhk::testing {

// Places a part of `kind` with its top-left corner at (left, top) pixels of a 15-twips-per-pixel
// stage, as a drop does, showing the built-in picture of its kind at that picture's size.
// Returns the part's slot.
inline int placeWithBuiltInPicture(Machine &m, int kind, int leftPx, int topPx)
{
    m.app.DropX = static_cast<float>(leftPx * 15);
    m.app.DropY = static_cast<float>(topPx * 15);
    const int slot = createPart(m, kind).slot;
    PartsRecord &p = m.part(slot);
    p.PictName = "dummy";
    p.Width = static_cast<std::int16_t>(BuiltInPictureSizes[static_cast<std::size_t>(kind)].width);
    p.Height = static_cast<std::int16_t>(BuiltInPictureSizes[static_cast<std::size_t>(kind)].height);
    return slot;
}

} // namespace jhk::testing
