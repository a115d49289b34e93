#include "editor/defaulttextstyles.h"

#include <array>
#include <string>

namespace editor {

using helpproject::TColor;
using helpproject::TTextStyleList;
using helpproject::TTextStyleMacro;

namespace {

struct TStyleDefault {
    std::string_view Name;
    std::string_view Font;
    TColor Color;
    std::int32_t Size;
    bool Bold;
};

// In the order they are created and listed.
constexpr std::array<TStyleDefault, 7> kDefaults = {{
    {kTopicTitleStyle, "Arial", clBlue, 16, true},
    {kPopupTopicTitleStyle, "Arial", clBlue, 10, true},
    {kPopupLinkStyle, "Arial", clWindowText, 8, false},
    {kParagraphTitleStyle, "Arial", clWindowText, 11, true},
    {kSourceCodeStyle, "Courier New", clWindowText, 10, false},
    {kInternetLinkStyle, "Courier New", clBlue, 10, false},
    {kTopicTextStyle, "Arial", clWindowText, 10, false},
}};

} // namespace

TTextStyleMacro DefaultTextStyle(std::string_view name) {
    for (const TStyleDefault& d : kDefaults) {
        if (d.Name != name)
            continue;
        TTextStyleMacro style;
        style.Font.Name = std::string(d.Font);
        style.Font.Color = d.Color;
        style.Font.Size = d.Size;
        style.Font.Bold = d.Bold;
        return style;
    }
    throw helpproject::EProjectError("There is no built-in text style " + std::string(name));
}

void AddDefaultTextStyles(TTextStyleList& styles, bool withSourceCode) {
    for (const TStyleDefault& d : kDefaults)
        if (withSourceCode || d.Name != kSourceCodeStyle)
            styles.Add(std::string(d.Name), DefaultTextStyle(d.Name));
}

void SetHelpFileKind(helpproject::TBrindlewovenProject& project, TTextStyleList& styles,
                     std::int32_t kind) {
    project.HelpFileKind = kind;
    const std::string name(kSourceCodeStyle);
    if (kind < 1)
        styles.Remove(name);
    else if (!styles.Find(name))
        styles.Add(name, DefaultTextStyle(kSourceCodeStyle));
}

} // namespace editor
