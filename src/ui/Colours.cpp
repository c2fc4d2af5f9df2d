#include "ui/Colours.h"

#include "model/AppState.h"

namespace jhk {

QColor colorFromTable(std::int32_t bgr)
{
    if (bgr == SystemMenuColor)
        return MenuColor;
    const auto v = static_cast<std::uint32_t>(bgr);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

} // namespace jhk
