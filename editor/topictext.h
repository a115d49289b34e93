#pragma once
// A topic's text, stored as lines of RTF, as a document of the RTF engine
// and back, in the layout every reader of the project expects.
#include "components/rtf/rtfdocument.h"
#include "helpproject/brindlewoventopic.h"

namespace editor {

// The topic's lines as one document (plain lines, as a new topic has, are
// plain paragraphs). ERtfError for RTF nested too deep.
rtf::RtfDocument ParseTopicText(const helpproject::TStringList& lines);
// The document as the lines a topic stores.
helpproject::TStringList TopicTextLines(const rtf::RtfDocument& document);

// Replaces the first occurrence of `oldTitle` in the first paragraph by
// `newTitle`, in the format the old title had. The text goes through the
// document model, so the title is never matched inside a control word and
// the new one is written escaped. False when the paragraph lacks it.
bool ReplaceTitleInText(rtf::RtfDocument& document, std::string_view oldTitle,
                        std::string_view newTitle);

} // namespace editor
