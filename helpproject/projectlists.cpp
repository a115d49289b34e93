// Build tags, browse sequences, statuses and the topic picker lists.
#include <algorithm>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "helpproject/helputils.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace helpproject {

std::string TitleStyleText(const std::string& title, std::int32_t number) {
    return title + " (" + std::to_string(number) + ")";
}

std::string NumberStyleText(const std::string& title, std::int32_t number) {
    return std::to_string(number) + ": " + title;
}

namespace {

bool ContainsText(const TStringList& list, const std::string& item) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& s) { return platform::AnsiSameText(s, item); });
}

// Inserts before the first item that is not greater, unless that item is
// equal, so the list stays distinct and in descending order.
template <typename Less>
void InsertDescending(TStringList& list, const std::string& item, Less greater) {
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const std::string& s) { return !greater(s, item); });
    if (it != list.end() && !greater(item, *it))
        return; // equal
    list.insert(it, item);
}

// The number inside the last pair of parentheses, or false.
bool NumberInParentheses(const std::string& text, std::int32_t& number) {
    std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    std::size_t open = text.rfind('(', close);
    if (open == std::string::npos)
        return false;
    return TryParseInt32(std::string_view(text).substr(open + 1, close - open - 1), number);
}

// The picker list order of "%s (%d)" items. Where the user's linguistic
// ordering would be used, we use the deterministic Windows-1252 fold of
// platform/codepage.h so the order is the same on every machine.
bool TitleItemLess(const TTopicListItem& a, const TTopicListItem& b) {
    int c = platform::AnsiCompareTextLinguistic(a.Text, b.Text);
    if (c != 0)
        return c < 0;
    return a.Topic->Number < b.Topic->Number;
}

} // namespace

// ---- build tags --------------------------------------------------------------

void TBrindlewovenProject::FilterTopicsByBuildTags() {
    const TBuildSelection selection = TBuildSelection::ByBuildTags(*this);
    for (auto& topic : topics_)
        topic->Included = selection.Includes(*topic);
    CheckBuildLeavesTopics(*this, selection);
}

void TBrindlewovenProject::GetBuildTags(TStringList& list, bool split) const {
    list.clear();
    for (auto it = topics_.rbegin(); it != topics_.rend(); ++it) {
        std::vector<std::string> tags;
        if (split)
            tags = SplitDelimited((*it)->BuildTag, ';');
        else
            tags.push_back((*it)->BuildTag);
        for (const auto& raw : tags) {
            std::string tag(platform::TrimControlView(raw));
            if (!tag.empty() && !ContainsText(list, tag))
                list.push_back(std::move(tag));
        }
    }
}

// ---- browse sequences and statuses --------------------------------------------

void TBrindlewovenProject::GetBrowseSequences(TStringList& list) const {
    list.clear();
    for (const auto& topic : topics_) {
        std::size_t colon = topic->BrowseSequence.find(':');
        if (colon == std::string::npos || colon == 0)
            continue;
        InsertDescending(list, topic->BrowseSequence.substr(0, colon),
                         [](const std::string& a, const std::string& b) { return a > b; });
    }
}

void TBrindlewovenProject::GetStatuses(TStringList& list) const {
    list.clear();
    for (const auto& topic : topics_)
        InsertDescending(list, topic->Status, [](const std::string& a, const std::string& b) {
            return platform::AnsiUpperCase(a) > platform::AnsiUpperCase(b);
        });
}

void TBrindlewovenProject::ReadBrowseSequence(const std::string& name, TStringList& inList,
                                              TStringList& outList) const {
    const std::string prefix = name + ":";
    std::vector<std::pair<std::string, std::int32_t>> in;
    TStringList out;
    for (const auto& topic : topics_) {
        const std::string& field = topic->BrowseSequence;
        if (field.compare(0, prefix.size(), prefix) != 0) {
            out.push_back(TitleStyleText(topic->Title, topic->Number));
            continue;
        }
        std::int32_t position = 0;
        if (!TryParseInt32(std::string_view(field).substr(field.find(':') + 1), position))
            throw EBrindlewoven("The browse sequence entry \"" + field + "\" of topic #" +
                                    std::to_string(topic->Number) +
                                    " does not hold a position number.",
                                topic->Number);
        auto at = std::find_if(in.begin(), in.end(),
                               [&](const auto& item) { return item.second >= position; });
        in.insert(at, {TitleStyleText(topic->Title, topic->Number), position});
    }
    inList.clear();
    for (auto& item : in)
        inList.push_back(std::move(item.first));
    outList = std::move(out);
}

void TBrindlewovenProject::WriteBrowseSequence(const std::string& name, const TStringList& outList,
                                               const TStringList& inList) {
    // Every item is checked before any field changes, so a bad item leaves
    // the project as it was.
    auto resolve = [&](const TStringList& items) {
        std::vector<TBrindlewovenTopic*> topics;
        topics.reserve(items.size());
        for (const auto& item : items) {
            std::int32_t number = 0;
            if (!NumberInParentheses(item, number))
                throw EProjectError("\"" + item + "\" does not name a topic number.");
            topics.push_back(TopicByNumber(number));
        }
        return topics;
    };
    const std::vector<TBrindlewovenTopic*> outTopics = resolve(outList);
    const std::vector<TBrindlewovenTopic*> inTopics = resolve(inList);
    const std::string prefix = name + ":";
    for (auto* topic : outTopics)
        if (topic->BrowseSequence.compare(0, prefix.size(), prefix) == 0)
            topic->BrowseSequence.clear();
    std::int64_t place = 0;
    for (auto* topic : inTopics)
        topic->BrowseSequence = prefix + ZeroPad(++place * 10, 6);
}

// ---- picker lists ----------------------------------------------------------------

void TBrindlewovenProject::FillTopicList(TTopicList& list, bool withNumbers) const {
    list.clear();
    list.reserve(topics_.size());
    for (const auto& topic : topics_)
        list.push_back({withNumbers ? TitleStyleText(topic->Title, topic->Number) : topic->Title,
                        topic.get()});
}

void TBrindlewovenProject::AddToTopicLists(TBrindlewovenTopic* topic) {
    TTopicListItem byTitle{TitleStyleText(topic->Title, topic->Number), topic};
    auto at =
        std::lower_bound(topicsByTitle_.begin(), topicsByTitle_.end(), byTitle, TitleItemLess);
    topicsByTitle_.insert(at, std::move(byTitle));
    auto place = std::lower_bound(
        topicsByNumber_.begin(), topicsByNumber_.end(), topic->Number,
        [](const TTopicListItem& item, std::int32_t n) { return item.Topic->Number < n; });
    topicsByNumber_.insert(place, {NumberStyleText(topic->Title, topic->Number), topic});
}

void TBrindlewovenProject::RebuildTopicLists() {
    topicsByNumber_.clear();
    topicsByTitle_.clear();
    topicsByNumber_.reserve(topics_.size());
    topicsByTitle_.reserve(topics_.size());
    for (const auto& topic : topics_) {
        topicsByNumber_.push_back({NumberStyleText(topic->Title, topic->Number), topic.get()});
        topicsByTitle_.push_back({TitleStyleText(topic->Title, topic->Number), topic.get()});
    }
    std::sort(topicsByTitle_.begin(), topicsByTitle_.end(), TitleItemLess);
}

void TBrindlewovenProject::RemoveFromTopicLists(std::int32_t number) {
    auto byTitle =
        std::find_if(topicsByTitle_.begin(), topicsByTitle_.end(), [&](const auto& item) {
            std::int32_t n = 0;
            return NumberInParentheses(item.Text, n) && n == number;
        });
    if (byTitle != topicsByTitle_.end())
        topicsByTitle_.erase(byTitle);
    auto byNumber =
        std::find_if(topicsByNumber_.begin(), topicsByNumber_.end(), [&](const auto& item) {
            return NumberFromListText(item.Text, true) == number;
        });
    if (byNumber != topicsByNumber_.end())
        topicsByNumber_.erase(byNumber);
}

void TBrindlewovenProject::UpdateTopicLists(TBrindlewovenTopic* topic) {
    CheckOwnTopic(topic);
    // By object, since the number in the items may be the one before a change.
    auto drop = [&](TTopicList& list) {
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const auto& item) { return item.Topic == topic; }),
                   list.end());
    };
    drop(topicsByTitle_);
    drop(topicsByNumber_);
    AddToTopicLists(topic);
}

std::int32_t TBrindlewovenProject::NumberFromListText(const std::string& text, bool numberStyle) {
    if (text.empty())
        return -1;
    std::int32_t number = 0;
    if (TryParseInt32(text, number))
        return number;
    if (numberStyle) {
        std::size_t colon = text.find(':');
        if (colon != std::string::npos &&
            TryParseInt32(std::string_view(text).substr(0, colon), number))
            return number;
        return -1;
    }
    return NumberInParentheses(text, number) ? number : -1;
}

std::string TBrindlewovenProject::IDFromListText(const std::string& text, bool numberStyle) const {
    if (text.empty())
        return std::string();
    std::int32_t number = NumberFromListText(text, numberStyle);
    if (number == -1)
        return text;
    return TopicByNumber(number)->TopicID;
}

std::int32_t TBrindlewovenProject::TopicListIndex(std::int32_t number, bool numberStyle) const {
    if (numberStyle) {
        const std::string prefix = std::to_string(number) + ": ";
        for (std::size_t i = 0; i < topicsByNumber_.size(); ++i)
            if (topicsByNumber_[i].Text.compare(0, prefix.size(), prefix) == 0)
                return static_cast<std::int32_t>(i);
        return -1;
    }
    for (std::size_t i = 0; i < topicsByTitle_.size(); ++i) {
        std::int32_t n = 0;
        if (NumberInParentheses(topicsByTitle_[i].Text, n) && n == number)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::string TBrindlewovenProject::ListTextFromID(const std::string& id, bool numberStyle) const {
    for (const auto& topic : topics_) {
        if (!platform::AnsiSameText(topic->TopicID, id))
            continue;
        std::int32_t index = TopicListIndex(topic->Number, numberStyle);
        if (index < 0)
            break;
        return (numberStyle ? topicsByNumber_ : topicsByTitle_)[static_cast<std::size_t>(index)]
            .Text;
    }
    return id;
}

std::string TBrindlewovenProject::TitleFromListText(const std::string& text, bool numberStyle) {
    if (numberStyle) {
        std::size_t colon = text.find(':');
        if (colon == std::string::npos)
            return std::string();
        std::size_t start = colon + 1;
        if (start < text.size() && text[start] == ' ')
            ++start;
        return text.substr(start);
    }
    std::size_t cut = text.rfind(" (");
    return cut == std::string::npos ? std::string() : text.substr(0, cut);
}

} // namespace helpproject
