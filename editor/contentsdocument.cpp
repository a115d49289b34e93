#include "editor/contentsdocument.h"

#include <algorithm>
#include <charconv>

namespace editor {

namespace {

constexpr std::string_view kIncludePrefix = ":INCLUDE ";
constexpr std::string_view kOwnFilePrefix = "Vellumar";
constexpr int kMaxLevel = 9;

// The number of an own-format target "Vellumar<n>", only when writing it
// back gives the same text (no sign, no leading zero, within the spin box).
bool ParseOwnFileNumber(std::string_view digits, std::int32_t& number) {
    if (digits.empty() || digits.front() == '0')
        return false;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size() && number >= 1;
}

std::string_view AfterLevel(std::string_view line) {
    return line.size() > 2 ? line.substr(2) : std::string_view();
}

} // namespace

std::string WithoutControlCharacters(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 32)
            result += c;
    return result;
}

bool IsIncludeLine(std::string_view line) {
    return !line.empty() && line.front() == ':';
}

bool IsHeaderLine(std::string_view line) {
    return line.find('=') == std::string_view::npos;
}

bool HasLevel(std::string_view line) {
    return !line.empty() && line.front() >= '1' && line.front() <= '9';
}

int LineLevel(std::string_view line) {
    return HasLevel(line) ? line.front() - '0' : 1;
}

std::string DisplayTitle(std::string_view line) {
    if (IsIncludeLine(line))
        return std::string(line);
    std::string_view rest = AfterLevel(line);
    return std::string(rest.substr(0, rest.find('=')));
}

TContentsItem ParseContentsLine(std::string_view line) {
    TContentsItem item;
    if (IsIncludeLine(line)) {
        item.Kind = TContentsKind::Include;
        item.File =
            std::string(line.size() > kIncludePrefix.size() ? line.substr(kIncludePrefix.size())
                                                            : std::string_view());
        return item;
    }
    std::string_view rest = AfterLevel(line);
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) {
        item.Kind = TContentsKind::Header;
        item.Title = std::string(rest);
        return item;
    }
    item.Title = std::string(rest.substr(0, equals));
    std::string_view target = rest.substr(equals + 1);
    if (target.empty()) {
        item.Kind = TContentsKind::Link;
        return item;
    }
    if (target.front() == '!') {
        // "=! macro"; a macro written right after the "!" keeps its first
        // character.
        item.Kind = TContentsKind::Macro;
        std::string_view macro = target.substr(1);
        if (!macro.empty() && macro.front() == ' ')
            macro.remove_prefix(1);
        item.Macro = std::string(macro);
        return item;
    }
    const std::size_t gt = target.find('>');
    if (gt != std::string_view::npos) {
        item.Window = std::string(target.substr(gt + 1));
        target = target.substr(0, gt);
    }
    const std::size_t at = target.find('@');
    if (at == std::string_view::npos) {
        item.Kind = TContentsKind::Link;
        item.TopicID = std::string(target);
        return item;
    }
    item.File = std::string(target.substr(at + 1));
    std::string_view topic = target.substr(0, at);
    if (topic.substr(0, kOwnFilePrefix.size()) == kOwnFilePrefix &&
        ParseOwnFileNumber(topic.substr(kOwnFilePrefix.size()), item.TopicNumber)) {
        item.Kind = TContentsKind::OwnFileLink;
        return item;
    }
    item.Kind = TContentsKind::OtherFileLink;
    item.TopicName = std::string(topic);
    return item;
}

std::string BuildContentsLine(int level, const TContentsItem& item) {
    if (item.Kind == TContentsKind::Include)
        return WithoutControlCharacters(std::string(kIncludePrefix) + item.File);
    std::string line(1, static_cast<char>('0' + std::clamp(level, 1, kMaxLevel)));
    line += ' ';
    line += item.Title;
    switch (item.Kind) {
    case TContentsKind::Header:
    case TContentsKind::Include:
        return WithoutControlCharacters(line);
    case TContentsKind::Macro:
        return WithoutControlCharacters(line + "=! " + item.Macro);
    case TContentsKind::Link:
        line += "=" + item.TopicID;
        break;
    case TContentsKind::OwnFileLink:
        line +=
            "=" + std::string(kOwnFilePrefix) + std::to_string(item.TopicNumber) + "@" + item.File;
        break;
    case TContentsKind::OtherFileLink:
        line += "=" + item.TopicName + "@" + item.File;
        break;
    }
    if (!item.Window.empty())
        line += ">" + item.Window;
    return WithoutControlCharacters(line);
}

// ---- the document ------------------------------------------------------------

void TContentsDocument::Load(TContentsLines lines) {
    ++generation_;
    lines_ = std::move(lines);
    current_ = lines_.empty() ? -1 : 0;
    ClearUndoStates();
}

void TContentsDocument::SetCurrentItem(int index) {
    current_ = index >= 0 && index < Count() ? index : -1;
}

void TContentsDocument::ClampCurrent() {
    if (current_ >= Count())
        current_ = Count() - 1;
}

void TContentsDocument::PushUndoState() {
    // Snapshots above the position are redo states that a change drops.
    snapshots_.resize(static_cast<std::size_t>(undoPos_));
    snapshots_.push_back(lines_);
    ++undoPos_;
    while (undoCount() > kMaxUndoSteps) {
        snapshots_.erase(snapshots_.begin());
        --undoPos_;
    }
}

void TContentsDocument::PushUnlessLast(TAction action) {
    if (lastAction_ != action) {
        PushUndoState();
        lastAction_ = action;
    }
}

void TContentsDocument::Undo() {
    if (!CanUndo())
        return;
    ++generation_;
    if (lastAction_ != TAction::Undo) {
        // The present lines, so that Redo can come back to them.
        snapshots_.resize(static_cast<std::size_t>(undoPos_));
        snapshots_.push_back(lines_);
        lastAction_ = TAction::Undo;
    }
    --undoPos_;
    lines_ = snapshots_[static_cast<std::size_t>(undoPos_)];
    ClampCurrent();
}

void TContentsDocument::Redo() {
    if (!CanRedo())
        return;
    ++generation_;
    ++undoPos_;
    lines_ = snapshots_[static_cast<std::size_t>(undoPos_)];
    ClampCurrent();
}

void TContentsDocument::ClearUndoStates() {
    snapshots_.clear();
    undoPos_ = 0;
    lastAction_ = TAction::None;
    lastEditedItem_ = -1;
}

void TContentsDocument::SetLevel(int index, int level) {
    ++generation_;
    std::string& line = lines_[static_cast<std::size_t>(index)];
    if (HasLevel(line))
        line.front() = static_cast<char>('0' + std::clamp(level, 1, kMaxLevel));
}

int TContentsDocument::SubitemCount(int index) const {
    if (!HasLevel(Line(index)))
        return 0;
    const int level = LineLevel(Line(index));
    int count = 0;
    for (int j = index + 1; j < Count(); ++j) {
        const std::string& line = Line(j);
        if (!HasLevel(line) || LineLevel(line) <= level)
            break;
        ++count;
    }
    return count;
}

int TContentsDocument::Add(bool withTopic, std::string_view topicTitle, std::string_view topicID,
                           std::string_view window) {
    PushUndoState();
    lastAction_ = TAction::Add;
    const int reference = current_ >= 0 ? current_ : Count() - 1;
    int level = 1;
    if (reference >= 0) {
        const std::string& line = Line(reference);
        // An include line (or anything without a level digit) counts as 1.
        level = LineLevel(line);
        if (IsHeaderLine(line) && level < kMaxLevel)
            ++level;
    }
    std::string line(1, static_cast<char>('0' + level));
    if (withTopic)
        line += " " + std::string(topicTitle) + "=" + std::string(topicID);
    else
        line += " New Item=";
    if (!window.empty())
        line += ">" + std::string(window);
    const int index = reference + 1;
    lines_.insert(lines_.begin() + index, WithoutControlCharacters(line));
    ++generation_;
    current_ = index;
    return index;
}

bool TContentsDocument::DeleteCurrent() {
    if (current_ < 0)
        return false;
    PushUndoState();
    lastAction_ = TAction::Delete;
    lines_.erase(lines_.begin() + current_);
    ++generation_;
    ClampCurrent();
    return true;
}

bool TContentsDocument::CanMoveLeft(int index) const {
    return index >= 0 && index < Count() && HasLevel(Line(index)) && LineLevel(Line(index)) > 1;
}

bool TContentsDocument::CanMoveRight(int index) const {
    if (index < 1 || index >= Count())
        return false;
    const std::string& line = Line(index);
    if (!HasLevel(line) || LineLevel(line) >= kMaxLevel)
        return false;
    const std::string& above = Line(index - 1);
    if (!HasLevel(above))
        return false;
    // At most one deeper than the book above, never deeper than a page above.
    return IsHeaderLine(above) ? LineLevel(above) >= LineLevel(line)
                               : LineLevel(above) > LineLevel(line);
}

bool TContentsDocument::MoveLeft(bool subitemsFollow) {
    if (!CanMoveLeft(current_))
        return false;
    PushUnlessLast(TAction::MoveLeft);
    const std::string& line = Line(current_);
    const int level = LineLevel(line);
    const int subitems = subitemsFollow && IsHeaderLine(line) ? SubitemCount(current_) : 0;
    for (int j = current_ + 1; j <= current_ + subitems; ++j)
        SetLevel(j, LineLevel(Line(j)) - 1);
    SetLevel(current_, level - 1);
    return true;
}

bool TContentsDocument::MoveRight(bool subitemsFollow) {
    if (!CanMoveRight(current_))
        return false;
    PushUnlessLast(TAction::MoveRight);
    const std::string& line = Line(current_);
    const int level = LineLevel(line);
    const int subitems = subitemsFollow && IsHeaderLine(line) ? SubitemCount(current_) : 0;
    for (int j = current_ + 1; j <= current_ + subitems; ++j)
        if (LineLevel(Line(j)) < kMaxLevel)
            SetLevel(j, LineLevel(Line(j)) + 1);
    SetLevel(current_, level + 1);
    return true;
}

void TContentsDocument::FixIndents() {
    PushUnlessLast(TAction::FixIndents);
    int previousLevel = 1;
    bool previousIsHeader = false;
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = Line(i);
        if (IsIncludeLine(line)) {
            previousLevel = 1;
            previousIsHeader = false;
            continue;
        }
        if (!HasLevel(line))
            continue;
        const int limit = previousIsHeader ? previousLevel + 1 : previousLevel;
        if (LineLevel(line) > limit)
            SetLevel(i, limit);
        previousLevel = LineLevel(Line(i));
        previousIsHeader = IsHeaderLine(line);
    }
    ClampCurrent();
}

bool TContentsDocument::SetCurrentLine(const std::string& line) {
    if (current_ < 0)
        return false;
    std::string clean = WithoutControlCharacters(line);
    if (clean == Line(current_))
        return false;
    if (lastAction_ != TAction::PropertyEdit || lastEditedItem_ != current_) {
        PushUndoState();
        lastAction_ = TAction::PropertyEdit;
        lastEditedItem_ = current_;
    }
    lines_[static_cast<std::size_t>(current_)] = std::move(clean);
    ++generation_;
    return true;
}

int TContentsDocument::Drop(int source, int target, bool subitemsFollow) {
    if (source < 0 || source >= Count() || target < 0 || target > Count() || target == source)
        return -1;
    const int subitems = subitemsFollow ? SubitemCount(source) : 0;
    // Never into its own subtree.
    if (target > source && target <= source + subitems)
        return -1;
    PushUndoState();
    lastAction_ = TAction::DragDrop;

    const int oldLevel = LineLevel(Line(source));
    TContentsLines moved(lines_.begin() + source, lines_.begin() + source + subitems + 1);
    lines_.erase(lines_.begin() + source, lines_.begin() + source + subitems + 1);
    // Dropped on an item above, the block goes before it; on an item below,
    // after it; past the end, at the end.
    int place = target < source ? target : target - subitems;
    place = std::min(place, Count());

    int newLevel = 1;
    if (place > 0) {
        const std::string& above = Line(place - 1);
        if (IsIncludeLine(above) || !HasLevel(above))
            newLevel = 1;
        else if (IsHeaderLine(above))
            newLevel = std::min(LineLevel(above) + 1, kMaxLevel);
        else
            newLevel = LineLevel(above);
    }
    const int shift = newLevel - oldLevel;
    for (std::size_t j = 0; j < moved.size(); ++j) {
        std::string& line = moved[j];
        if (HasLevel(line)) {
            const int level = j == 0 ? newLevel : std::clamp(LineLevel(line) + shift, 1, kMaxLevel);
            line.front() = static_cast<char>('0' + level);
        }
    }
    lines_.insert(lines_.begin() + place, moved.begin(), moved.end());
    ++generation_;
    current_ = place;
    return place;
}

} // namespace editor
