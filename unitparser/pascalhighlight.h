#pragma once
// Marks up Pascal source text the way topic declarations are shown: reserved
// words bold, comments italic, string literals left alone. The editor applies
// the spans to its selection; topic generation applies them to declarations.
#include <cstddef>
#include <string_view>
#include <vector>

namespace unitparser {

enum class THighlightKind { ReservedWord, Comment };

struct THighlightSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    THighlightKind kind = THighlightKind::ReservedWord;
    bool operator==(const THighlightSpan&) const = default;
};

// True for the Pascal reserved words the highlighter makes bold (case
// ignored).
bool IsReservedWord(std::string_view word);

// The spans to format, in text order. Before applying them the caller clears
// bold and italic on the whole text.
std::vector<THighlightSpan> HighlightPascal(std::string_view text);

} // namespace unitparser
