#pragma once
// Editing a topic's title inside its text. The text goes to and from its
// stored lines through rtf::LoadFromStrings and rtf::SaveToStrings.
#include <string_view>

#include "components/rtf/rtfdocument.h"

namespace editor {

// Replaces the first occurrence of `oldTitle` in the first paragraph by
// `newTitle`, in the format the old title had. The text goes through the
// document model, so the title is never matched inside a control word and
// the new one is written escaped. False when the paragraph lacks it.
bool ReplaceTitleInText(rtf::RtfDocument& document, std::string_view oldTitle,
                        std::string_view newTitle);

} // namespace editor
