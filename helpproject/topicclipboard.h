#pragma once
// The record under which whole topics travel through the clipboard (format
// "Brindlewoven topic"), between projects and between running copies of the
// program. Layout, little-endian:
//   0    ten fields of 256 bytes: Title, KKeywords, BKeywords, BrowseSequence,
//        BuildTag, Status, Window, EntryMacro, AKeywords, TopicID; each a
//        length byte (0..255) and that many characters
//   2560 length L of the text, unsigned 32-bit
//   2564 the text: every line followed by CR LF
//   2564 + L  four unused bytes
// The record carries neither the topic number nor the bookmark.
#include <cstddef>
#include <string>
#include <string_view>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

// Size of a record whose text is empty; every record is this plus L.
inline constexpr std::size_t TopicClipboardFixedSize = 2568;
// The largest record pasting takes (16 MiB): a topic text of that size is
// laid out in a few seconds, and nothing written by hand comes near it.
inline constexpr std::size_t TopicClipboardMaxSize = std::size_t{16} << 20;
// The name under which the clipboard format is registered.
inline constexpr std::string_view TopicClipboardFormatName = "Brindlewoven topic";

// The record of a topic. Fields longer than 255 characters are cut.
std::string SaveToClipboardData(const TBrindlewovenTopic& topic);

// Fills a topic from a record: the nine text fields, the text (the HTML
// caches are emptied) and the ID, unless the record's ID is an automatic one
// ("Vellumar..."), so that the receiving topic keeps its own. A field's text
// ends at a zero byte (a length byte that runs past the characters reaches
// the unused bytes behind them), and control characters are left out of
// it. A record that is too short, larger than TopicClipboardMaxSize or whose
// text length does not fit in it throws EProjectError and leaves the topic
// unchanged.
void LoadFromClipboardData(TBrindlewovenTopic& topic, std::string_view record);

} // namespace helpproject
