#include "ui/Colours.h"

#include "rules/PaperPage.h"

namespace jhk {

QColor colorFromTable(std::int32_t bgr)
{
    return QColor::fromRgb(static_cast<QRgb>(rgbFromTable(bgr)));
}

} // namespace jhk
