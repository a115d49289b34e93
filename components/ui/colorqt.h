#pragma once
// TColor values (0x00BBGGRR, system colours 0xFF0000nn) on screen: the
// system colours take the colours of the widget style's palette.
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace components::ui {

// The colour a TColor paints with; "none" and "default" have no colour of
// their own and give an invalid QColor.
QColor TColorToQColor(std::uint32_t color, const QPalette& palette);
// 0x00BBGGRR of a colour; black for an invalid one.
std::uint32_t QColorToTColor(const QColor& color);

} // namespace components::ui
