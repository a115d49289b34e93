#include "helpproject/import/hotspotconversion.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "components/rtf/rtfedit.h"
#include "components/rtf/rtfmarkupcodes.h"
#include "components/rtf/rtftokenstream.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/topictables.h"
#include "platform/codepage.h"

namespace helpproject {

namespace {

std::string UndoubleBackslashes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\')
            ++i;
    }
    return out;
}

// The markup code for the hidden text of a hotspot.
std::string HotspotCode(const std::string& hidden, const TLinkLookup& lookup) {
    const std::string text = TrimText(hidden);
    if (text.empty())
        return {};
    std::string prefix;
    std::string rest = text;
    if (rest.front() == '%' || rest.front() == '*') {
        prefix = rest.substr(0, 1);
        rest.erase(0, 1);
    }
    if (!rest.empty() && rest.front() == '!')
        return "link=" + MacroWithPlainQuotes(UndoubleBackslashes(text));
    if (text.find('@') != std::string::npos)
        return "link=" + UndoubleBackslashes(text);
    std::string window;
    const std::size_t gt = rest.find('>');
    if (gt != std::string::npos) {
        window = TrimText(rest.substr(gt + 1));
        rest = rest.substr(0, gt);
    }
    const std::string key = platform::AnsiLowerCase(TrimText(rest));
    if (auto it = lookup.ids.find(key); it != lookup.ids.end())
        return "linkID=" + prefix + std::to_string(it->second) +
               (window.empty() ? "" : ">" + window);
    if (lookup.targets.count(key))
        return "linkTarget=" + UndoubleBackslashes(text);
    return "link=" + UndoubleBackslashes(text);
}

// The hotspot formatting in force where a group opens: a jump's strike-out
// ("\uldb" is strike-out by now) or a popup's underline.
struct THotspotFormat {
    bool strike = false;
    bool underline = false;
};

bool IsUnderlineWord(std::string_view name) {
    // "\ul", "\uld", "\ulw", "\ulwave" ...; "\ulnone" ends them and "\ulc"
    // only colours them.
    return name.starts_with("ul") && name != "ulnone" && name != "ulc";
}

// Double underlines (WinHelp jumps) become the editor's strike-out, in one
// pass that also notes, for each group that inherits a hotspot format, that
// format by the offset of the group's "{" in the result: Word sets a jump's
// format at paragraph level or with a word before the text as often as with
// a group around it.
std::string JumpsAsStrikeOut(std::string_view rtf,
                             std::unordered_map<std::size_t, THotspotFormat>& atGroups) {
    rtf::TokenWriter out;
    std::vector<THotspotFormat> stack(1);
    rtf::Lexer lexer(rtf);
    rtf::Token t;
    std::size_t done = 0;
    while (lexer.Next(t)) {
        done = t.Offset(rtf) + t.raw.size();
        if (t.kind == rtf::TokenKind::GroupStart) {
            if (stack.back().strike || stack.back().underline)
                atGroups.emplace(out.Result().size(), stack.back());
            stack.push_back(stack.back());
        } else if (t.kind == rtf::TokenKind::GroupEnd) {
            if (stack.size() > 1)
                stack.pop_back();
        } else if (t.kind == rtf::TokenKind::ControlWord) {
            THotspotFormat& format = stack.back();
            const bool on = !t.hasParam || t.param != 0;
            if (t.name == "uldb") {
                out.ControlWordRenamed(t, "strike");
                format.strike = on;
                continue;
            }
            if (t.name == "plain")
                format = THotspotFormat{};
            else if (t.name == "strike")
                format.strike = on;
            else if (t.name == "ulnone")
                format.underline = false;
            else if (IsUnderlineWord(t.name))
                format.underline = on;
        }
        out.Raw(t);
    }
    out.Raw(rtf.substr(done)); // what a refused nesting left over
    return out.Take();
}

// The code in place of a hidden group, kept out of the hotspot's format
// so that the hotspot's text ends where the code starts.
std::string CodeGroup(const std::string& code, THotspotFormat format) {
    const std::string escaped = "\\{" + RtfEscape(code) + "\\}";
    if (!format.strike && !format.underline)
        return escaped;
    return std::string("{") + (format.strike ? "\\strike0" : "") +
           (format.underline ? "\\ulnone" : "") + " " + escaped + "}";
}

// A group of hidden text: "\v" (not "\v0") among the control words that open it.
bool IsHiddenGroup(const rtf::GroupView& group) {
    if (group.starred)
        return false;
    for (std::size_t i = 1; i < group.tokens.size(); ++i) {
        const rtf::Token& t = group.tokens[i];
        if (t.kind == rtf::TokenKind::LineBreak)
            continue;
        if (t.kind != rtf::TokenKind::ControlWord)
            return false;
        if (t.name == "v")
            return !(t.hasParam && t.param == 0);
    }
    return false;
}

// The topic ID of a button action that only jumps to a topic of this help
// file ("JumpID(\"intro\")", "JI(`',`intro')"), or empty.
std::string JumpTarget(const std::string& action) {
    const std::string a = TrimText(action);
    const std::size_t open = a.find('(');
    if (open == std::string::npos || a.back() != ')')
        return {};
    const std::string name = platform::AnsiLowerCase(TrimText(a.substr(0, open)));
    std::string args = TrimText(a.substr(open + 1, a.size() - open - 2));
    if (name == "ji" || name == "jumpid") {
        // An empty help file argument first means "this file".
        if (args.starts_with("`',") || args.starts_with("\"\","))
            args = TrimText(args.substr(args.find(',') + 1));
        else if (name == "ji")
            return {};
    } else {
        return {};
    }
    if (args.size() < 2)
        return {};
    const char first = args.front(), last = args.back();
    if (!((first == '"' && last == '"') || (first == '`' && last == '\'')))
        return {};
    const std::string id = args.substr(1, args.size() - 2);
    if (id.find_first_of("\"`',") != std::string::npos)
        return {};
    return id;
}

// Buttons that jump to a topic of the project get its number, as typed ones do.
std::string ConvertButtons(const std::string& text, const TLinkLookup& lookup) {
    rtf::MarkupSearch search;
    search.keywords = {"button "};
    std::string out;
    std::size_t done = 0;
    for (const rtf::MarkupCode& code : rtf::FindMarkupCodes(text, search)) {
        if (!code.closed)
            continue;
        const std::size_t comma = code.value.find(',');
        if (comma == std::string::npos)
            continue;
        const std::string id = JumpTarget(code.value.substr(comma + 1));
        const auto it = lookup.ids.find(platform::AnsiLowerCase(id));
        if (id.empty() || it == lookup.ids.end())
            continue;
        out.append(text, done, code.start - done);
        out +=
            "\\{" +
            RtfEscape(code.keyword + code.value.substr(0, comma + 1) + std::to_string(it->second)) +
            "\\}";
        done = code.end;
    }
    if (done == 0)
        return text;
    out.append(text, done, std::string::npos);
    return out;
}

} // namespace

std::string MacroWithPlainQuotes(std::string macro) {
    for (char& c : macro) {
        switch (c) {
        case '\x91':
            c = '`';
            break;
        case '\x92':
            c = '\'';
            break;
        case '\x93':
        case '\x94':
            c = '"';
            break;
        default:
            break;
        }
    }
    return macro;
}

std::string ConvertHotspots(const std::string& text, const TLinkLookup& lookup) {
    std::unordered_map<std::size_t, THotspotFormat> formats;
    const std::string jumps = JumpsAsStrikeOut(text, formats);
    return ConvertButtons(
        rtf::RewriteGroups(jumps,
                           [&](const rtf::GroupView& group) -> std::optional<std::string> {
                               if (!IsHiddenGroup(group))
                                   return std::nullopt;
                               const std::string code = HotspotCode(group.Text(), lookup);
                               if (code.empty())
                                   return std::string();
                               const auto format = formats.find(group.offset);
                               return CodeGroup(code, format == formats.end() ? THotspotFormat{}
                                                                              : format->second);
                           }),
        lookup);
}

} // namespace helpproject
