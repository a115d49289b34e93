#include "editor/dialogs/linkdialogmodel.h"

#include <algorithm>

#include "editor/markupcommands.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"

namespace editor {

namespace {

void SortNoCase(std::vector<std::string>& list) {
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return platform::AnsiCompareText(a, b) < 0;
    });
}

} // namespace

TLinkDialogModel::TLinkDialogModel(const helpproject::TBrindlewovenProject& project)
    : project_(project), topic_(project) {}

void TLinkDialogModel::Show() {
    topic_.SetNumberStyleKeepingID(topic_.NumberStyle());
    windows_.assign(1, std::string());
    for (const std::string& definition : project_.Windows) {
        const std::string name = definition.substr(0, definition.find('='));
        if (!name.empty())
            windows_.push_back(name);
    }
    SortNoCase(windows_);
    targets_.clear();
    project_.GetTargets(targets_);
    SortNoCase(targets_);
}

TLinkDialogControls TLinkDialogModel::Controls() const {
    using TFocus = TLinkDialogControls::TFocus;
    TLinkDialogControls c;
    const bool window = !Popup;
    switch (LinkKind) {
    case TLinkKind::ThisHelpFile:
        c.TopicCombo = true;
        c.LabelFocus = TFocus::TopicCombo;
        break;
    case TLinkKind::OtherOwnHelpFile:
        c.File = true;
        c.SpinTopic = true;
        c.LabelFocus = TFocus::SpinTopic;
        break;
    case TLinkKind::OtherHelpFile:
        c.File = true;
        c.EditTopic = true;
        c.LabelFocus = TFocus::EditTopic;
        break;
    case TLinkKind::Macro:
        c.Macro = true;
        return c;
    case TLinkKind::Target:
        c.Target = true;
        break;
    }
    c.Window = window;
    c.Popup = true;
    return c;
}

void TLinkDialogModel::FileChosen(const std::string& path) {
    File = platform::ExtractFileName(path);
}

std::string TLinkDialogModel::Prefix() const {
    switch (TextKind) {
    case TLinkTextKind::NoGreenOrUnderline:
        return "%";
    case TLinkTextKind::UnderlineOnly:
        return "*";
    default:
        return std::string();
    }
}

std::string TLinkDialogModel::WindowPart(bool always) const {
    if (Window.empty() || (Popup && !always))
        return std::string();
    return ">" + Window;
}

std::string TLinkDialogModel::Code() const {
    switch (LinkKind) {
    case TLinkKind::ThisHelpFile: {
        const std::int32_t number = topic_.Number();
        if (number >= 1)
            return "{linkID=" + Prefix() + std::to_string(number) + WindowPart(true) + "}";
        return "{link=" + Prefix() + topic_.TopicID() + WindowPart(false) + "}";
    }
    case TLinkKind::OtherOwnHelpFile:
        return "{link=" + Prefix() + "Vellumar" + std::to_string(SpinTopic) + "@" + File +
               WindowPart(false) + "}";
    case TLinkKind::OtherHelpFile:
        return "{link=" + Prefix() + EditTopic + "@" + File + WindowPart(false) + "}";
    case TLinkKind::Macro:
        return "{link=" + Prefix() + "! " + Macro + "}";
    case TLinkKind::Target:
        return "{linkTarget=" + Prefix() + Target + WindowPart(false) + "}";
    }
    return std::string();
}

std::optional<TLinkCodeProblem> TLinkDialogModel::CodeProblem() const {
    using TField = TLinkCodeProblem::TField;
    struct TPart {
        TField Field;
        const char* What;
        std::string_view Text;
        TCodeQuoting Quoting;
    };
    std::vector<TPart> parts;
    const bool picked = LinkKind == TLinkKind::ThisHelpFile && topic_.Number() >= 1;
    const std::string typedID = picked ? std::string() : topic_.TopicID();
    switch (LinkKind) {
    case TLinkKind::ThisHelpFile:
        if (!picked)
            parts.push_back({TField::Topic, "The context string", typedID, TCodeQuoting::Unquoted});
        break;
    case TLinkKind::OtherOwnHelpFile:
        parts.push_back({TField::File, "The help file's name", File, TCodeQuoting::Quoted});
        break;
    case TLinkKind::OtherHelpFile:
        parts.push_back({TField::EditTopic, "The topic", EditTopic, TCodeQuoting::Quoted});
        parts.push_back({TField::File, "The help file's name", File, TCodeQuoting::Quoted});
        break;
    case TLinkKind::Macro:
        parts.push_back({TField::Macro, "The macro", Macro, TCodeQuoting::Unquoted});
        break;
    case TLinkKind::Target:
        parts.push_back({TField::Target, "The target", Target, TCodeQuoting::Unquoted});
        break;
    }
    if (LinkKind != TLinkKind::Macro && !WindowPart(picked).empty())
        parts.push_back({TField::Window, "The window name", Window, TCodeQuoting::Unquoted});
    for (const TPart& part : parts) {
        std::string message = CodeTextProblem(part.What, part.Text, part.Quoting);
        if (!message.empty())
            return TLinkCodeProblem{part.Field, std::move(message)};
    }
    return std::nullopt;
}

void TLinkDialogModel::Insert(ITextEditor& editor) const {
    const rtf::CharFormat text = editor.SelFormat().Format;
    FormatHotspot(editor, Popup ? THotspotKind::Popup : THotspotKind::Jump,
                  TextKind == TLinkTextKind::GreenUnderline);
    InsertCode(editor, Code(), text);
}

} // namespace editor
