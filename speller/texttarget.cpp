#include "speller/texttarget.h"

#include <algorithm>

namespace speller {

TMemoTarget::TMemoTarget(std::string_view text, std::string lineBreak)
    : lineBreak_(std::move(lineBreak)) {
    if (lineBreak_.empty())
        lineBreak_ = "\r\n";
    Split(text);
}

void TMemoTarget::Split(std::string_view text) {
    lines_.clear();
    starts_.clear();
    // An empty text has no lines, as an empty edit control reports none to walk.
    if (text.empty())
        return;
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = text.find(lineBreak_, pos);
        starts_.push_back(static_cast<int>(pos));
        if (end == std::string_view::npos) {
            lines_.emplace_back(text.substr(pos));
            break;
        }
        lines_.emplace_back(text.substr(pos, end - pos));
        pos = end + lineBreak_.size();
    }
}

void TMemoTarget::SetText(std::string_view text) {
    Split(text);
    selStart_ = selLength_ = 0;
    firstVisible_ = 0;
}

std::string TMemoTarget::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            text += lineBreak_;
        text += lines_[i];
    }
    return text;
}

std::string TMemoTarget::Line(int index) const {
    if (index < 0 || index >= LineCount())
        return {};
    return lines_[static_cast<std::size_t>(index)];
}

int TMemoTarget::LineStart(int index) const {
    if (index < 0)
        return 0;
    if (index >= LineCount())
        return lines_.empty() ? 0
                              : starts_.back() + static_cast<int>(lines_.back().size()) +
                                    static_cast<int>(lineBreak_.size());
    return starts_[static_cast<std::size_t>(index)];
}

int TMemoTarget::LineFromChar(int position) const {
    if (lines_.empty())
        return 0;
    auto it = std::upper_bound(starts_.begin(), starts_.end(), position);
    int line = static_cast<int>(it - starts_.begin()) - 1;
    return std::max(0, line);
}

std::string TMemoTarget::TextRange(int position, int length) const {
    std::string text = Text();
    if (position < 0 || length <= 0 || static_cast<std::size_t>(position) >= text.size())
        return {};
    return text.substr(static_cast<std::size_t>(position), static_cast<std::size_t>(length));
}

void TMemoTarget::Select(int start, int length) {
    int size = static_cast<int>(Text().size());
    selStart_ = std::clamp(start, 0, size);
    selLength_ = std::clamp(length, 0, size - selStart_);
}

void TMemoTarget::ReplaceSelection(std::string_view text) {
    std::string all = Text();
    all.replace(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_), text);
    Split(all);
    // As in an edit control, the cursor ends after the inserted text.
    selStart_ += static_cast<int>(text.size());
    selLength_ = 0;
}

std::optional<TPoint> TMemoTarget::CharPosition(int position) const {
    if (!controlRect_)
        return std::nullopt;
    int line = LineFromChar(position);
    int column = position - LineStart(line);
    return TPoint{controlRect_->left + column * kCharWidth,
                  controlRect_->top + (line - firstVisible_) * kLineHeight};
}

ITextTarget::TColumnRanges TMemoTarget::HiddenRanges(int line) const {
    auto it = hidden_.find(line);
    return it == hidden_.end() ? TColumnRanges() : it->second;
}

void TMemoTarget::ScrollLines(int lines) {
    int last = std::max(0, LineCount() - 1);
    firstVisible_ = std::clamp(firstVisible_ + lines, 0, last);
}

} // namespace speller
