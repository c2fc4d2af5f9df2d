#include "rules/PaperPage.h"

#include "model/AppState.h"

namespace jhk {

bool PaperSegment::crosses(const PaperSegment &o) const
{
    // Where the two lines meet, as a fraction along each segment.
    const double ax = dx();
    const double ay = dy();
    const double bx = o.p1.x - o.p2.x;
    const double by = o.p1.y - o.p2.y;
    const double cx = p1.x - o.p1.x;
    const double cy = p1.y - o.p1.y;
    const double denominator = ay * bx - ax * by;
    if (denominator == 0)
        return false;
    const double along = (by * cx - bx * cy) / denominator;
    const double alongOther = (ax * cy - ay * cx) / denominator;
    return along >= 0 && along <= 1 && alongOther >= 0 && alongOther <= 1;
}

std::uint32_t rgbFromTable(std::int32_t bgr)
{
    if (bgr == SystemMenuColor)
        return 0xF0F0F0;
    const auto v = static_cast<std::uint32_t>(bgr);
    return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}

std::size_t utf8Length(char lead)
{
    const auto b = static_cast<unsigned char>(lead);
    return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
}

} // namespace jhk
