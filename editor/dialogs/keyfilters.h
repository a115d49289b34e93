#pragma once
// The key filters that keep typed codes well-formed: context strings,
// topic boxes of link dialogs, build tags and browse sequences, button
// captions. A filter refuses characters as they are typed or pasted and
// never touches text that was already there: a stored value holding a
// refused character (from an older file or an import) stays as it is and
// can still be edited.
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace editor {

class TKeyFilter {
public:
    enum class TKind {
        Any,           // every character
        ContextString, // letters, digits and underscore only
        TopicBox,      // not ! # % ( ) * + = > @
        FootnoteBar,   // not ! # % * + = > @ \ (the property bar's build tag and browse sequence)
        Footnote,      // not space ! # % ( ) * + = > @ \ (dialog build tags, browse sequences)
        ButtonCaption, // not , ; < >
        ContentsTopic, // not ! # % * + = > @ (a contents entry's foreign context string)
    };

    explicit TKeyFilter(TKind kind = TKind::Any,
                        std::size_t maxLength = std::numeric_limits<std::size_t>::max())
        : kind_(kind), maxLength_(maxLength) {}

    std::size_t MaxLength() const { return maxLength_; }

    // Whether a typed character gets through (backspace always does).
    bool AcceptsKey(char c) const;
    // What of an inserted (typed or pasted) text gets through.
    std::string FilterInserted(std::string_view inserted) const;
    // Whether an edit of the box from `before` to `after` is allowed: it may
    // not add a refused character nor grow the text past the length limit.
    // Characters that were already there and text already too long are
    // left alone, so loading a stored value never loses any of it.
    bool AcceptsEdit(std::string_view before, std::string_view after) const;

private:
    TKind kind_;
    std::size_t maxLength_;
};

} // namespace editor
