#pragma once
// The logic of the "Insert link" dialog: which controls each kind of link
// shows, the link code OK builds, and how the selected text becomes its
// hotspot.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/dialogs/keyfilters.h"
#include "editor/dialogs/topicpicker.h"
#include "editor/texteditor.h"
#include "helpproject/brindlewovenproject.h"

namespace editor {

// " L&inked text ": how the hotspot looks.
enum class TLinkTextKind : std::uint8_t {
    GreenUnderline = 0,     // "Green + underline"
    NoGreenOrUnderline = 1, // "No green or underline": code prefix "%"
    UnderlineOnly = 2,      // "Underline only": code prefix "*"
};

// " &Link ": what the link goes to.
enum class TLinkKind : std::uint8_t {
    ThisHelpFile = 0,
    OtherOwnHelpFile = 1, // another help file made with this program: by topic number
    OtherHelpFile = 2,    // any other help file: by context string
    Macro = 3,
    Target = 4,
};

// The controls shown for the present kind; "&Topic:" gives the focus to
// `LabelFocus`.
struct TLinkDialogControls {
    enum class TFocus : std::uint8_t { None, TopicCombo, SpinTopic, EditTopic };
    bool TopicCombo = false; // with its sort button
    bool File = false;       // with its browse button
    bool SpinTopic = false;
    bool EditTopic = false;
    bool Macro = false; // with its "..." button
    bool Target = false;
    bool Window = false;
    bool Popup = false;
    TFocus LabelFocus = TFocus::None;
};

// Why OK cannot take what was entered, and the box it was entered in.
struct TLinkCodeProblem {
    enum class TField : std::uint8_t { Topic, File, EditTopic, Macro, Target, Window };
    TField Field = TField::Topic;
    std::string Message;
};

class TLinkDialogModel {
public:
    explicit TLinkDialogModel(const helpproject::TBrindlewovenProject& project);

    // Showing the dialog: the topic list in the present order, the window
    // names (an empty one first) and the project's link targets, sorted.
    void Show();

    TLinkTextKind TextKind = TLinkTextKind::GreenUnderline;
    TLinkKind LinkKind = TLinkKind::ThisHelpFile;
    std::string File;
    std::int32_t SpinTopic = 1;
    std::string EditTopic;
    std::string Macro;
    std::string Window;
    std::string Target;
    bool Popup = false;

    TTopicPicker& Topic() { return topic_; }
    const TTopicPicker& Topic() const { return topic_; }
    // The sort button.
    void SetSortByNumber(bool down) { topic_.SetNumberStyleKeepingID(down); }
    const std::vector<std::string>& Windows() const { return windows_; }
    const std::vector<std::string>& Targets() const { return targets_; }

    TLinkDialogControls Controls() const;
    // The filter of the two topic boxes (the topic list and the context string).
    static TKeyFilter TopicBoxFilter() { return TKeyFilter(TKeyFilter::TKind::TopicBox); }
    // The browse button: the file's name without its folder.
    void FileChosen(const std::string& path);

    // The link code OK builds.
    std::string Code() const;
    // What of the author's text would break that code: a brace anywhere, a
    // double quote in another help file's name or topic (a link into a
    // compiled HTML Help file becomes ExecFile("...")). nullopt when OK may
    // build it.
    std::optional<TLinkCodeProblem> CodeProblem() const;
    // The selection becomes the hotspot and the code goes behind it.
    void Insert(ITextEditor& editor) const;

private:
    std::string Prefix() const;
    // ">" and the window, when one is chosen and (unless `always`) the link
    // is no popup.
    std::string WindowPart(bool always) const;

    const helpproject::TBrindlewovenProject& project_;
    TTopicPicker topic_;
    std::vector<std::string> windows_;
    std::vector<std::string> targets_;
};

} // namespace editor
