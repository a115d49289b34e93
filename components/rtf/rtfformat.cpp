#include "components/rtf/rtfformat.h"

#include <algorithm>
#include <functional>

namespace rtf {

Color Color::FromTColor(std::uint32_t color) {
    if (color > 0xFFFFFF)
        return Auto();
    return Rgb(static_cast<std::uint8_t>(color & 0xFF),
               static_cast<std::uint8_t>((color >> 8) & 0xFF),
               static_cast<std::uint8_t>((color >> 16) & 0xFF));
}

std::uint32_t Color::ToTColor(std::uint32_t autoValue) const {
    if (isAuto)
        return autoValue;
    return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
           (static_cast<std::uint32_t>(blue) << 16);
}

std::size_t CharFormatHash::operator()(const CharFormat& f) const {
    auto color = [](const Color& c) {
        return c.isAuto ? std::uint64_t{1} << 24 : std::uint64_t{c.ToTColor()};
    };
    std::uint64_t h = std::hash<std::string>{}(f.face);
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 0x100000001B3u; };
    mix(static_cast<std::uint64_t>(f.charset));
    mix(static_cast<std::uint64_t>(f.pitch));
    mix(static_cast<std::uint64_t>(f.family));
    mix(static_cast<std::uint64_t>(f.size));
    mix(color(f.color));
    mix(color(f.background));
    mix(static_cast<std::uint64_t>(f.bold) | static_cast<std::uint64_t>(f.italic) << 1 |
        static_cast<std::uint64_t>(f.strike) << 2 | static_cast<std::uint64_t>(f.hidden) << 3 |
        static_cast<std::uint64_t>(f.underline) << 4 | static_cast<std::uint64_t>(f.script) << 8);
    mix(static_cast<std::uint64_t>(f.offset));
    return static_cast<std::size_t>(h);
}

std::size_t ParaFormatHash::operator()(const ParaFormat& f) const {
    std::uint64_t h = 0xCBF29CE484222325u;
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 0x100000001B3u; };
    mix(static_cast<std::uint64_t>(f.alignment) | static_cast<std::uint64_t>(f.bullet) << 8 |
        static_cast<std::uint64_t>(f.keepNext) << 9 |
        static_cast<std::uint64_t>(f.lineSpacingMultiple) << 10);
    for (int v :
         {f.firstIndent, f.leftIndent, f.rightIndent, f.spaceBefore, f.spaceAfter, f.lineSpacing})
        mix(static_cast<std::uint64_t>(static_cast<std::uint32_t>(v)));
    for (const TabStop& tab : f.tabs)
        mix(static_cast<std::uint64_t>(static_cast<std::uint32_t>(tab.position)) << 16 |
            static_cast<std::uint64_t>(tab.kind) << 8 | static_cast<std::uint64_t>(tab.leader));
    return static_cast<std::size_t>(h);
}

void ApplyCharFormat(CharFormat& to, const CharFormat& from, std::uint32_t mask) {
    if (mask & kCharFace) {
        to.face = from.face;
        to.charset = from.charset;
        to.pitch = from.pitch;
        to.family = from.family;
    }
    if (mask & kCharSize)
        to.size = from.size;
    if (mask & kCharColor)
        to.color = from.color;
    if (mask & kCharBackground)
        to.background = from.background;
    if (mask & kCharBold)
        to.bold = from.bold;
    if (mask & kCharItalic)
        to.italic = from.italic;
    if (mask & kCharUnderline)
        to.underline = from.underline;
    if (mask & kCharStrike)
        to.strike = from.strike;
    if (mask & kCharHidden)
        to.hidden = from.hidden;
    if (mask & kCharScript) {
        to.script = from.script;
        to.offset = from.offset;
    }
}

void ApplyParaFormat(ParaFormat& to, const ParaFormat& from, std::uint32_t mask) {
    if (mask & kParaAlignment)
        to.alignment = from.alignment;
    if (mask & kParaFirstIndent)
        to.firstIndent = from.firstIndent;
    if (mask & kParaLeftIndent)
        to.leftIndent = from.leftIndent;
    if (mask & kParaRightIndent)
        to.rightIndent = from.rightIndent;
    if (mask & kParaSpaceBefore)
        to.spaceBefore = from.spaceBefore;
    if (mask & kParaSpaceAfter)
        to.spaceAfter = from.spaceAfter;
    if (mask & kParaLineSpacing) {
        to.lineSpacing = from.lineSpacing;
        to.lineSpacingMultiple = from.lineSpacingMultiple;
    }
    if (mask & kParaTabs) {
        to.tabs = from.tabs;
        if (to.tabs.size() > kMaxTabStops)
            to.tabs.resize(kMaxTabStops);
    }
    if (mask & kParaBullet)
        to.bullet = from.bullet;
    if (mask & kParaKeepNext)
        to.keepNext = from.keepNext;
}

} // namespace rtf
