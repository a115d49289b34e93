#pragma once
// Find and Replace without its window: the search window over the current
// topic, the current selection or all topics of the open project, one search
// step at a time, Replace Next, Replace Current and Replace All with or
// without a prompt, the button states and the two histories. It works on the
// topic editor (showing each topic it searches) and the editor's text; the
// window supplies what only a window can do through IFindView and answers
// the questions through the messenger.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/messengerseam.h"

namespace components {
class TPcreRegEx;
} // namespace components

namespace editor {

class ITextEditor;
class TTopicEditor;

// A search window this long runs to the end of the text.
inline constexpr std::int64_t kSearchToEnd = 2147483645;
inline constexpr std::size_t kFindHistorySize = 16;

inline constexpr std::string_view kNotFoundCaption = "Searching for Text...";
inline constexpr std::string_view kNotFoundText = "Specified text cannot be found.";
inline constexpr std::string_view kNotFoundButton = "Right";
inline constexpr std::string_view kPromptCaption = "Replace";
// The name=value templates of the window's string holder.
inline constexpr std::string_view kFindStrings[] = {
    "ReplaceAll=Replacing all occurrences of \"%s\" with \"%s\"...",
    "ReplacePrompt=Replace this occurrence of \"%s\" ?"};

// The find and replace texts as typed become what is searched: "\n" a line
// break (CR LF), "\t" a tab (either case), "\\n" and "\\t" a backslash and
// the letter; any other backslash stays.
std::string UnescapeSearchText(std::string_view text);
// The text moves to the top of the history (an item equal to it ignoring
// case goes first); items beyond 16 are dropped.
void AddToFindHistory(std::vector<std::string>& history, const std::string& text);
// "%s" in the template replaced by the arguments in turn.
std::string FormatFindTemplate(std::string_view name, const std::string& first,
                               const std::string& second = {});

enum class TFindScope { AllTopics, CurrentTopic, CurrentSelection };
enum class TFindOrigin { TopicStart, SelectionStart, Cursor };
// The four buttons that search.
enum class TFindButton { Find, FindNext, ReplaceNext, ReplaceAll };

// What the window holds when a button is pressed.
struct TFindRequest {
    std::string FindText;    // as typed
    std::string ReplaceText; // as typed
    bool MatchCase = false;
    bool WholeWords = false;
    bool Prompt = false;
    bool RegularExpressions = false;
    TFindScope Scope = TFindScope::CurrentTopic;
    TFindOrigin Origin = TFindOrigin::TopicStart;
};

struct TFindButtons {
    bool FindEnabled = false;
    bool FindDefault = true; // else Find Next is the default button
    bool FindNextEnabled = false;
    bool ReplaceNextEnabled = false;
    bool ReplaceCurrentEnabled = false;
    bool ReplaceAllEnabled = false;
};

// The scope and origin radio buttons.
struct TFindScopeControls {
    TFindScope Scope = TFindScope::CurrentTopic;
    TFindOrigin Origin = TFindOrigin::TopicStart;
    bool CurrentSelEnabled = false;
    bool DocStartEnabled = true;
    bool SelStartEnabled = false;
    bool CursorEnabled = true;
};
// The radio buttons after a scope was chosen or, with `activation`, when the
// window is activated: "Current selection" needs a selection, "Start of
// selection" a selection and a single-topic scope, and a choice that is no
// longer possible falls back.
TFindScopeControls FindScopeControls(bool hasSelection, TFindScope scope, TFindOrigin origin,
                                     bool activation);

// What the search asks of the window; every member has a default that does
// nothing, so a test view implements what it checks.
class IFindView {
public:
    virtual ~IFindView() = default;
    virtual void ScrollCaret() {}
    // Stops (true) or resumes the editor's repainting.
    virtual void LockUpdates(bool /*locked*/) {}
    virtual void RepaintGrid() {}
    // The editor's change handler: the text changed under a command.
    virtual void EditorChanged() {}
    // An occurrence was selected: the window moves off it.
    virtual void OccurrenceSelected() {}
    virtual void HideForm() {}
    virtual void ShowForm() {}
    virtual void FocusForm() {}
    virtual void BringMainForward() {}
    // The modeless "Replace action in progress..." box of Replace All; its
    // Abort button is polled (events let through) after each replacement.
    virtual void BeginReplaceAll(const std::string& /*text*/) {}
    virtual bool ReplaceAllAborted() { return false; }
    virtual void EndReplaceAll() {}
    // Where the Replace prompt of that outer size goes: off the found
    // text. None leaves it where the messenger puts it.
    virtual std::optional<components::TBoxPosition> PromptPosition(int /*width*/, int /*height*/) {
        return std::nullopt;
    }
};

class TFindSession {
public:
    TFindSession(TTopicEditor& topics, components::IMessenger& messenger, IFindView& view);
    ~TFindSession();
    TFindSession(const TFindSession&) = delete;
    TFindSession& operator=(const TFindSession&) = delete;

    // ---- the buttons ------------------------------------------------------------
    // Find, Find Next, Replace Next and Replace All. Ignored while a run is
    // in progress (a click let through by the Abort box's event loop).
    void Search(TFindButton button, const TFindRequest& request);
    // Replace Current: the selection becomes the replacement, selected.
    void ReplaceCurrent(const TFindRequest& request);
    // The states after a change of either text or on activation.
    void UpdateButtons(const TFindRequest& request);
    const TFindButtons& Buttons() const { return buttons_; }
    bool Running() const { return running_; }

    // ---- the search window --------------------------------------------------------
    std::int32_t SearchTopic() const { return searchTopic_; } // 1-based, -1 current
    std::int64_t SearchStart() const { return searchStart_; }
    std::int64_t SearchLength() const { return searchLength_; }
    bool AllTopics() const { return allTopics_; }
    bool LastFound() const { return lastFound_; }

    // ---- histories (newest first) ---------------------------------------------------
    std::vector<std::string>& FindHistory() { return findHistory_; }
    std::vector<std::string>& ReplaceHistory() { return replaceHistory_; }

    // The editor's selection is the decoded find text (compared lower-cased,
    // or matched whole by the expression).
    bool SelectionIsFindText(const TFindRequest& request);

private:
    struct TOccurrence {
        std::size_t Pos = 0;
        std::size_t Length = 0;
        std::string Replacement; // in the editor's form (paragraph end "\r")
    };
    class TRunScope;

    ITextEditor& Editor();
    void Prepare(const TFindRequest& request);
    void NewSearchWindow(const TFindRequest& request);
    std::optional<TOccurrence> FindInTopics();
    std::optional<TOccurrence> FindInText(std::size_t from, std::size_t to);
    const std::string& Text();
    std::size_t TextLength();
    bool WholeWordAt(std::size_t pos, std::size_t length);
    std::string ReplacementFor(std::size_t pos, std::size_t length);
    void Select(const TOccurrence& occurrence);
    // Replaces the occurrence, selects the inserted text and moves the
    // search window by the change of length.
    void Replace(const TOccurrence& occurrence);
    void NotFound();
    void ReplaceAllUnprompted(TOccurrence occurrence);
    void ReplaceAllPrompted(TOccurrence occurrence);
    int AskPrompt(bool withAllAndStop);

    TTopicEditor& topics_;
    components::IMessenger& messenger_;
    IFindView& view_;

    std::int32_t searchTopic_ = -1;
    std::int64_t searchStart_ = 0;
    std::int64_t searchLength_ = kSearchToEnd;
    bool allTopics_ = false;
    bool lastFound_ = false;
    bool running_ = false;
    TFindButtons buttons_;
    std::vector<std::string> findHistory_;
    std::vector<std::string> replaceHistory_;

    // Of the run in progress.
    std::string findText_;    // decoded, editor form
    std::string replaceText_; // decoded, editor form
    std::string replaceAllText_;
    bool matchCase_ = false;
    bool wholeWords_ = false;
    bool regularExpressions_ = false;
    std::unique_ptr<components::TPcreRegEx> regex_;
    // The editor's text as read during a run; editor positions from
    // validFrom_ on are those of text_ moved by shift_.
    std::string text_;
    std::string lower_;
    std::string lowerNeedle_;
    bool textValid_ = false;
    bool lowerValid_ = false;
    std::size_t validFrom_ = 0;
    std::int64_t shift_ = 0;
    bool regexInputValid_ = false;
    // The topic that the run changed last and has not stored yet.
    bool topicChanged_ = false;
};

} // namespace editor
