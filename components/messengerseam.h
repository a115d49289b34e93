#pragma once
// The one seam through which the core talks to a person: messages,
// questions with their modal results, an input line, a choice among radio
// buttons, and progress with an abort flag. The windowed messenger
// implements it with dialogs and a gauge; batch runs and tests use
// TScriptedMessenger. The core never shows a window or pumps events itself.
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace components {

// The one line-break rule of every message, box or stream: "\r\n", "\n"
// and a lone "\r" (the engines' texts break lines with it) each end a line.
// Returns the text with every break as "\n". A template so that the
// windows apply the same rule to their UTF-16 text.
template <typename CharT>
std::basic_string<CharT> WithLineFeeds(std::basic_string_view<CharT> text) {
    std::basic_string<CharT> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == CharT('\r')) {
            out += CharT('\n');
            if (i + 1 < text.size() && text[i + 1] == CharT('\n'))
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
inline std::string WithLineFeeds(std::string_view text) {
    return WithLineFeeds<char>(text);
}

// Modal results, as the messenger dialog returns them.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// The icon of a message or question.
enum class TMessageKind { None, Confirmation, Error, Information, Warning };

struct TMessageButton {
    std::string Caption;
    int ModalResult = mrOk;
    bool Default = false; // answers Enter
    bool Cancel = false;  // answers Escape and the window's close box
    // A button that acts and leaves the box open (its ModalResult is mrNone),
    // such as one that opens a web page.
    std::function<void()> Action = {};
};

// Where a box goes on the screen: its top-left corner.
struct TBoxPosition {
    int Left = 0;
    int Top = 0;
};

// A modal question. `Input` and `ChoiceIndex` are in/out: the messenger
// copies the person's entry back only for OK, Retry, Yes and All; any other
// answer leaves them as they were. ChoiceIndex -1 means none is checked.
struct TQuestion {
    TMessageKind Kind = TMessageKind::Confirmation;
    std::string Caption;
    std::string Text;
    std::vector<TMessageButton> Buttons; // up to five, in order
    bool HasInput = false;
    std::string Input;
    std::vector<std::string> Choices;
    int ChoiceIndex = -1;
    // Called when a window shows the question, with its outer size; a
    // position moves the box there (screen co-ordinates). Without one the
    // box stays where the messenger puts it.
    std::function<std::optional<TBoxPosition>(int width, int height)> Place = {};
};

// Whether a modal result copies the person's input and choice back.
constexpr bool ResultKeepsInput(int result) {
    return result == mrOk || result == mrRetry || result == mrYes || result == mrAll;
}

// The usual button rows.
std::vector<TMessageButton> OkButtons();
std::vector<TMessageButton> OkCancelButtons();
std::vector<TMessageButton> YesNoButtons();
std::vector<TMessageButton> YesNoCancelButtons();

class IMessenger {
public:
    virtual ~IMessenger() = default;

    // A modal box with one OK button.
    virtual void ShowMessage(TMessageKind kind, const std::string& caption,
                             const std::string& text) = 0;
    // A modal question; returns its modal result.
    virtual int Ask(TQuestion& question) = 0;
    // Something the person may want to know that needs no answer (a damaged
    // registry file set aside, a skipped line). Never blocks.
    virtual void Warning(const std::string& text) = 0;

    // Progress of a long operation: a modeless window with the text and a
    // gauge from 0 to `maximum`. Position and status may be set as often as
    // the caller likes; the messenger repaints only what changed.
    virtual void BeginProgress(const std::string& text, std::int64_t maximum) = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    virtual void SetProgress(std::int64_t position) = 0;
    virtual void EndProgress() = 0;
    // True once the person asked to stop the operation in progress.
    virtual bool AbortRequested() = 0;
    // Lets pending events through (repaints, the abort button).
    virtual void ProcessEvents() = 0;

    // Shorthands over Ask.
    int AskYesNo(const std::string& caption, const std::string& text);
    int AskYesNoCancel(const std::string& caption, const std::string& text);
};

// A cancelled operation. The message is the operation's own text ("HTML
// Export aborted by user", "Import aborted by user", ...); some operations
// end with an empty one and show nothing.
class EAbort : public std::runtime_error {
public:
    explicit EAbort(const std::string& message) : std::runtime_error(message) {}
};

// Moves the gauge and throws EAbort(`abortMessage`) when the person asked to
// stop. A null messenger does nothing.
void CheckAbort(IMessenger* messenger, std::int64_t position, const std::string& abortMessage);

// Progress that ends with the scope that began it, whichever way it leaves.
class TProgressScope {
public:
    TProgressScope(IMessenger* messenger, const std::string& text, std::int64_t maximum);
    ~TProgressScope();
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

private:
    IMessenger* messenger_;
};

} // namespace components
