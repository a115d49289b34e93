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
    const rtf::Color colorInForce = editor.SelFormat().Format.color;
    const std::size_t start = editor.SelStart();
    editor.ReplaceSelection(code);
    editor.SetSelection(start, code.size());
    editor.SetSelFormat(Colored(clMaroon), kCodeMask);
    editor.SetSelection(start + code.size(), 0);
    rtf::CharFormat restore;
    restore.color = colorInForce;
    editor.SetSelFormat(restore, rtf::kCharColor);
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
    const std::string code = TopicLinkCode(target, kind);
    EnsureHotspotText(editor, target.Title);
    FormatHotspot(editor, kind);
    InsertCode(editor, code);
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
    EnsureHotspotText(editor, name);
    FormatHotspot(editor, THotspotKind::Jump);
    InsertCode(editor, "{linkFile=" + name + "}");
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

} // namespace editor
