#pragma once
// The seven built-in text styles with the values the program starts with,
// and the help-file kind that decides whether the source-code style is
// offered.
#include <cstdint>
#include <string_view>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"

namespace editor {

// Colours of the program's palette (0x00BBGGRR) and the window-text colour.
inline constexpr helpproject::TColor clBlack = 0x000000;
inline constexpr helpproject::TColor clMaroon = 0x000080;
inline constexpr helpproject::TColor clGreen = 0x008000;
inline constexpr helpproject::TColor clBlue = 0xFF0000;
inline constexpr helpproject::TColor clWindowText = static_cast<helpproject::TColor>(0xFF000008);

inline constexpr std::string_view kTopicTitleStyle = "*TopicTitle";
inline constexpr std::string_view kPopupTopicTitleStyle = "*PopupTopicTitle";
inline constexpr std::string_view kPopupLinkStyle = "*PopupLink";
inline constexpr std::string_view kParagraphTitleStyle = "*ParagraphTitle";
inline constexpr std::string_view kSourceCodeStyle = "*SourceCode";
inline constexpr std::string_view kInternetLinkStyle = "*InternetLink";
inline constexpr std::string_view kTopicTextStyle = "*TopicText";

// The start-up values of a built-in style; EProjectError for another name.
helpproject::TTextStyleMacro DefaultTextStyle(std::string_view name);

// Fills an empty style list with the built-in styles in the order the style
// box lists them, the source-code style only when `withSourceCode`.
void AddDefaultTextStyles(helpproject::TTextStyleList& styles, bool withSourceCode);

// Component help (kind 1 and above) has source code: the project takes the
// kind, and the source-code style is offered exactly for those kinds (added
// with its start-up values when it was missing).
void SetHelpFileKind(helpproject::TBrindlewovenProject& project,
                     helpproject::TTextStyleList& styles, std::int32_t kind);

} // namespace editor
