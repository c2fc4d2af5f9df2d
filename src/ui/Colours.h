#pragma once

#include <QColor>

#include <cstdint>

namespace jhk {

// The grey of menus and dialog faces, which the colour table names as a system colour.
inline const QColor MenuColor(0xF0, 0xF0, 0xF0);

// A colour of the machine's colour table (0x00BBGGRR, or the system menu colour) as Qt's colour.
QColor colorFromTable(std::int32_t bgr);

} // namespace jhk
