#include "editor/dialogs/footnotedialogmodel.h"

#include <algorithm>

#include "components/rtf/stringlisttransfer.h"
#include "editor/topicfieldlimits.h"
#include "editor/topicnumbering.h"
#include "editor/topictext.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace editor {

using helpproject::TBrindlewovenTopic;

TFootnoteDialogModel::TFootnoteDialogModel(helpproject::TBrindlewovenProject& project,
                                           TBrindlewovenTopic& topic,
                                           std::vector<std::string> buildTags,
                                           std::vector<std::string> statuses)
    : project_(project), topic_(&topic), buildTags_(std::move(buildTags)),
      statuses_(std::move(statuses)), number_(topic.Number) {
    if (topic.TopicID.empty())
        topic.TopicID = TBrindlewovenTopic::AutomaticID(topic.Number);
    Context = topic.TopicID;
    Title = topic.Title;
    KKeywords = topic.KKeywords;
    AKeywords = topic.AKeywords;
    BrowseSequence = topic.BrowseSequence;
    BuildTag = topic.BuildTag;
    Status = topic.Status;
    EntryMacro = topic.EntryMacro;
}

void TFootnoteDialogModel::SetNumber(std::int32_t number) {
    number_ = std::clamp<std::int32_t>(number, 1, helpproject::MaxTopicNumber);
    if (Context.empty() || platform::StartsWithNoCase(Context, "vellumar"))
        Context = TBrindlewovenTopic::AutomaticID(number_);
}

TKeyFilter TFootnoteDialogModel::FieldFilter(TFootnoteField field) {
    using TKind = TKeyFilter::TKind;
    switch (field) {
    case TFootnoteField::Context:
        return TKeyFilter(TKind::ContextString, TopicFieldMaxLength(TTopicField::Context));
    case TFootnoteField::Title:
        return TKeyFilter(TKind::Any, TopicFieldMaxLength(TTopicField::Title));
    case TFootnoteField::BrowseSequence:
        return TKeyFilter(TKind::Footnote, TopicFieldMaxLength(TTopicField::BrowseSequence));
    case TFootnoteField::BuildTag:
        return TKeyFilter(TKind::Footnote, TopicFieldMaxLength(TTopicField::BuildTag));
    case TFootnoteField::Status:
        return TKeyFilter(TKind::Any, TopicFieldMaxLength(TTopicField::Status));
    case TFootnoteField::KKeywords:
        return TKeyFilter(TKind::Any, TopicFieldMaxLength(TTopicField::KKeywords));
    case TFootnoteField::AKeywords:
        return TKeyFilter(TKind::Any, TopicFieldMaxLength(TTopicField::AKeywords));
    case TFootnoteField::EntryMacro:
        break;
    }
    return TKeyFilter(TKind::Any, TopicFieldMaxLength(TTopicField::EntryMacro));
}

std::string TFootnoteDialogModel::ContextFor(std::int32_t number) const {
    const std::string context = platform::Trim(Context);
    // "Vellumar" and digits names a number, which is the number the topic
    // takes, whatever number was typed.
    if (IsAutomaticTopicID(context))
        return TBrindlewovenTopic::AutomaticID(number);
    return context;
}

void TFootnoteDialogModel::Ok(bool updateLinks) {
    TBrindlewovenTopic& topic = *topic_;
    const std::string oldID = topic.TopicID;
    const std::int32_t taken = RenumberTopic(project_, topic, number_, updateLinks);
    number_ = taken;
    const std::string context = ContextFor(taken);
    if (!context.empty())
        topic.TopicID = context;
    if (topic.TopicID != oldID)
        project_.ReplaceContentsTopicID(oldID, topic.TopicID);

    if (Title != topic.Title) {
        rtf::RtfDocument text = rtf::LoadFromStrings(topic.Text);
        if (ReplaceTitleInText(text, topic.Title, Title))
            topic.SetText(rtf::SaveToStrings(text));
    }
    topic.EntryMacro = EntryMacro;
    helpproject::TBrindlewovenProject::TTopicFields fields;
    fields.Title = Title;
    fields.KKeywords = KKeywords;
    fields.AKeywords = AKeywords;
    fields.BrowseSequence = BrowseSequence;
    fields.BuildTag = BuildTag;
    fields.Status = Status;
    project_.SetTopicFields(topic, fields);
}

} // namespace editor
