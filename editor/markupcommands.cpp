#include "editor/markupcommands.h"

#include "editor/defaulttextstyles.h"
#include "editor/dialogs/keyfilters.h"
#include "helpproject/bitmapfolders.h"
#include "helpproject/markupcodes.h"
#include "helpproject/textstylerange.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

rtf::CharFormat Colored(helpproject::TColor color) {
    rtf::CharFormat format;
    format.color = rtf::Color::FromTColor(static_cast<std::uint32_t>(color));
    return format;
}

constexpr std::uint32_t kCodeMask = rtf::kCharColor | rtf::kCharUnderline | rtf::kCharStrike;

} // namespace

std::string CodeTextProblem(std::string_view what, std::string_view text, TCodeQuoting quoting) {
    if (text.find_first_of("{}") != std::string_view::npos)
        return std::string(what) +
               " cannot contain \"{\" or \"}\": a markup code ends at \"}\", and \"{\" opens "
               "another.";
    if (quoting == TCodeQuoting::Quoted && text.find('"') != std::string_view::npos)
        return std::string(what) +
               " cannot contain a double quote: the code puts it between double quotes.";
    return std::string();
}

void RequireCodeText(std::string_view what, std::string_view text, TCodeQuoting quoting) {
    const std::string problem = CodeTextProblem(what, text, quoting);
    if (!problem.empty())
        throw ECodeText(problem);
}

void RequireFileNameForCode(std::string_view fileName, TCodeQuoting quoting) {
    const std::string name = platform::ExtractFileName(fileName);
    RequireCodeText("The file name \"" + name + "\"", name, quoting);
}

std::size_t InsertCode(ITextEditor& editor, std::string_view code) {
    editor.SetSelection(editor.SelEnd(), 0);
    return InsertCode(editor, code, editor.SelFormat().Format);
}

std::size_t InsertCode(ITextEditor& editor, std::string_view code, const rtf::CharFormat& text) {
    editor.SetSelection(editor.SelEnd(), 0);
    const std::size_t start = editor.SelStart();
    editor.ReplaceSelection(code);
    editor.SetSelection(start, code.size());
    editor.SetSelFormat(Colored(clMaroon), kCodeMask);
    // What is typed next is text again, not code (nor hotspot).
    editor.SetSelection(start + code.size(), 0);
    editor.SetSelFormat(text, kCodeMask);
    return start;
}

void FormatHotspot(ITextEditor& editor, THotspotKind kind, bool green) {
    rtf::CharFormat format = Colored(clGreen);
    std::uint32_t mask = rtf::kCharUnderline | rtf::kCharStrike;
    if (green)
        mask |= rtf::kCharColor;
    format.strike = kind == THotspotKind::Jump;
    format.underline =
        kind == THotspotKind::Popup ? rtf::UnderlineKind::Single : rtf::UnderlineKind::None;
    editor.SetSelFormat(format, mask);
}

void EnsureHotspotText(ITextEditor& editor, std::string_view text) {
    if (editor.SelLength() > 0)
        return;
    const std::size_t start = editor.SelStart();
    editor.ReplaceSelection(text);
    editor.SetSelection(start, text.size());
}

std::string TopicLinkCode(const TBrindlewovenTopic& target, THotspotKind kind) {
    std::string code = "{linkID=" + std::to_string(target.Number);
    if (kind == THotspotKind::Jump && !target.Window.empty()) {
        RequireCodeText("The window of topic #" + std::to_string(target.Number), target.Window);
        code += ">" + target.Window;
    }
    return code + "}";
}

void InsertTopicLink(ITextEditor& editor, const TBrindlewovenTopic& target, THotspotKind kind) {
    // The code first: one that cannot be built leaves the text as it was.
    const std::string code = TopicLinkCode(target, kind);
    const rtf::CharFormat text = editor.SelFormat().Format;
    EnsureHotspotText(editor, target.Title);
    FormatHotspot(editor, kind);
    InsertCode(editor, code, text);
}

std::string InternetLinkCode(std::string_view address) {
    return "{link=*! ExecFile(\"" + std::string(address) + "\")}";
}

void InsertInternetLink(ITextEditor& editor, std::string_view text, std::string_view address,
                        const helpproject::TTextStyleMacro& internetLinkStyle,
                        const helpproject::TTextStyleMacro& topicTextStyle) {
    RequireCodeText("The address", address, TCodeQuoting::Quoted);
    const std::size_t start = editor.SelStart();
    editor.ReplaceSelection(text);
    editor.SetSelection(start, text.size());
    rtf::CharFormat hotspot = helpproject::CharFormatFromFont(internetLinkStyle.Font);
    hotspot.strike = true;
    hotspot.underline = rtf::UnderlineKind::None;
    editor.SetSelFormat(hotspot, helpproject::kStyleCharMask);

    const std::string code = InternetLinkCode(address);
    editor.SetSelection(start + text.size(), 0);
    const std::size_t codeStart = editor.SelStart();
    editor.ReplaceSelection(code);
    editor.SetSelection(codeStart, code.size());
    rtf::CharFormat plain = Colored(clMaroon);
    editor.SetSelFormat(plain, kCodeMask | rtf::kCharBold | rtf::kCharItalic);
    editor.SetSelection(codeStart + code.size(), 0);
    editor.SetSelFormat(helpproject::CharFormatFromFont(topicTextStyle.Font),
                        helpproject::kStyleCharMask);
}

void InsertFileLink(ITextEditor& editor, std::string_view fileName) {
    // Its WinHelp form runs the file with ExecFile("name").
    RequireFileNameForCode(fileName, TCodeQuoting::Quoted);
    const std::string name = platform::ExtractFileName(fileName);
    const rtf::CharFormat text = editor.SelFormat().Format;
    EnsureHotspotText(editor, name);
    FormatHotspot(editor, THotspotKind::Jump);
    InsertCode(editor, "{linkFile=" + name + "}", text);
}

bool FlashAllowed(const TBrindlewovenProject& project) {
    using helpproject::THelpCompiler;
    return project.Compiler == THelpCompiler::None || project.Compiler == THelpCompiler::HtmlHelp;
}

bool AddToBitmapPaths(TBrindlewovenProject& project, std::string_view fileName) {
    return helpproject::AddBitmapFolder(project.BitmapPaths, platform::ExtractFileDir(fileName));
}

void InsertFlash(ITextEditor& editor, TBrindlewovenProject& project, std::string_view fileName) {
    RequireFileNameForCode(fileName);
    InsertCode(editor, "{flash=" + platform::ExtractFileName(fileName) + "}");
    AddToBitmapPaths(project, fileName);
}

std::string BitmapCode(std::string_view fileName, TBitmapAlign align, bool transparent) {
    std::string code = align == TBitmapAlign::Left    ? "{bml"
                       : align == TBitmapAlign::Right ? "{bmr"
                                                      : "{bmc";
    if (transparent)
        code += 't';
    return code + " " + platform::ExtractFileName(fileName) + "}";
}

void InsertBitmap(ITextEditor& editor, TBrindlewovenProject& project, std::string_view fileName,
                  TBitmapAlign align, bool transparent) {
    RequireFileNameForCode(fileName);
    InsertCode(editor, BitmapCode(fileName, align, transparent));
    AddToBitmapPaths(project, fileName);
}

std::string ButtonCode(std::string_view caption, std::string_view action) {
    return "{button " + std::string(caption) + "," + std::string(action) + "}";
}

std::string TargetName(std::string_view typed) {
    return TKeyFilter(TKeyFilter::TKind::ContextString).FilterInserted(typed);
}

bool InsertTarget(ITextEditor& editor, std::string_view typedName) {
    const std::string name = TargetName(typedName);
    if (name.empty())
        return false;
    InsertCode(editor, "{target=" + name + "}");
    return true;
}

void InsertKeepn(ITextEditor& editor) {
    InsertCode(editor, "{keepn}");
}

namespace {

// A code whose value the user types next: the caret goes before its "}".
void InsertOpenCode(ITextEditor& editor, std::string_view code) {
    const std::size_t start = InsertCode(editor, code);
    editor.SetSelection(start + code.size() - 1, 0);
}

} // namespace

void InsertRtfCode(ITextEditor& editor) {
    InsertOpenCode(editor, "{rtf=}");
}

void InsertHtmlCode(ITextEditor& editor) {
    InsertOpenCode(editor, "{html=}");
}

std::optional<TFollowLink> FollowLinkAt(std::string_view text, std::size_t caret) {
    constexpr std::size_t kLookAhead = 15;
    constexpr std::size_t kLookBack = 10;
    if (caret >= text.size())
        return std::nullopt;
    const std::size_t brace = text.substr(caret, kLookAhead).find('}');
    if (brace == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = caret + brace;
    if (close <= kLookBack)
        return std::nullopt;
    const std::string_view before = text.substr(close - kLookBack, kLookBack);
    const std::size_t equals = before.rfind('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    std::string_view value = before.substr(equals + 1);
    value = value.substr(0, value.find('>'));
    if (!value.empty() && (value.front() == '%' || value.front() == '*'))
        value.remove_prefix(1);
    std::int32_t number = 0;
    if (!helpproject::ParseTopicNumber(value, number) || number < 1)
        return std::nullopt;
    return TFollowLink{number, "&Follow Link to #" + std::string(value)};
}

namespace {

// The kind of markup code that `text` ("{" ... "}", plain text) is, if any.
std::optional<helpproject::TMarkupKind> PlainCodeKind(std::string_view text) {
    // The vocabulary reads codes as stored RTF writes them: braces and
    // backslashes escaped.
    std::string line;
    for (char c : text) {
        if (c == '{' || c == '}' || c == '\\')
            line += '\\';
        line += c;
    }
    const auto code = helpproject::MarkupCodeAt(line, 0);
    if (!code || !code->Closed || code->End != line.size())
        return std::nullopt;
    return code->Kind;
}

bool HasHotspot(helpproject::TMarkupKind kind) {
    using helpproject::TMarkupKind;
    return kind == TMarkupKind::LinkID || kind == TMarkupKind::Link ||
           kind == TMarkupKind::LinkTarget || kind == TMarkupKind::LinkFile ||
           kind == TMarkupKind::LinkDelphi;
}

} // namespace

std::optional<TTextLook>
TextLookBehindCode(std::string_view paragraph, std::size_t caret,
                   const std::function<bool(std::size_t, std::size_t)>& sameLook) {
    if (caret == 0 || caret > paragraph.size() || paragraph[caret - 1] != '}')
        return std::nullopt;
    const std::size_t open = paragraph.rfind('{', caret - 1);
    if (open == std::string_view::npos)
        return std::nullopt;
    const auto kind = PlainCodeKind(paragraph.substr(open, caret - open));
    if (!kind)
        return std::nullopt;
    // The text before the code, over the hotspot of a link.
    std::size_t start = open;
    if (HasHotspot(*kind) && start > 0) {
        const std::size_t last = start - 1;
        while (start > 0 && sameLook(start - 1, last))
            --start;
    }
    if (start > 0 && paragraph[start - 1] != '}')
        return TTextLook{start - 1};
    // At the paragraph's start (or behind another code): the text after it.
    if (caret < paragraph.size() && paragraph[caret] != '{')
        return TTextLook{caret};
    return TTextLook{};
}

} // namespace editor
