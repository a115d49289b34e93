#pragma once
// The colours a colour combo box lists and the names it shows for them. A
// colour is a TColor value: 0x00BBGGRR for a plain colour, 0xFF0000nn for
// system colour nn (the platform's colour index), and two special values for
// "no colour" and "the default colour". The widget (components/ui/colorbox.h)
// only draws what BuildColorList returns.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace components {

inline constexpr std::uint32_t kColorNone = 0x1FFFFFFF;
inline constexpr std::uint32_t kColorDefault = 0x20000000;
inline constexpr std::uint32_t kSystemColorBase = 0xFF000000;
// What a box reads as its colour while no item is chosen. It is also the
// value of system colour 0 (the scroll bar colour), which a box therefore
// can never tell apart from "nothing chosen"; the custom item never takes it.
inline constexpr std::uint32_t kNoColorChosen = 0xFF000000;
// The custom item's colour until the person picks one.
inline constexpr std::uint32_t kDefaultCustomColor = 0x00A0FF;

inline bool IsSystemColor(std::uint32_t color) {
    return (color & 0xFF000000) == kSystemColorBase;
}
inline int SystemColorIndex(std::uint32_t color) {
    return static_cast<int>(color & 0xFF);
}

// The style flags of a colour box; a style is a set of them.
enum TColorBoxStyles : unsigned {
    cbStandardColors = 1u << 0, // the 16 standard colours
    cbExtendedColors = 1u << 1, // the 4 extended colours
    cbSystemColors = 1u << 2,   // the platform's interface colours
    cbIncludeNone = 1u << 3,
    cbIncludeDefault = 1u << 4,
    cbCustomColor = 1u << 5, // a first item "Custom..." that opens the colour dialog
    cbPrettyNames = 1u << 6, // "Btn Face" instead of "clBtnFace"
    cbCustomColors = 1u << 7,
};
using TColorBoxStyle = unsigned;
inline constexpr TColorBoxStyle kDefaultColorBoxStyle =
    cbStandardColors | cbExtendedColors | cbCustomColor;

// Whether a style lists anything a person can choose; a box without any of
// these groups is disabled.
bool HasColorGroup(TColorBoxStyle style);

// A colour constant of the class library: its value, identifier and, when it
// has one, its pretty name (empty otherwise).
struct TColorConstant {
    std::uint32_t Color;
    std::string_view Identifier;
    std::string_view PrettyName;
};

// Every colour constant in the library's order: 16 standard, 4 extended, the
// system colours, then none and default.
const std::vector<TColorConstant>& ColorConstants();

// "clBtnFace" -> "Btn Face": the identifier without its leading "cl", with a
// space before each further capital letter.
std::string IdentifierToPrettyName(std::string_view identifier);

// The name a box shows for a constant under a style.
std::string ColorName(const TColorConstant& constant, TColorBoxStyle style);

struct TColorItem {
    std::string Name;
    std::uint32_t Color = 0;
    bool operator==(const TColorItem&) const = default;
};

inline constexpr std::string_view kCustomColorCaption = "Custom...";

// The items of a box with this style; `customColor` is the colour of the
// "Custom..." item when the style has one.
std::vector<TColorItem> BuildColorList(TColorBoxStyle style, std::uint32_t customColor);

// The frame of an item's colour square: black when any of the colour's red,
// green or blue parts is above 192, else white for the selected item and the
// colour itself for the others. Takes and gives 0x00BBGGRR values.
std::uint32_t ColorSquareFrame(std::uint32_t rgb, bool selected);

// The 16 custom colours of the colour dialog, shared by every box of the
// program: "ColorA=FFFFFF" ... "ColorP=FFFFFF" at first, the hex digits
// being the 0xBBGGRR value.
std::array<std::string, 16>& SharedCustomColors();
// The colour of one entry of that list; white when the entry cannot be read.
std::uint32_t CustomColorValue(std::string_view entry);
// The entry for slot `index` (0 = "A").
std::string CustomColorEntry(int index, std::uint32_t rgb);

} // namespace components
