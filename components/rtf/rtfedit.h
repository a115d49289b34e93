#pragma once
// Edits of RTF text at token level. Whatever an edit does not touch is copied
// byte for byte, so topic text keeps its exact form (line breaks, spacing,
// pictures, unknown control words) through any number of edits.
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/rtf/rtftokenizer.h"

namespace rtf {

// Removes every control word `name` (with any parameter, or only with
// `param` when given), together with its delimiting space.
std::string RemoveControlWord(std::string_view rtf, std::string_view name,
                              std::optional<int> param = std::nullopt);

// Replaces every control word `name` by `replacement` (a control word name);
// the parameter, when the old word had one, is kept.
std::string ReplaceControlWord(std::string_view rtf, std::string_view name,
                               std::string_view replacement);

// Which groups RemoveDestination takes.
struct DestinationRemoval {
    // The destination's name compared ignoring case.
    bool ignoreCase = false;
    // Only the first such group.
    bool firstOnly = false;
};

// Removes every group whose first control word (after an optional "\*") is
// `name`, e.g. "pntext", "fldinst", "generator".
std::string RemoveDestination(std::string_view rtf, std::string_view name,
                              DestinationRemoval removal = {});

// One group seen by RewriteGroups.
struct GroupView {
    std::string_view raw;          // from "{" to its matching "}" (to the end when unclosed)
    std::size_t offset = 0;        // of "{" in the source
    std::string_view destination;  // first control word after "{" (and an optional "\*")
    bool starred = false;          // "{\*\..."
    int depth = 0;                 // 1 for a group directly in the document group
    std::span<const Token> tokens; // the group's tokens, "{" and "}" included
    // The group's plain text as PlainTextReader reads it: text and "\'hh"
    // bytes, "\~" as 0xA0, "\tab" as a tab, escaped braces and backslashes,
    // the characters of "\lquote" and its kin and of "\uN"; other control
    // words dropped.
    std::string Text() const;
};

// Walks every group (outermost first). The callback returns the replacement
// bytes for a group, or nullopt to keep it and look at the groups inside it.
std::string RewriteGroups(std::string_view rtf,
                          const std::function<std::optional<std::string>(const GroupView&)>& fn);

// Splits RTF at every "\page" control word (never at "\pagebb" or other
// words that start with "page"). A "\page" standing alone in its group
// ("{\page}") splits around the whole group. The pieces hold everything in
// between, "\page" excluded; with no "\page" there is one piece.
std::vector<std::string_view> SplitAtPage(std::string_view rtf);

// Offset of the "}" that closes the group opening at `groupStart` ("{"),
// counted on tokens, or npos when it is not closed.
std::size_t MatchingBrace(std::string_view rtf, std::size_t groupStart);

} // namespace rtf
