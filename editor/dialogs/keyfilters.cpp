#include "editor/dialogs/keyfilters.h"

#include <array>

namespace editor {

namespace {

constexpr char kBackspace = '\b';

bool IsLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// How many of the text's characters the filter refuses, by character.
std::array<std::size_t, 256> RefusedCounts(const TKeyFilter& filter, std::string_view text) {
    std::array<std::size_t, 256> counts{};
    for (char c : text)
        if (!filter.AcceptsKey(c))
            ++counts[static_cast<unsigned char>(c)];
    return counts;
}

} // namespace

bool TKeyFilter::AcceptsKey(char c) const {
    if (c == kBackspace)
        return true;
    switch (kind_) {
    case TKind::Any:
        return true;
    case TKind::ContextString:
        return IsLetterOrDigit(c) || c == '_';
    case TKind::TopicBox:
        return std::string_view("!#%()*+=>@").find(c) == std::string_view::npos;
    case TKind::FootnoteBar:
        return std::string_view("!#%*+=>@\\").find(c) == std::string_view::npos;
    case TKind::Footnote:
        return std::string_view(" !#%()*+=>@\\").find(c) == std::string_view::npos;
    case TKind::ButtonCaption:
        return std::string_view(",;<>").find(c) == std::string_view::npos;
    case TKind::ContentsTopic:
        return std::string_view("!#%*+=>@").find(c) == std::string_view::npos;
    }
    return true;
}

std::string TKeyFilter::FilterInserted(std::string_view inserted) const {
    std::string result;
    for (char c : inserted)
        if (AcceptsKey(c))
            result += c;
    return result;
}

bool TKeyFilter::AcceptsEdit(std::string_view before, std::string_view after) const {
    if (after.size() > maxLength_ && after.size() > before.size())
        return false;
    const auto had = RefusedCounts(*this, before);
    const auto has = RefusedCounts(*this, after);
    for (std::size_t i = 0; i < has.size(); ++i)
        if (has[i] > had[i])
            return false;
    return true;
}

} // namespace editor
