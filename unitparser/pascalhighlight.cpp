#include "unitparser/pascalhighlight.h"
#include "unitparser/sourcereader.h"

#include <algorithm>
#include <array>
#include <string>

namespace unitparser {

namespace {

// Sorted, lower case.
constexpr std::array<std::string_view, 83> ReservedWords = {
    "abstract",
    "and",
    "array",
    "as",
    "asm",
    "automated",
    "begin",
    "case",
    "cdecl",
    "class",
    "const",
    "constructor",
    "deprecated",
    "destructor",
    "dispid",
    "dispinterface",
    "div",
    "do",
    "downto",
    "dynamic",
    "else",
    "end",
    "except",
    "exports",
    "file",
    "finalization",
    "finally",
    "for",
    "function",
    "goto",
    "if",
    "implementation",
    "in",
    "inherited",
    "initialization",
    "inline",
    "interface",
    "is",
    "label",
    "library",
    "message",
    "mod",
    "nil",
    "not",
    "object",
    "of",
    "on",
    "or",
    "overload",
    "override",
    "packed",
    "pascal",
    "platform",
    "private",
    "procedure",
    "program",
    "property",
    "protected",
    "public",
    "published",
    "raise",
    "record",
    "register",
    "reintroduce",
    "repeat",
    "set",
    "shl",
    "shr",
    "stdcall",
    "string",
    "then",
    "threadvar",
    "to",
    "try",
    "type",
    "unit",
    "until",
    "uses",
    "var",
    "virtual",
    "while",
    "with",
    "xor",
};

// Longer words cannot be reserved: no need to fold them.
constexpr std::size_t LongestReservedWord =
    std::max_element(ReservedWords.begin(), ReservedWords.end(),
                     [](auto a, auto b) { return a.size() < b.size(); }) -> size();

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool CanStartToken(char c) {
    return c == '\'' || c == '(' || c == '/' || c == '{' || IsAsciiLetter(c);
}

} // namespace

bool IsReservedWord(std::string_view word) {
    if (word.empty() || word.size() > LongestReservedWord)
        return false;
    return std::binary_search(ReservedWords.begin(), ReservedWords.end(), LowerAscii(word));
}

std::vector<THighlightSpan> HighlightPascal(std::string_view text) {
    std::vector<THighlightSpan> spans;
    const std::size_t n = text.size();
    std::size_t i = 0;
    auto skipToStart = [&] {
        while (i < n && !CanStartToken(text[i]))
            ++i;
    };
    auto comment = [&](std::size_t start, std::size_t end) {
        spans.push_back({start, end - start, THighlightKind::Comment});
        i = end;
    };
    skipToStart();
    while (i < n) {
        char c = text[i];
        if (c == '\'') {
            std::size_t j = i + 1;
            for (;;) {
                std::size_t quote = text.find('\'', j);
                if (quote == std::string_view::npos) {
                    j = n;
                    break;
                }
                if (quote + 1 < n && text[quote + 1] == '\'') {
                    j = quote + 2;
                    continue;
                }
                j = quote + 1;
                break;
            }
            i = j;
        } else if (c == '(') {
            if (i + 1 < n && text[i + 1] == '*') {
                std::size_t close = text.find("*)", i + 2);
                comment(i, close == std::string_view::npos ? n : close + 2);
            } else {
                ++i;
            }
        } else if (c == '/') {
            if (i + 1 < n && text[i + 1] == '/') {
                std::size_t eol = text.find_first_of("\r\n", i);
                comment(i, eol == std::string_view::npos ? n : eol);
            } else {
                ++i;
            }
        } else if (c == '{') {
            std::size_t close = text.find('}', i + 1);
            comment(i, close == std::string_view::npos ? n : close + 1);
        } else {
            std::size_t j = i;
            while (j < n && IsAsciiLetter(text[j]))
                ++j;
            if (j < n && IsAsciiDigit(text[j])) {
                while (j < n && (IsAsciiLetter(text[j]) || IsAsciiDigit(text[j])))
                    ++j;
            } else if (IsReservedWord(text.substr(i, j - i))) {
                spans.push_back({i, j - i, THighlightKind::ReservedWord});
            }
            i = j;
        }
        skipToStart();
    }
    return spans;
}

} // namespace unitparser
