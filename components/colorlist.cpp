#include "components/colorlist.h"

#include <algorithm>

#include "platform/textutil.h"

namespace components {

namespace {

constexpr std::uint32_t SystemColor(int index) {
    return kSystemColorBase | static_cast<std::uint32_t>(index);
}

std::vector<TColorConstant> MakeColorConstants() {
    return {
        {0x000000, "clBlack", "Black"},
        {0x000080, "clMaroon", "Maroon"},
        {0x008000, "clGreen", "Green"},
        {0x008080, "clOlive", "Olive"},
        {0x800000, "clNavy", "Navy"},
        {0x800080, "clPurple", "Purple"},
        {0x808000, "clTeal", "Teal"},
        {0x808080, "clGray", "Gray"},
        {0xC0C0C0, "clSilver", "Silver"},
        {0x0000FF, "clRed", "Red"},
        {0x00FF00, "clLime", "Lime"},
        {0x00FFFF, "clYellow", "Yellow"},
        {0xFF0000, "clBlue", "Blue"},
        {0xFF00FF, "clFuchsia", "Fuchsia"},
        {0xFFFF00, "clAqua", "Aqua"},
        {0xFFFFFF, "clWhite", "White"},
        {0xC0DCC0, "clMoneyGreen", "Money Green"},
        {0xF0CAA6, "clSkyBlue", "Sky Blue"},
        {0xF0FBFF, "clCream", "Cream"},
        {0xA4A0A0, "clMedGray", "Medium Gray"},
        // The system colours, in the order of the platform's colour indexes.
        {SystemColor(0), "clScrollBar", ""},
        {SystemColor(1), "clBackground", ""},
        {SystemColor(2), "clActiveCaption", ""},
        {SystemColor(3), "clInactiveCaption", ""},
        {SystemColor(4), "clMenu", ""},
        {SystemColor(5), "clWindow", ""},
        {SystemColor(6), "clWindowFrame", ""},
        {SystemColor(7), "clMenuText", ""},
        {SystemColor(8), "clWindowText", ""},
        {SystemColor(9), "clCaptionText", ""},
        {SystemColor(10), "clActiveBorder", ""},
        {SystemColor(11), "clInactiveBorder", ""},
        {SystemColor(12), "clAppWorkSpace", ""},
        {SystemColor(13), "clHighlight", ""},
        {SystemColor(14), "clHighlightText", ""},
        {SystemColor(15), "clBtnFace", ""},
        {SystemColor(16), "clBtnShadow", ""},
        {SystemColor(17), "clGrayText", ""},
        {SystemColor(18), "clBtnText", ""},
        {SystemColor(19), "clInactiveCaptionText", ""},
        {SystemColor(20), "clBtnHighlight", ""},
        {SystemColor(21), "cl3DDkShadow", ""},
        {SystemColor(22), "cl3DLight", ""},
        {SystemColor(23), "clInfoText", ""},
        {SystemColor(24), "clInfoBk", ""},
        {SystemColor(26), "clHotLight", ""},
        {SystemColor(27), "clGradientActiveCaption", ""},
        {SystemColor(28), "clGradientInactiveCaption", ""},
        {SystemColor(29), "clMenuHighlight", ""},
        {SystemColor(30), "clMenuBar", ""},
        {kColorNone, "clNone", "None"},
        {kColorDefault, "clDefault", "Default"},
    };
}

constexpr std::size_t kStandardCount = 16;
constexpr std::size_t kExtendedEnd = 20;

TColorItem MakeItem(const TColorConstant& constant, TColorBoxStyle style) {
    return {ColorName(constant, style), constant.Color};
}

const TColorConstant& ConstantOf(std::uint32_t color) {
    const auto& all = ColorConstants();
    return *std::find_if(all.begin(), all.end(),
                         [color](const TColorConstant& c) { return c.Color == color; });
}

void EraseItemsOf(std::vector<TColorItem>& items, std::uint32_t color) {
    std::erase_if(items, [color](const TColorItem& item) { return item.Color == color; });
}

void EraseRange(std::vector<TColorItem>& items, std::size_t from, std::size_t to) {
    from = std::min(from, items.size());
    to = std::min(to, items.size());
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(from),
                items.begin() + static_cast<std::ptrdiff_t>(to));
}

} // namespace

bool HasColorGroup(TColorBoxStyle style) {
    return (style & (cbStandardColors | cbExtendedColors | cbSystemColors | cbCustomColor)) != 0;
}

const std::vector<TColorConstant>& ColorConstants() {
    static const std::vector<TColorConstant> constants = MakeColorConstants();
    return constants;
}

std::string IdentifierToPrettyName(std::string_view identifier) {
    if (identifier.starts_with("cl"))
        identifier.remove_prefix(2);
    std::string name;
    for (char c : identifier) {
        if (c >= 'A' && c <= 'Z' && !name.empty())
            name += ' ';
        name += c;
    }
    return name;
}

std::string ColorName(const TColorConstant& constant, TColorBoxStyle style) {
    if (!(style & cbPrettyNames))
        return std::string(constant.Identifier);
    if (!constant.PrettyName.empty())
        return std::string(constant.PrettyName);
    return IdentifierToPrettyName(constant.Identifier);
}

std::vector<TColorItem> BuildColorList(TColorBoxStyle style, std::uint32_t customColor) {
    std::vector<TColorItem> items;
    for (const TColorConstant& constant : ColorConstants())
        items.push_back(MakeItem(constant, style));

    if (style & cbSystemColors) {
        if (!(style & cbIncludeNone))
            EraseItemsOf(items, kColorNone);
        if (!(style & cbIncludeDefault))
            EraseItemsOf(items, kColorDefault);
    } else {
        EraseRange(items, kExtendedEnd, items.size());
        if (style & cbIncludeNone)
            items.push_back(MakeItem(ConstantOf(kColorNone), style));
        if (style & cbIncludeDefault)
            items.push_back(MakeItem(ConstantOf(kColorDefault), style));
    }
    if (!(style & cbExtendedColors))
        EraseRange(items, kStandardCount, kExtendedEnd);
    if (!(style & cbStandardColors))
        EraseRange(items, 0, kStandardCount);
    if (style & cbCustomColor)
        items.insert(items.begin(), TColorItem{std::string(kCustomColorCaption), customColor});
    return items;
}

std::uint32_t ColorSquareFrame(std::uint32_t rgb, bool selected) {
    const std::uint32_t red = rgb & 0xFF;
    const std::uint32_t green = (rgb >> 8) & 0xFF;
    const std::uint32_t blue = (rgb >> 16) & 0xFF;
    if (red > 192 || green > 192 || blue > 192)
        return 0x000000;
    return selected ? 0xFFFFFF : rgb;
}

std::string CustomColorEntry(int index, std::uint32_t rgb) {
    return std::string("Color") + static_cast<char>('A' + index) + "=" +
           platform::HexUpper(rgb & 0xFFFFFF, 6);
}

std::array<std::string, 16>& SharedCustomColors() {
    static std::array<std::string, 16> colors = [] {
        std::array<std::string, 16> list;
        for (int i = 0; i < 16; ++i)
            list[static_cast<std::size_t>(i)] = CustomColorEntry(i, 0xFFFFFF);
        return list;
    }();
    return colors;
}

std::uint32_t CustomColorValue(std::string_view entry) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos)
        return 0xFFFFFF;
    const auto value = platform::ParseHex32(entry.substr(equals + 1));
    return value && *value <= 0xFFFFFF ? *value : 0xFFFFFF;
}

} // namespace components
