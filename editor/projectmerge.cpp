#include "editor/projectmerge.h"

#include <algorithm>

#include "editor/topicnumbering.h"
#include "platform/codepage.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

bool HoldsLowerCase(const std::vector<std::string>& list, const std::string& lower) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& item) {
        return platform::AnsiLowerCase(item) == lower;
    });
}

bool Selected(const TBrindlewovenTopic& topic, const TMergeSelection& selection) {
    switch (selection.Criterion) {
    case TMergeCriterion::All:
        return true;
    case TMergeCriterion::TopicID:
        return topic.Number >= selection.From && topic.Number <= selection.To;
    case TMergeCriterion::BrowseSequence: {
        const std::size_t colon = topic.BrowseSequence.find(':');
        return colon != std::string::npos &&
               HoldsLowerCase(selection.BrowseSequences,
                              platform::AnsiLowerCase(topic.BrowseSequence.substr(0, colon)));
    }
    case TMergeCriterion::Status:
        return HoldsLowerCase(selection.Statuses, platform::AnsiLowerCase(topic.Status));
    }
    return true;
}

std::vector<std::int32_t> Numbers(const TBrindlewovenProject& project) {
    std::vector<std::int32_t> numbers;
    numbers.reserve(project.Topics().size());
    for (const auto& topic : project.Topics())
        numbers.push_back(topic->Number);
    return numbers;
}

} // namespace

void SelectMergeTopics(TBrindlewovenProject& other, const TMergeSelection& selection) {
    std::vector<std::int32_t> leftOut;
    for (const auto& topic : other.Topics())
        if (!Selected(*topic, selection))
            leftOut.push_back(topic->Number);
    for (std::int32_t number : leftOut)
        other.DeleteTopic(number);
}

void ResolveMergeClashes(const TBrindlewovenProject& current, TBrindlewovenProject& other,
                         TSameIDChoice choice) {
    if (choice == TSameIDChoice::Overwrite)
        return;
    helpproject::TTopicNumberMap moved;
    for (std::int32_t n : Numbers(other)) {
        if (!current.FindTopic(n))
            continue;
        if (choice == TSameIDChoice::DoNotAdd) {
            other.DeleteTopic(n);
            continue;
        }
        // Free in the open project, then in the other one, until both agree.
        std::int32_t m = current.FirstFreeNumber(n);
        for (;;) {
            const std::int32_t next = other.FirstFreeNumber(current.FirstFreeNumber(m));
            if (next == m)
                break;
            m = next;
        }
        TBrindlewovenTopic* topic = other.TopicByNumber(n);
        other.ChangeTopicNumber(n, m);
        if (TBrindlewovenTopic::IsAutomaticID(topic->TopicID))
            topic->TopicID = TBrindlewovenTopic::AutomaticID(m);
        moved.emplace(n, m);
    }
    other.RenumberTopicLinks(moved);
}

std::size_t InsertMergedTopics(TBrindlewovenProject& current, const TBrindlewovenProject& other) {
    for (const auto& source : other.Topics()) {
        TBrindlewovenTopic* existing = current.FindTopic(source->Number);
        if (!existing) {
            current.InsertTopic(TBrindlewovenTopic::CreateCopy(*source));
            continue;
        }
        // What a topic made anew at this number would hold: the automatic
        // ID of the number unless the other topic brings an ID of its own.
        existing->Assign(*source);
        if (TBrindlewovenTopic::IsAutomaticID(source->TopicID))
            existing->TopicID = TBrindlewovenTopic::AutomaticID(existing->Number);
        existing->EditorSelStart = 0;
        existing->EditorSelLength = 0;
        current.UpdateTopicLists(existing);
        current.UpdateSortedView(existing);
    }
    return other.Topics().size();
}

} // namespace editor
