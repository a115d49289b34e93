#include "helpproject/brindlewovenproject.h"

#include <algorithm>
#include <numeric>

#include "platform/codepage.h"

namespace helpproject {

TBrindlewovenProject::TBrindlewovenProject() {
    AddTopic(10, "<new topic>");
}

TBrindlewovenProject::~TBrindlewovenProject() = default;

// ---- numbers, adding, finding, deleting -----------------------------------

std::size_t TBrindlewovenProject::TopicPlace(std::int32_t number) const {
    auto it = std::lower_bound(topics_.begin(), topics_.end(), number,
                               [](const auto& t, std::int32_t n) { return t->Number < n; });
    return static_cast<std::size_t>(it - topics_.begin());
}

std::int32_t TBrindlewovenProject::FirstFreeNumber(std::int32_t n) const {
    std::int32_t m = std::max<std::int32_t>(n, 1);
    for (std::size_t i = TopicPlace(m); i < topics_.size() && topics_[i]->Number == m; ++i) {
        if (m == MaxTopicNumber)
            throw EProjectError("There is no free topic number from " + std::to_string(n) +
                                " up to the highest topic number " +
                                std::to_string(MaxTopicNumber) + ".");
        ++m;
    }
    return m;
}

std::int32_t TBrindlewovenProject::IncreasedTopicNumber(std::int32_t number,
                                                        std::int32_t increase) {
    std::int64_t sum = static_cast<std::int64_t>(number) + increase;
    if (sum > MaxTopicNumber || sum < 1)
        throw EProjectError("Topic number " + std::to_string(number) + " plus " +
                            std::to_string(increase) + " is outside the topic numbers 1 to " +
                            std::to_string(MaxTopicNumber) + ".");
    return static_cast<std::int32_t>(sum);
}

TBrindlewovenTopic* TBrindlewovenProject::AddTopic(std::int32_t n, const std::string& title) {
    return InsertTopic(std::make_unique<TBrindlewovenTopic>(FirstFreeNumber(n), title));
}

TBrindlewovenTopic* TBrindlewovenProject::InsertTopic(std::unique_ptr<TBrindlewovenTopic> topic) {
    std::size_t place = TopicPlace(topic->Number);
    if (place < topics_.size() && topics_[place]->Number == topic->Number)
        throw EProjectError("Topic number " + std::to_string(topic->Number) +
                            " is already in use.");
    TBrindlewovenTopic* raw = topic.get();
    topics_.insert(topics_.begin() + static_cast<std::ptrdiff_t>(place), std::move(topic));
    AddToSortedView(raw);
    AddToTopicLists(raw);
    return raw;
}

TBrindlewovenTopic* TBrindlewovenProject::FindTopic(std::int32_t number) const {
    std::size_t place = TopicPlace(number);
    if (place < topics_.size() && topics_[place]->Number == number)
        return topics_[place].get();
    return nullptr;
}

TBrindlewovenTopic* TBrindlewovenProject::TopicByNumber(std::int32_t number) const {
    if (auto* topic = FindTopic(number))
        return topic;
    throw ENoSuchTopic();
}

TBrindlewovenTopic* TBrindlewovenProject::TopicByIndex(std::int32_t position) const {
    if (position < 1 || position > TopicCount())
        throw EProjectError("Topic index out of bounds");
    return topics_[static_cast<std::size_t>(position - 1)].get();
}

TBrindlewovenTopic* TBrindlewovenProject::TopicByID(const std::string& id) const {
    for (const auto& topic : topics_)
        if (platform::AnsiSameText(topic->TopicID, id))
            return topic.get();
    throw ENoSuchTopic();
}

TBrindlewovenTopic* TBrindlewovenProject::NextTopicByID(const std::string& id,
                                                        const TBrindlewovenTopic* after) const {
    std::size_t i = after ? TopicPlace(after->Number) : 0;
    if (after && i < topics_.size() && topics_[i]->Number == after->Number)
        ++i;
    for (; i < topics_.size(); ++i)
        if (platform::AnsiSameText(topics_[i]->TopicID, id))
            return topics_[i].get();
    throw ENoSuchTopic();
}

TBrindlewovenTopic* TBrindlewovenProject::PreviousTopic(std::int32_t n) const {
    if (topics_.empty())
        throw EProjectError("Topic not found");
    std::size_t i = TopicPlace(n);
    return i == 0 ? topics_.back().get() : topics_[i - 1].get();
}

TBrindlewovenTopic* TBrindlewovenProject::NextTopic(std::int32_t n) const {
    if (topics_.empty())
        throw EProjectError("Topic not found");
    auto it = std::upper_bound(topics_.begin(), topics_.end(), n,
                               [](std::int32_t v, const auto& t) { return v < t->Number; });
    return it == topics_.end() ? topics_.front().get() : it->get();
}

TBrindlewovenTopic* TBrindlewovenProject::PreviousBookmark(std::int32_t n) const {
    if (topics_.empty())
        throw EProjectError("Topic not found");
    std::size_t last = topics_.size() - 1;
    std::size_t i = 0;
    while (i < last && topics_[i]->Number < n)
        ++i;
    i = i > 0 ? i - 1 : 0;
    while (i > 0 && !topics_[i]->Bookmark)
        --i;
    return topics_[i].get();
}

TBrindlewovenTopic* TBrindlewovenProject::NextBookmark(std::int32_t n) const {
    if (topics_.empty())
        throw EProjectError("Topic not found");
    std::size_t last = topics_.size() - 1;
    std::size_t i = last;
    while (i > 0 && topics_[i]->Number > n)
        --i;
    i = std::min(i + 1, last);
    while (i < last && !topics_[i]->Bookmark)
        ++i;
    return topics_[i].get();
}

void TBrindlewovenProject::CheckOwnTopic(const TBrindlewovenTopic* topic) const {
    if (!topic || FindTopic(topic->Number) != topic)
        throw ENoSuchTopic();
}

void TBrindlewovenProject::ClearTopics() {
    sortedView_.clear();
    sortKeys_.clear();
    topicsByTitle_.clear();
    topicsByNumber_.clear();
    topics_.clear();
}

void TBrindlewovenProject::DeleteTopic(std::int32_t number) {
    std::size_t place = TopicPlace(number);
    if (place >= topics_.size() || topics_[place]->Number != number)
        throw ENoSuchTopic();
    TBrindlewovenTopic* topic = topics_[place].get();
    RemoveFromSortedView(topic);
    RemoveFromTopicLists(number);
    topics_.erase(topics_.begin() + static_cast<std::ptrdiff_t>(place));
}

void TBrindlewovenProject::ChangeTopicNumber(std::int32_t oldNumber, std::int32_t newNumber) {
    if (oldNumber == newNumber)
        return;
    std::size_t place = TopicPlace(oldNumber);
    if (place >= topics_.size() || topics_[place]->Number != oldNumber)
        throw ENoSuchTopic();
    if (FindTopic(newNumber))
        throw EProjectError("Topic number " + std::to_string(newNumber) + " is already in use.");
    std::unique_ptr<TBrindlewovenTopic> topic = std::move(topics_[place]);
    topics_.erase(topics_.begin() + static_cast<std::ptrdiff_t>(place));
    RemoveFromSortedView(topic.get());
    RemoveFromTopicLists(oldNumber);
    topic->Number = newNumber;
    InsertTopic(std::move(topic));
}

void TBrindlewovenProject::ChangeTopicNumbers(const TTopicNumberMap& numbers) {
    if (numbers.empty())
        return;
    std::vector<std::int32_t> result;
    result.reserve(topics_.size());
    for (const auto& entry : numbers)
        if (!FindTopic(entry.first))
            throw ENoSuchTopic();
    for (const auto& topic : topics_) {
        auto mapped = numbers.find(topic->Number);
        result.push_back(mapped == numbers.end() ? topic->Number : mapped->second);
    }
    std::sort(result.begin(), result.end());
    auto twice = std::adjacent_find(result.begin(), result.end());
    if (twice != result.end())
        throw EProjectError("Topic number " + std::to_string(*twice) + " is already in use.");
    for (const auto& topic : topics_) {
        auto mapped = numbers.find(topic->Number);
        if (mapped != numbers.end())
            topic->Number = mapped->second;
    }
    std::sort(topics_.begin(), topics_.end(),
              [](const auto& a, const auto& b) { return a->Number < b->Number; });
    RebuildTopicLists();
    RebuildSortedView();
}

void TBrindlewovenProject::SetTopicFields(TBrindlewovenTopic& topic, const TTopicFields& fields) {
    CheckOwnTopic(&topic);
    if (fields.Number)
        ChangeTopicNumber(topic.Number, *fields.Number);
    const std::pair<const std::optional<std::string>*, std::string TBrindlewovenTopic::*> texts[] =
        {{&fields.Title, &TBrindlewovenTopic::Title},
         {&fields.KKeywords, &TBrindlewovenTopic::KKeywords},
         {&fields.AKeywords, &TBrindlewovenTopic::AKeywords},
         {&fields.BrowseSequence, &TBrindlewovenTopic::BrowseSequence},
         {&fields.BuildTag, &TBrindlewovenTopic::BuildTag},
         {&fields.Status, &TBrindlewovenTopic::Status}};
    for (const auto& [value, field] : texts)
        if (*value)
            topic.*field = **value;
    UpdateTopicLists(&topic);
    UpdateSortedView(&topic);
}

// ---- renumbering links and contents lines ----------------------------------

namespace {

// Reads the topic reference of a link or button code that starts at `from`
// in `text`: the reference text (spaces and control words dropped) up to ">"
// or "}", the window tail up to "}", and the place just after the "}".
struct CodeReference {
    std::string reference;
    std::string tail;
    std::size_t end = 0; // after the closing "}", or the text size
    bool closed = false;
};

CodeReference ReadCodeReference(const std::string& text, std::size_t from) {
    CodeReference ref;
    std::size_t i = from;
    const std::size_t n = text.size();
    bool inTail = false;
    while (i < n) {
        char c = text[i];
        if (c == '\\') {
            // A control word (or the backslash of the closing "\}") runs to a
            // space or "}".
            while (i < n && text[i] != ' ' && text[i] != '}')
                ++i;
            if (i < n && text[i] == ' ')
                ++i;
            continue;
        }
        if (c == '}') {
            ref.closed = true;
            ++i;
            break;
        }
        if (c == '>')
            inTail = true;
        if (c != ' ')
            (inTail ? ref.tail : ref.reference) += c;
        ++i;
    }
    ref.end = i;
    return ref;
}

bool IsWholeNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "=" and the ID: how a contents line names its topic.
std::string ContentsKey(const std::string& id) {
    std::string key;
    key.reserve(id.size() + 1);
    key += '=';
    key += id;
    return key;
}

// Strips leading zeros so "012" names topic 12, as a number would.
std::string CanonicalNumber(const std::string& digits) {
    std::size_t nz = digits.find_first_not_of('0');
    return nz == std::string::npos ? "0" : digits.substr(nz);
}

} // namespace

namespace {

// The topic number a run of digits names ("012" names 12, as a number
// would); -1 when it names no topic number.
std::int32_t NumberOfDigits(const std::string& digits) {
    const std::string canonical = CanonicalNumber(digits);
    if (canonical.size() > 10)
        return -1;
    const long long value = std::stoll(canonical);
    return value >= 1 && value <= MaxTopicNumber ? static_cast<std::int32_t>(value) : -1;
}

} // namespace

void TBrindlewovenProject::RenumberTopicLinks(std::int32_t oldNumber, std::int32_t newNumber) {
    RenumberTopicLinks(TTopicNumberMap{{oldNumber, newNumber}});
}

void TBrindlewovenProject::RenumberTopicLinks(const TTopicNumberMap& numbers) {
    if (numbers.empty())
        return;
    for (auto& topic : topics_)
        RenumberLinksInTopic(*topic, numbers);
    RenumberContentsLinks(numbers);
}

bool TBrindlewovenProject::RenumberLinksInTopic(TBrindlewovenTopic& topic,
                                                const TTopicNumberMap& numbers) {
    bool changed = false;
    for (auto& line : topic.Text) {
        std::string lower = platform::AnsiLowerCase(line);
        if (lower.find("linkid=") == std::string::npos &&
            lower.find("\\{button ") == std::string::npos)
            continue;
        std::string result;
        std::size_t pos = 0; // consumed up to here
        bool lineChanged = false;
        while (pos < line.size()) {
            std::size_t link = lower.find("linkid=", pos);
            std::size_t button = lower.find("\\{button ", pos);
            if (link == std::string::npos && button == std::string::npos)
                break;
            std::size_t valueStart;
            if (link < button) {
                valueStart = link + 7;
                if (valueStart < line.size() &&
                    (line[valueStart] == '%' || line[valueStart] == '*'))
                    ++valueStart;
            } else {
                std::size_t comma = line.find(',', button + 9);
                if (comma == std::string::npos) {
                    // A button without its action: nothing to renumber in
                    // it, but a link code may still follow.
                    result.append(line, pos, button + 9 - pos);
                    pos = button + 9;
                    continue;
                }
                valueStart = comma + 1;
            }
            result.append(line, pos, valueStart - pos);
            pos = valueStart;
            CodeReference ref = ReadCodeReference(line, valueStart);
            // Only a reference that is a number as a whole names a topic; a
            // macro such as EF(`f12.hlp') merely holds digits. Each code is
            // looked at once, so a number mapped onto another mapped number
            // is never carried on.
            if (!IsWholeNumber(ref.reference))
                continue;
            auto mapped = numbers.find(NumberOfDigits(ref.reference));
            if (mapped == numbers.end())
                continue;
            result += std::to_string(mapped->second);
            result += ref.tail;
            if (ref.closed)
                result += "\\}";
            pos = ref.end;
            lineChanged = true;
        }
        if (lineChanged) {
            result.append(line, pos, std::string::npos);
            line = std::move(result);
            changed = true;
        }
    }
    if (changed)
        topic.ClearHtmlCaches();
    return changed;
}

void TBrindlewovenProject::RenumberContentsLinks(const TTopicNumberMap& numbers) {
    // "=" and the automatic ID of a number, ending the line or followed by a
    // window part; the first such link of a line is the line's link.
    const std::string key = ContentsKey("Vellumar");
    for (auto& line : ContentsLines) {
        for (std::size_t at = line.find(key); at != std::string::npos;
             at = line.find(key, at + 1)) {
            const std::size_t digits = at + key.size();
            std::size_t after = digits;
            while (after < line.size() && line[after] >= '0' && line[after] <= '9')
                ++after;
            if (after == digits || line[digits] == '0' || after - digits > 10 ||
                (after != line.size() && line[after] != '>'))
                continue;
            auto mapped = numbers.find(NumberOfDigits(line.substr(digits, after - digits)));
            if (mapped != numbers.end())
                line.replace(digits, after - digits, std::to_string(mapped->second));
            break;
        }
    }
}

namespace {

bool AsciiSameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

void TBrindlewovenProject::ReplaceContentsTopicID(const std::string& oldID,
                                                  const std::string& newID) {
    const std::string key = ContentsKey(oldID);
    for (auto it = ContentsLines.rbegin(); it != ContentsLines.rend(); ++it) {
        std::string& line = *it;
        if (line.size() < key.size())
            continue;
        std::size_t at = line.size() - key.size();
        if (AsciiSameText(std::string_view(line).substr(at), key))
            line.replace(at + 1, std::string::npos, newID);
    }
}

void TBrindlewovenProject::ReplaceContentsTopicTitle(const TBrindlewovenTopic& topic,
                                                     const std::string& newTitle) {
    const std::string key = ContentsKey(topic.TopicID);
    for (auto& line : ContentsLines) {
        std::size_t at = line.find(key);
        if (at == std::string::npos || at < 2)
            continue;
        std::size_t after = at + key.size();
        if (after != line.size() && line[after] != '>')
            continue;
        // The line begins with a one-digit level and a space.
        std::string_view title = std::string_view(line).substr(2, at - 2);
        if (platform::AnsiSameText(title, topic.Title))
            line.replace(2, at - 2, newTitle);
    }
}

void TBrindlewovenProject::GetTargets(TStringList& list) const {
    static constexpr std::string_view kTarget = "{target=";
    for (const auto& topic : topics_) {
        std::string text;
        for (const auto& line : topic->Text) {
            text += line;
            text += '\n';
        }
        // Imported projects write the code in any case ("{Target=").
        const std::string lower = platform::AnsiLowerCase(text);
        std::size_t at = lower.find(kTarget);
        while (at != std::string::npos) {
            std::size_t i = at + kTarget.size();
            std::string name;
            while (i < text.size() && text[i] != '}') {
                char c = text[i];
                if (c == '\\') {
                    while (i < text.size() && text[i] != ' ' && text[i] != '}')
                        ++i;
                    continue;
                }
                if (static_cast<unsigned char>(c) > ' ')
                    name += c;
                ++i;
            }
            if (!name.empty() && std::none_of(list.begin(), list.end(), [&](const std::string& s) {
                    return platform::AnsiSameText(s, name);
                }))
                list.push_back(name);
            at = lower.find(kTarget, i);
        }
    }
}

// ---- sorted view -----------------------------------------------------------

namespace {

const std::string& ColumnText(const TBrindlewovenTopic* t, TTopicColumn column) {
    switch (column) {
    case TTopicColumn::Title:
        return t->Title;
    case TTopicColumn::KKeywords:
        return t->KKeywords;
    case TTopicColumn::AKeywords:
        return t->AKeywords;
    case TTopicColumn::BKeywords:
        return t->BKeywords;
    case TTopicColumn::BrowseSequence:
        return t->BrowseSequence;
    case TTopicColumn::BuildTag:
        return t->BuildTag;
    default:
        return t->Status;
    }
}

} // namespace

std::string TBrindlewovenProject::SortKey(const TBrindlewovenTopic* topic) const {
    if (sortOrder_.Column == TTopicColumn::Number)
        return std::string();
    return platform::AnsiLowerCase(ColumnText(topic, sortOrder_.Column));
}

bool TBrindlewovenProject::SortEntryLess(const std::string& keyA, std::int32_t numA,
                                         const std::string& keyB, std::int32_t numB) const {
    int c = 0;
    if (sortOrder_.Column != TTopicColumn::Number) {
        int k = keyA.compare(keyB); // byte by byte (char_traits<char> compares unsigned)
        c = k < 0 ? -1 : (k > 0 ? 1 : 0);
    }
    if (c == 0)
        c = numA < numB ? -1 : (numA > numB ? 1 : 0);
    return sortOrder_.Descending ? c > 0 : c < 0;
}

int TBrindlewovenProject::CompareTopics(const TBrindlewovenTopic* a,
                                        const TBrindlewovenTopic* b) const {
    int c = 0;
    if (sortOrder_.Column != TTopicColumn::Number) {
        int k = SortKey(a).compare(SortKey(b));
        c = k < 0 ? -1 : (k > 0 ? 1 : 0);
    }
    if (c == 0)
        c = a->Number < b->Number ? -1 : (a->Number > b->Number ? 1 : 0);
    return sortOrder_.Descending ? -c : c;
}

void TBrindlewovenProject::RebuildSortedView() {
    std::vector<std::string> keys;
    keys.reserve(topics_.size());
    for (const auto& topic : topics_)
        keys.push_back(SortKey(topic.get()));
    std::vector<std::size_t> order(topics_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // The order is total (numbers are unique), so any correct sort gives the
    // one result the grid expects.
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return SortEntryLess(keys[a], topics_[a]->Number, keys[b], topics_[b]->Number);
    });
    sortedView_.clear();
    sortKeys_.clear();
    sortedView_.reserve(order.size());
    sortKeys_.reserve(order.size());
    for (std::size_t i : order) {
        sortedView_.push_back(topics_[i].get());
        sortKeys_.push_back(std::move(keys[i]));
    }
}

void TBrindlewovenProject::AddToSortedView(TBrindlewovenTopic* topic) {
    // Binary insertion with the key computed once: the same order a full
    // sort gives, without re-sorting the whole view for every new topic.
    std::string key = SortKey(topic);
    std::size_t lo = 0, hi = sortedView_.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (SortEntryLess(sortKeys_[mid], sortedView_[mid]->Number, key, topic->Number))
            lo = mid + 1;
        else
            hi = mid;
    }
    sortedView_.insert(sortedView_.begin() + static_cast<std::ptrdiff_t>(lo), topic);
    sortKeys_.insert(sortKeys_.begin() + static_cast<std::ptrdiff_t>(lo), std::move(key));
}

void TBrindlewovenProject::RemoveFromSortedView(const TBrindlewovenTopic* topic) {
    for (std::size_t i = 0; i < sortedView_.size(); ++i)
        if (sortedView_[i] == topic || sortedView_[i]->Number == topic->Number) {
            sortedView_.erase(sortedView_.begin() + static_cast<std::ptrdiff_t>(i));
            sortKeys_.erase(sortKeys_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TBrindlewovenProject::UpdateSortedView(TBrindlewovenTopic* topic) {
    CheckOwnTopic(topic);
    RemoveFromSortedView(topic);
    AddToSortedView(topic);
}

TTopicColumn TopicColumnFromCode(std::int32_t code) {
    if (code < 0 || code > kLastTopicColumn)
        throw EProjectError("Sort column " + std::to_string(code) + " does not exist");
    return static_cast<TTopicColumn>(code);
}

void TBrindlewovenProject::SortBy(TTopicSortOrder order) {
    TopicColumnFromCode(static_cast<std::int32_t>(order.Column));
    sortOrder_ = order;
    RebuildSortedView();
}

TBrindlewovenTopic* TBrindlewovenProject::SortedTopic(std::int32_t position) const {
    if (position < 1 || static_cast<std::size_t>(position) > sortedView_.size())
        throw EProjectError("Topic index out of bounds");
    return sortedView_[static_cast<std::size_t>(position - 1)];
}

std::int32_t TBrindlewovenProject::SortedIndexOf(std::int32_t number) const {
    for (std::size_t i = 0; i < sortedView_.size(); ++i)
        if (sortedView_[i]->Number == number)
            return static_cast<std::int32_t>(i);
    throw EProjectError("Topic not in sorted list");
}

TBrindlewovenTopic* TBrindlewovenProject::SortedPrevious(std::int32_t number) const {
    std::size_t i = static_cast<std::size_t>(SortedIndexOf(number));
    return i == 0 ? sortedView_.back() : sortedView_[i - 1];
}

TBrindlewovenTopic* TBrindlewovenProject::SortedNext(std::int32_t number) const {
    std::size_t i = static_cast<std::size_t>(SortedIndexOf(number));
    return i + 1 == sortedView_.size() ? sortedView_.front() : sortedView_[i + 1];
}

TBrindlewovenTopic* TBrindlewovenProject::SortedPreviousBookmark(std::int32_t number) const {
    std::size_t i = static_cast<std::size_t>(SortedIndexOf(number));
    i = i > 0 ? i - 1 : 0;
    while (i > 0 && !sortedView_[i]->Bookmark)
        --i;
    return sortedView_[i];
}

TBrindlewovenTopic* TBrindlewovenProject::SortedNextBookmark(std::int32_t number) const {
    std::size_t last = sortedView_.size() - 1;
    std::size_t i =
        std::min<std::size_t>(static_cast<std::size_t>(SortedIndexOf(number)) + 1, last);
    while (i < last && !sortedView_[i]->Bookmark)
        ++i;
    return sortedView_[i];
}

} // namespace helpproject
