#pragma once
// Taking a text style from a range of a topic document and applying one to
// it. The style's paragraph values are in points, as the editor's paragraph
// attributes give them: FirstIndent is the first line's indent from the left
// margin, LeftIndent the indent of the following lines relative to the first
// line, RightIndent from the right margin, tab stops from the left margin.
#include <cstddef>
#include <cstdint>

#include "components/rtf/rtfdocument.h"
#include "helpproject/textstylemacro.h"

namespace helpproject {

// The members of a character format that a style's font sets, and those of a
// paragraph format that its paragraph values set.
inline constexpr std::uint32_t kStyleCharMask = rtf::kCharFace | rtf::kCharSize | rtf::kCharColor |
                                                rtf::kCharBold | rtf::kCharItalic |
                                                rtf::kCharUnderline | rtf::kCharStrike;
inline constexpr std::uint32_t kStyleParaMask = rtf::kParaAlignment | rtf::kParaFirstIndent |
                                                rtf::kParaLeftIndent | rtf::kParaRightIndent |
                                                rtf::kParaTabs | rtf::kParaBullet;

// The character format of a style's font (members of kStyleCharMask).
rtf::CharFormat CharFormatFromFont(const TFont& font);
// The paragraph format of a style's paragraph values (members of kStyleParaMask).
rtf::ParaFormat ParaFormatFromStyle(const TTextStyleMacro& style);
// The style of a character format and a paragraph format (at most 32 tab stops).
TTextStyleMacro StyleFromFormats(const rtf::CharFormat& cf, const rtf::ParaFormat& pf);

// The style of the selection that starts at `pos`: the character format of
// its first character and the format of its first paragraph (at most 32
// tab stops).
TTextStyleMacro StyleFromDocument(const rtf::RtfDocument& document, std::size_t pos);

// Applies the style's font to the characters [pos, pos + count) and its
// paragraph values to every paragraph the range touches.
void ApplyStyleToDocument(const TTextStyleMacro& style, rtf::RtfDocument& document, std::size_t pos,
                          std::size_t count);

} // namespace helpproject
