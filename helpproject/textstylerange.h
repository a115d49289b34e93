#pragma once
// Taking a text style from a range of a topic document and applying one to
// it. The style's paragraph values are in points, as the editor's paragraph
// attributes give them: FirstIndent is the first line's indent from the left
// margin, LeftIndent the indent of the following lines relative to the first
// line, RightIndent from the right margin, tab stops from the left margin.
#include <cstddef>

#include "components/rtf/rtfdocument.h"
#include "helpproject/textstylemacro.h"

namespace helpproject {

// The style of the selection that starts at `pos`: the character format of
// its first character and the format of its first paragraph (at most 32
// tab stops).
TTextStyleMacro StyleFromDocument(const rtf::RtfDocument& document, std::size_t pos);

// Applies the style's font to the characters [pos, pos + count) and its
// paragraph values to every paragraph the range touches.
void ApplyStyleToDocument(const TTextStyleMacro& style, rtf::RtfDocument& document, std::size_t pos,
                          std::size_t count);

} // namespace helpproject
