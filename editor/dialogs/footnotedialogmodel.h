#pragma once
// The logic of the "Topic Properties" dialog: the topic's number, context
// string and footnote fields, what each box accepts, and what OK writes.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/dialogs/keyfilters.h"
#include "helpproject/brindlewovenproject.h"

namespace editor {

enum class TFootnoteField : std::uint8_t {
    Context,
    Title,
    KKeywords,
    AKeywords,
    BrowseSequence,
    BuildTag,
    Status,
    EntryMacro,
};

class TFootnoteDialogModel {
public:
    // Showing the dialog for `topic`: the build-tag and status lists of the
    // main window; a topic without an ID first gets its automatic one; the
    // fields hold the topic's values.
    TFootnoteDialogModel(helpproject::TBrindlewovenProject& project,
                         helpproject::TBrindlewovenTopic& topic, std::vector<std::string> buildTags,
                         std::vector<std::string> statuses);

    std::int32_t Number() const { return number_; }
    // The number box: an automatic context string (or none) follows the
    // number; a custom one stays.
    void SetNumber(std::int32_t number);

    std::string Context;
    std::string Title;
    std::string KKeywords;
    std::string AKeywords;
    std::string BrowseSequence;
    std::string BuildTag;
    std::string Status;
    std::string EntryMacro;

    const std::vector<std::string>& BuildTagList() const { return buildTags_; }
    const std::vector<std::string>& StatusList() const { return statuses_; }
    // What each box accepts: its characters and its length.
    static TKeyFilter FieldFilter(TFootnoteField field);

    // OK: moves the topic to the first free number from the one asked for
    // (keeping all its fields; links follow with `updateLinks`), sets its
    // context string (an automatic one is made for the number taken), keeps
    // the contents lines and the title in the text in step, and takes the
    // fields. Nothing is refused.
    void Ok(bool updateLinks);

    // The topic edited: after OK it may bear another number.
    helpproject::TBrindlewovenTopic& Topic() { return *topic_; }

private:
    // The context string the topic takes at `number`; empty keeps its ID.
    std::string ContextFor(std::int32_t number) const;

    helpproject::TBrindlewovenProject& project_;
    helpproject::TBrindlewovenTopic* topic_;
    std::vector<std::string> buildTags_;
    std::vector<std::string> statuses_;
    std::int32_t number_;
};

} // namespace editor
