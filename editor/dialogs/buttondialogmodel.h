#pragma once
// The logic of the "Insert Button into Help Topic" dialog: a caption and
// either a topic to jump to or a WinHelp macro.
#include <optional>
#include <string>

#include "editor/dialogs/keyfilters.h"
#include "editor/dialogs/topicpicker.h"
#include "helpproject/brindlewovenproject.h"

namespace editor {

class TButtonDialogModel {
public:
    explicit TButtonDialogModel(const helpproject::TBrindlewovenProject& project)
        : topic_(project) {}

    // Showing the dialog refills the topic list keeping the chosen topic
    // (the first one when none is chosen).
    void Show() { SetSortByNumber(topic_.NumberStyle()); }

    std::string Caption;
    bool LinkToTopic = true; // "Link to topic:"; else "&WinHelp macro:"
    std::string Macro;

    TTopicPicker& Topic() { return topic_; }
    const TTopicPicker& Topic() const { return topic_; }
    void SetSortByNumber(bool down) { topic_.SetNumberStyleKeepingNumber(down, true); }

    // The topic list and its sort button are enabled for a topic link, the
    // macro edit and its button for a macro.
    bool TopicEnabled() const { return LinkToTopic; }
    bool MacroEnabled() const { return !LinkToTopic; }
    static TKeyFilter CaptionFilter() { return TKeyFilter(TKeyFilter::TKind::ButtonCaption); }

    // The macro, or the number of the chosen topic (empty when none is).
    std::string Action() const;
    // "{button " caption "," action "}".
    std::string Code() const;
    // Why OK cannot take the caption (`InMacro` false) or the macro: a
    // brace would end the code or open another. nullopt when it can.
    struct TCodeProblem {
        bool InMacro = false;
        std::string Message;
    };
    std::optional<TCodeProblem> CodeProblem() const;

private:
    TTopicPicker topic_;
};

} // namespace editor
