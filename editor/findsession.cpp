#include "editor/findsession.h"

#include <algorithm>

#include "components/messengerseam.h"
#include "components/pcreregex.h"
#include "components/somestrings.h"
#include "editor/texteditor.h"
#include "editor/topiceditor.h"
#include "platform/codepage.h"

namespace editor {

using components::TMessageButton;
using components::TQuestion;

namespace {

bool IsEscapeLetter(char c) {
    return c == 'n' || c == 'N' || c == 't' || c == 'T';
}

bool IsWordChar(unsigned char c) {
    return platform::AnsiIsLetter(c) || platform::AnsiIsDigit(c) || c == '_';
}

// The editor counts a paragraph end as one character, "\r".
std::string ToEditorText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return out;
}

// What the editor inserts: "\r\n" starts a paragraph.
std::string ToInsertedText(std::string_view editorText) {
    std::string out;
    out.reserve(editorText.size() + 8);
    for (char c : editorText) {
        out += c;
        if (c == '\r')
            out += '\n';
    }
    return out;
}

std::size_t Clamp(std::int64_t value, std::size_t limit) {
    if (value <= 0)
        return 0;
    return static_cast<std::size_t>(
        std::min<std::int64_t>(value, static_cast<std::int64_t>(limit)));
}

} // namespace

// ---- texts ------------------------------------------------------------------------------

std::string UnescapeSearchText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == 'n' || next == 'N') {
            out += "\r\n";
            i += 2;
        } else if (next == 't' || next == 'T') {
            out += '\t';
            i += 2;
        } else if (next == '\\' && i + 2 < text.size() && IsEscapeLetter(text[i + 2])) {
            out += '\\';
            out += text[i + 2];
            i += 3;
        } else if (next == '\\') {
            out += "\\\\";
            i += 2;
        } else {
            out += '\\';
            ++i;
        }
    }
    return out;
}

void AddToFindHistory(std::vector<std::string>& history, const std::string& text) {
    std::erase_if(history,
                  [&](const std::string& item) { return platform::AnsiSameText(item, text); });
    history.insert(history.begin(), text);
    if (history.size() > kFindHistorySize)
        history.resize(kFindHistorySize);
}

std::string FormatFindTemplate(std::string_view name, const std::string& first,
                               const std::string& second) {
    components::TSomeStrings strings;
    strings.SetStrings({std::begin(kFindStrings), std::end(kFindStrings)});
    const std::string pattern = strings.GetValue(name);
    std::string out;
    const std::string* args[] = {&first, &second};
    std::size_t used = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && used < 2) {
            out += *args[used++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

TFindScopeControls FindScopeControls(bool hasSelection, TFindScope scope, TFindOrigin origin,
                                     bool activation) {
    TFindScopeControls controls;
    controls.CurrentSelEnabled = hasSelection;
    if (activation && !hasSelection && scope == TFindScope::CurrentSelection)
        scope = TFindScope::CurrentTopic;
    switch (scope) {
    case TFindScope::AllTopics:
        controls.DocStartEnabled = controls.SelStartEnabled = controls.CursorEnabled = false;
        break;
    case TFindScope::CurrentTopic:
        controls.SelStartEnabled = hasSelection;
        break;
    case TFindScope::CurrentSelection:
        controls.DocStartEnabled = controls.CursorEnabled = false;
        controls.SelStartEnabled = true;
        origin = TFindOrigin::SelectionStart;
        break;
    }
    if (activation && origin == TFindOrigin::SelectionStart &&
        !(hasSelection && scope != TFindScope::AllTopics))
        origin = TFindOrigin::Cursor;
    controls.Scope = scope;
    controls.Origin = origin;
    return controls;
}

// ---- a run --------------------------------------------------------------------------------

// One search: the topic editor's bulk update and the run flag are set while
// it lasts and cleared on every way out, and a topic the run changed is
// stored with the project marked modified.
class TFindSession::TRunScope {
public:
    explicit TRunScope(TFindSession& session) : session_(session) {
        session_.running_ = true;
        session_.topicChanged_ = false;
        session_.textValid_ = false;
        session_.topics_.SetBulkUpdate(true);
    }
    // The normal end: the topic the run changed last is stored (an error
    // there reaches the caller like any other).
    void Finish() {
        if (session_.topicChanged_)
            session_.topics_.StoreTopic();
        session_.topicChanged_ = false;
    }
    ~TRunScope() {
        try {
            Finish(); // after an error: what was replaced is kept all the same
        } catch (...) {
            // The run's own error is the one the person sees.
        }
        session_.topicChanged_ = false;
        session_.textValid_ = false;
        session_.running_ = false;
        try {
            session_.topics_.SetBulkUpdate(false);
            session_.view_.RepaintGrid();
        } catch (...) {
        }
    }
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;

private:
    TFindSession& session_;
};

TFindSession::TFindSession(TTopicEditor& topics, components::IMessenger& messenger, IFindView& view)
    : topics_(topics), messenger_(messenger), view_(view) {}

TFindSession::~TFindSession() = default;

ITextEditor& TFindSession::Editor() {
    return topics_.View().TextEditor();
}

void TFindSession::Prepare(const TFindRequest& request) {
    findText_ = ToEditorText(UnescapeSearchText(request.FindText));
    replaceText_ = ToEditorText(UnescapeSearchText(request.ReplaceText));
    matchCase_ = request.MatchCase;
    wholeWords_ = request.WholeWords;
    regularExpressions_ = request.RegularExpressions;
    textValid_ = false;
    regex_.reset();
    if (regularExpressions_ && !findText_.empty()) {
        regex_ = std::make_unique<components::TPcreRegEx>();
        regex_->SetOptions(matchCase_ ? 0u : unsigned{components::preCaseLess});
        regex_->SetRegEx(findText_);
        regex_->SetReplacement(replaceText_);
        regex_->Compile();
    }
}

void TFindSession::NewSearchWindow(const TFindRequest& request) {
    ITextEditor& editor = Editor();
    switch (request.Scope) {
    case TFindScope::AllTopics:
        searchTopic_ = 1;
        searchStart_ = 0;
        searchLength_ = kSearchToEnd;
        allTopics_ = true;
        break;
    case TFindScope::CurrentTopic:
        searchTopic_ = -1;
        searchStart_ = request.Origin == TFindOrigin::TopicStart
                           ? 0
                           : static_cast<std::int64_t>(editor.SelStart());
        searchLength_ = kSearchToEnd;
        allTopics_ = false;
        break;
    case TFindScope::CurrentSelection:
        searchTopic_ = -1;
        searchStart_ = static_cast<std::int64_t>(editor.SelStart());
        searchLength_ = static_cast<std::int64_t>(editor.SelLength());
        allTopics_ = false;
        break;
    }
}

const std::string& TFindSession::Text() {
    if (!textValid_) {
        ITextEditor& editor = Editor();
        text_ = editor.TextRange(0, editor.TextLength());
        textValid_ = true;
        lowerValid_ = false;
        regexInputValid_ = false;
        validFrom_ = 0;
        shift_ = 0;
    }
    return text_;
}

std::size_t TFindSession::TextLength() {
    return static_cast<std::size_t>(static_cast<std::int64_t>(Text().size()) + shift_);
}

// Whether the characters around an editor range leave it a whole word. The
// character before it may lie in text replaced since the text was read:
// that one is asked of the editor.
bool TFindSession::WholeWordAt(std::size_t pos, std::size_t length) {
    unsigned char before = ' ';
    if (pos > 0) {
        if (pos - 1 < validFrom_)
            before = static_cast<unsigned char>(Editor().TextRange(pos - 1, 1).front());
        else
            before = static_cast<unsigned char>(
                text_[static_cast<std::size_t>(static_cast<std::int64_t>(pos - 1) - shift_)]);
    }
    const auto after = static_cast<std::size_t>(static_cast<std::int64_t>(pos + length) - shift_);
    return !IsWordChar(before) &&
           (after >= text_.size() || !IsWordChar(static_cast<unsigned char>(text_[after])));
}

// Searches the editor's range [from, to). The text read from the editor is
// kept for the run: a replacement moves what follows it by the change of
// length (shift_), and searching goes on behind it (validFrom_), so the text
// is not read again after each replacement.
std::optional<TFindSession::TOccurrence> TFindSession::FindInText(std::size_t from,
                                                                  std::size_t to) {
    if (textValid_ && from < validFrom_)
        textValid_ = false;
    Text();
    to = std::min(to, TextLength());
    if (findText_.empty() || from >= to)
        return std::nullopt;
    const auto original = [this](std::size_t pos) {
        return static_cast<std::size_t>(static_cast<std::int64_t>(pos) - shift_);
    };
    if (regex_) {
        // Replacements read the text anew (shift_ stays 0): an expression
        // may look behind the place it starts.
        if (!regexInputValid_) {
            regex_->SetInputText(text_);
            regexInputValid_ = true;
        }
        regex_->SetScanStop(static_cast<int>(to));
        std::size_t at = from;
        while (at < to) {
            regex_->SetScanStart(static_cast<int>(at) + 1);
            if (!regex_->MatchNext())
                return std::nullopt;
            const auto pos = static_cast<std::size_t>(regex_->MatchedTextOffset() - 1);
            const auto length = static_cast<std::size_t>(regex_->MatchedTextLength());
            if (!wholeWords_ || WholeWordAt(pos, length))
                return TOccurrence{pos, length, regex_->ExpandReplacement()};
            at = pos + 1;
        }
        return std::nullopt;
    }
    if (to - from < findText_.size())
        return std::nullopt;
    if (!matchCase_ && !lowerValid_) {
        lower_ = platform::AnsiLowerCase(text_);
        lowerNeedle_ = platform::AnsiLowerCase(findText_);
        lowerValid_ = true;
    }
    const std::string_view hay(matchCase_ ? text_ : lower_);
    const std::string_view needle(matchCase_ ? findText_ : lowerNeedle_);
    const std::size_t end = original(to);
    std::size_t at = original(from);
    while (true) {
        const std::size_t found = hay.find(needle, at);
        if (found == std::string_view::npos || found + needle.size() > end)
            return std::nullopt;
        const std::size_t pos = found + static_cast<std::size_t>(shift_);
        if (!wholeWords_ || WholeWordAt(pos, needle.size()))
            return TOccurrence{pos, needle.size(), replaceText_};
        at = found + 1;
    }
}

std::optional<TFindSession::TOccurrence> TFindSession::FindInTopics() {
    std::optional<TOccurrence> found;
    for (;;) {
        if (searchTopic_ != -1) {
            const auto* before = topics_.CurrentTopic();
            topics_.GoToTopicIndex(searchTopic_);
            if (topics_.CurrentTopic() != before) {
                topicChanged_ = false; // the topic left was stored on the way
                textValid_ = false;
            }
        }
        const std::size_t length = TextLength();
        const std::size_t from = Clamp(searchStart_, length);
        const std::size_t to = Clamp(searchStart_ + searchLength_, length);
        found = FindInText(from, to);
        if (found || !allTopics_)
            break;
        ++searchTopic_;
        searchStart_ = 0;
        searchLength_ = kSearchToEnd;
        if (searchTopic_ > topics_.Project().TopicCount())
            break;
    }
    if (found) {
        const std::int64_t end = searchStart_ + searchLength_;
        searchStart_ = static_cast<std::int64_t>(found->Pos + found->Length);
        searchLength_ = end - searchStart_;
    }
    lastFound_ = found.has_value();
    buttons_.FindDefault = !lastFound_;
    buttons_.FindNextEnabled = buttons_.ReplaceNextEnabled = lastFound_;
    return found;
}

void TFindSession::Select(const TOccurrence& occurrence) {
    Editor().SetSelection(occurrence.Pos, occurrence.Length);
    view_.ScrollCaret();
    buttons_.ReplaceCurrentEnabled = true;
    view_.OccurrenceSelected();
}

void TFindSession::Replace(const TOccurrence& occurrence) {
    ITextEditor& editor = Editor();
    editor.ReplaceRange(occurrence.Pos, occurrence.Length, ToInsertedText(occurrence.Replacement));
    editor.SetSelection(occurrence.Pos, occurrence.Replacement.size());
    if (textValid_ && !regex_ && occurrence.Pos >= validFrom_) {
        validFrom_ = occurrence.Pos + occurrence.Replacement.size();
        shift_ += static_cast<std::int64_t>(occurrence.Replacement.size()) -
                  static_cast<std::int64_t>(occurrence.Length);
    } else {
        textValid_ = false;
    }
    searchStart_ += static_cast<std::int64_t>(occurrence.Replacement.size()) -
                    static_cast<std::int64_t>(occurrence.Length);
    topicChanged_ = true;
    topics_.Session().SetModified();
}

void TFindSession::NotFound() {
    buttons_.ReplaceCurrentEnabled = false;
    TQuestion question;
    question.Kind = components::TMessageKind::Information;
    question.Caption = kNotFoundCaption;
    question.Text = kNotFoundText;
    question.Buttons = {TMessageButton{std::string(kNotFoundButton), components::mrOk, true, true}};
    messenger_.Ask(question);
}

int TFindSession::AskPrompt(bool withAllAndStop) {
    TQuestion question;
    question.Kind = components::TMessageKind::Confirmation;
    question.Caption = kPromptCaption;
    question.Text = FormatFindTemplate("ReplacePrompt", findText_, replaceText_);
    question.Buttons = {TMessageButton{"&Yes", components::mrYes, true, false},
                        TMessageButton{"&No", components::mrNo, false, !withAllAndStop}};
    if (withAllAndStop) {
        question.Buttons.push_back(TMessageButton{"&All", components::mrAll, false, false});
        question.Buttons.push_back(TMessageButton{"&Stop", components::mrCancel, false, true});
    }
    question.Place = [this](int width, int height) { return view_.PromptPosition(width, height); };
    view_.RepaintGrid();
    return messenger_.Ask(question);
}

// ---- the buttons --------------------------------------------------------------------------

void TFindSession::Search(TFindButton button, const TFindRequest& request) {
    if (running_)
        return;
    TRunScope run(*this);
    if (button == TFindButton::Find || button == TFindButton::ReplaceAll)
        NewSearchWindow(request);
    if (!request.FindText.empty())
        AddToFindHistory(findHistory_, request.FindText);
    if (!request.ReplaceText.empty())
        AddToFindHistory(replaceHistory_, request.ReplaceText);
    replaceAllText_ = FormatFindTemplate("ReplaceAll", request.FindText, request.ReplaceText);
    Prepare(request);

    std::optional<TOccurrence> found = FindInTopics();
    if (!found) {
        NotFound();
        return;
    }
    switch (button) {
    case TFindButton::Find:
    case TFindButton::FindNext:
        Select(*found);
        break;
    case TFindButton::ReplaceNext:
        Select(*found);
        if (!request.Prompt) {
            Replace(*found);
            view_.EditorChanged();
            break;
        }
        view_.BringMainForward();
        if (AskPrompt(false) == components::mrYes) {
            Replace(*found);
            view_.EditorChanged();
        }
        break;
    case TFindButton::ReplaceAll:
        if (request.Prompt)
            ReplaceAllPrompted(std::move(*found));
        else
            ReplaceAllUnprompted(std::move(*found));
        buttons_.ReplaceCurrentEnabled = SelectionIsFindText(request);
        view_.FocusForm();
        break;
    }
    run.Finish();
}

void TFindSession::ReplaceAllUnprompted(TOccurrence occurrence) {
    struct TProgress {
        IFindView& view;
        ~TProgress() {
            try {
                view.EndReplaceAll();
                view.LockUpdates(false);
            } catch (...) {
            }
        }
    };
    view_.LockUpdates(true);
    view_.BeginReplaceAll(replaceAllText_);
    TProgress progress{view_};
    std::optional<TOccurrence> next = std::move(occurrence);
    do {
        Editor().SetSelection(next->Pos, next->Length);
        Replace(*next);
        if (view_.ReplaceAllAborted())
            break;
        next = FindInTopics();
    } while (next);
    view_.EditorChanged();
}

void TFindSession::ReplaceAllPrompted(TOccurrence occurrence) {
    struct TFormHidden {
        IFindView& view;
        bool unlock = false;
        ~TFormHidden() {
            try {
                if (unlock)
                    view.LockUpdates(false);
                view.ShowForm();
            } catch (...) {
            }
        }
    };
    view_.HideForm();
    TFormHidden hidden{view_};
    bool prompting = true;
    bool changed = false;
    std::optional<TOccurrence> next = std::move(occurrence);
    do {
        if (prompting) {
            view_.BringMainForward();
            Select(*next);
            const int answer = AskPrompt(true);
            if (answer == components::mrCancel)
                break;
            if (answer == components::mrAll) {
                view_.LockUpdates(true);
                hidden.unlock = true;
                prompting = false;
            }
            if (answer == components::mrYes || answer == components::mrAll) {
                Replace(*next);
                changed = true;
            }
        } else {
            Editor().SetSelection(next->Pos, next->Length);
            Replace(*next);
        }
        next = FindInTopics();
    } while (next);
    if (changed)
        view_.EditorChanged();
}

void TFindSession::ReplaceCurrent(const TFindRequest& request) {
    if (running_)
        return;
    if (!request.ReplaceText.empty())
        AddToFindHistory(replaceHistory_, request.ReplaceText);
    Prepare(request);
    ITextEditor& editor = Editor();
    const std::size_t start = editor.SelStart();
    const std::size_t length = editor.SelLength();
    TOccurrence occurrence{start, length, ReplacementFor(start, length)};
    Replace(occurrence);
    topicChanged_ = false; // stays in the editor as the person's own edit
    textValid_ = false;
    view_.EditorChanged();
}

// The replacement of the selected text: an expression expands its groups
// when it matches the selection whole; otherwise the text as decoded.
std::string TFindSession::ReplacementFor(std::size_t pos, std::size_t length) {
    if (!regex_)
        return replaceText_;
    textValid_ = false;
    const std::string& text = Text();
    regex_->SetInputText(text);
    regexInputValid_ = true;
    regex_->SetScanStop(static_cast<int>(std::min(pos + length, text.size())));
    regex_->SetScanStart(static_cast<int>(pos) + 1);
    if (regex_->MatchNext() && static_cast<std::size_t>(regex_->MatchedTextOffset() - 1) == pos &&
        static_cast<std::size_t>(regex_->MatchedTextLength()) == length)
        return regex_->ExpandReplacement();
    return replaceText_;
}

bool TFindSession::SelectionIsFindText(const TFindRequest& request) {
    ITextEditor& editor = Editor();
    if (editor.SelLength() == 0 || request.FindText.empty())
        return false;
    const std::string selected = editor.SelText();
    const std::string find = ToEditorText(UnescapeSearchText(request.FindText));
    if (!request.RegularExpressions)
        return platform::AnsiLowerCase(selected) == platform::AnsiLowerCase(find);
    try {
        components::TPcreRegEx regex;
        regex.SetOptions(request.MatchCase ? 0u : unsigned{components::preCaseLess});
        regex.SetRegEx(find);
        regex.SetInputText(selected);
        return regex.MatchFirst() && regex.MatchedTextOffset() == 1 &&
               static_cast<std::size_t>(regex.MatchedTextLength()) == selected.size();
    } catch (const components::EPcreRegEx&) {
        return false; // an expression still being typed
    }
}

void TFindSession::UpdateButtons(const TFindRequest& request) {
    const bool hasText = !request.FindText.empty();
    buttons_.FindEnabled = hasText;
    buttons_.FindDefault = !(hasText && lastFound_);
    buttons_.FindNextEnabled = buttons_.ReplaceNextEnabled = hasText && lastFound_;
    buttons_.ReplaceCurrentEnabled = hasText && SelectionIsFindText(request);
    buttons_.ReplaceAllEnabled = hasText;
}

} // namespace editor
