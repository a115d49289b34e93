#include "helpproject/import/hotspotconversion.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

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

// The character formats the import follows: a jump's strike-out ("\uldb"
// is strike-out by now), a popup's underline, and hidden text.
struct TCharFlags {
    bool strike = false;
    bool underline = false;
    bool hidden = false;
};

bool IsUnderlineWord(std::string_view name) {
    // "\ul", "\uld", "\ulw", "\ulwave" ...; "\ulnone" ends them and "\ulc"
    // only colours them.
    return name.starts_with("ul") && name != "ulnone" && name != "ulc";
}

// Applies a character-format word; false for any other word.
bool ApplyFormatWord(const rtf::Token& t, TCharFlags& format) {
    const bool on = !t.hasParam || t.param != 0;
    if (t.name == "plain")
        format = TCharFlags{};
    else if (t.name == "strike" || t.name == "uldb")
        format.strike = on;
    else if (t.name == "v")
        format.hidden = on;
    else if (t.name == "ulnone")
        format.underline = false;
    else if (IsUnderlineWord(t.name))
        format.underline = on;
    else
        return false;
    return true;
}

// Words that end a paragraph, a line or a cell: hidden text never runs on
// across them.
bool IsBreakWord(std::string_view name) {
    return name == "par" || name == "line" || name == "cell" || name == "row" ||
           name == "nestcell" || name == "nestrow" || name == "sect" || name == "page";
}

// Words that stand for a character of the text.
bool IsCharacterWord(std::string_view name) {
    return name == "tab" || name == "u" || rtf::NamedCharacter(name) != 0 || name == "emspace" ||
           name == "enspace" || name == "qmspace";
}

// The code in place of hidden text, kept out of the formats in force
// there: visible, and the hotspot's text ending where its code starts, as
// the editor and every writer expect.
std::string CodeGroup(const std::string& code, TCharFlags format) {
    const std::string escaped = "\\{" + RtfEscape(code) + "\\}";
    if (!format.strike && !format.underline && !format.hidden)
        return escaped;
    return std::string("{") + (format.hidden ? "\\v0" : "") + (format.strike ? "\\strike0" : "") +
           (format.underline ? "\\ulnone" : "") + " " + escaped + "}";
}

// One pass over a topic's RTF that turns the hidden text after hotspots into
// markup codes, however Word wrote it: a group ("{\v ID}"), a run ("\v ID"
// up to "\v0", "\plain" or a break), text that a character or paragraph
// style hides, or one target split into several runs and groups where Word
// split its runs (at revisions, at a font change): hidden text that no
// visible character interrupts is one target and one code. The code stands
// where the hidden text started; groups left holding nothing but formats
// go. On the way double underlines (WinHelp jumps) become the editor's
// strike-out.
class THotspotPass {
public:
    THotspotPass(std::string_view rtf, const TLinkLookup& lookup) : rtf_(rtf), lookup_(lookup) {}

    std::string Run() {
        rtf::Lexer lexer(rtf_);
        rtf::Token t;
        std::size_t done = 0;
        while (lexer.Next(t)) {
            done = t.Offset(rtf_) + t.raw.size();
            if (verbatim_ > 0)
                Verbatim(t);
            else
                Take(t);
        }
        out_.Raw(rtf_.substr(done)); // what a refused nesting left over
        FinishRun();
        return WithInsertions(out_.Take());
    }

private:
    struct TGroup {
        TCharFlags outside;    // the format to restore at its end
        std::size_t start = 0; // where its "{" stands in the output
        bool hidden = false;   // holds hidden text
        bool kept = false;     // holds anything else that counts
    };
    struct TStyle {
        bool character = false;
        std::int32_t number = 0;
        TCharFlags format;
        bool other = false; // a section or table style
    };

    void Write(const rtf::Token& t) {
        if (t.Is("uldb"))
            out_.ControlWordRenamed(t, "strike");
        else
            out_.Raw(t);
    }

    void Take(const rtf::Token& t) {
        if (run_ && (t.kind == rtf::TokenKind::GroupStart || t.kind == rtf::TokenKind::GroupEnd ||
                     t.Is("uc")))
            reader_.Append(runText_, t); // they say how much of the text "\uN" stands for
        const bool destinationPending = destinationPending_;
        destinationPending_ = false;
        switch (t.kind) {
        case rtf::TokenKind::GroupStart:
            groups_.push_back(TGroup{format_, out_.Result().size()});
            out_.Raw(t);
            destinationPending_ = true;
            starred_ = false;
            break;
        case rtf::TokenKind::GroupEnd:
            EndGroup(t);
            break;
        case rtf::TokenKind::LineBreak:
            out_.Raw(t);
            destinationPending_ = destinationPending; // a destination may still follow
            break;
        case rtf::TokenKind::ControlSymbol:
            if (t.symbol == '*') {
                out_.Raw(t);
                starred_ = destinationPending;
                destinationPending_ = destinationPending;
            } else {
                Character(t);
            }
            break;
        case rtf::TokenKind::ControlWord:
            if (!destinationPending || !Destination(t))
                ControlWord(t);
            break;
        case rtf::TokenKind::BinaryData:
            Visible();
            out_.Raw(t);
            break;
        default:
            Character(t);
            break;
        }
    }

    // A group that holds no text of the document is copied as it stands.
    bool Destination(const rtf::Token& t) {
        const rtf::DestinationText text = rtf::TextOfDestination(t.name, starred_);
        if (text == rtf::DestinationText::Text)
            return false;
        if (text == rtf::DestinationText::Object)
            Visible();
        else
            groups_.back().kept = true;
        stylesheet_ = t.Is("stylesheet");
        verbatim_ = 1;
        Write(t);
        return true;
    }

    void Verbatim(const rtf::Token& t) {
        if (t.kind == rtf::TokenKind::GroupStart) {
            ++verbatim_;
            if (stylesheet_ && verbatim_ == 2)
                style_ = TStyle{};
        } else if (t.kind == rtf::TokenKind::GroupEnd) {
            if (stylesheet_ && verbatim_ == 2 && !style_.other && style_.format.hidden)
                (style_.character ? hidingCharacterStyles_ : hidingParagraphStyles_)
                    .insert(style_.number);
            if (--verbatim_ == 0) {
                if (run_)
                    reader_.Append(runText_, t);
                EndGroup(t);
                return;
            }
        } else if (stylesheet_ && verbatim_ == 2 && t.kind == rtf::TokenKind::ControlWord) {
            if (t.name == "s") {
                style_.number = t.param;
            } else if (t.name == "cs") {
                style_.character = true;
                style_.number = t.param;
            } else if (t.name == "ds" || t.name == "ts") {
                style_.other = true;
            } else {
                ApplyFormatWord(t, style_.format);
            }
        }
        Write(t);
    }

    void EndGroup(const rtf::Token& t) {
        out_.Raw(t);
        if (groups_.empty())
            return; // closes a group opened before the topic
        const TGroup group = groups_.back();
        groups_.pop_back();
        format_ = group.outside;
        TGroup* parent = groups_.empty() ? nullptr : &groups_.back();
        if (parent)
            parent->hidden = parent->hidden || group.hidden;
        if (group.hidden && !group.kept && group.start >= lastInsertion_) {
            // Nothing but hidden text and its formats: the group goes, and
            // the code of text that started in it stands in its place.
            out_.Truncate(group.start);
            if (run_ && runAt_ > group.start) {
                runAt_ = group.start;
                runFormat_ = format_;
            }
            return;
        }
        if (parent)
            parent->kept = parent->kept || group.kept;
    }

    void ControlWord(const rtf::Token& t) {
        if (IsBreakWord(t.name)) {
            Visible();
            out_.Raw(t);
            return;
        }
        if (IsCharacterWord(t.name)) {
            Character(t);
            return;
        }
        Write(t);
        if (ApplyFormatWord(t, format_) || (t.name != "s" && t.name != "cs"))
            return;
        // Word writes out the other formats of a style after its word; the
        // hidden text of a style that hides it counts as hidden all the same.
        const auto& hiding = t.name == "cs" ? hidingCharacterStyles_ : hidingParagraphStyles_;
        if (hiding.count(t.hasParam ? t.param : 0))
            format_.hidden = true;
    }

    // A character of the text: hidden, it belongs to the target being
    // read; visible, it ends that target.
    void Character(const rtf::Token& t) {
        if (!format_.hidden) {
            Visible();
            Write(t);
            return;
        }
        if (!run_) {
            run_ = true;
            runAt_ = out_.Result().size();
            runFormat_ = format_;
            runText_.clear();
            reader_ = rtf::PlainTextReader();
        }
        reader_.Append(runText_, t);
        if (!groups_.empty())
            groups_.back().hidden = true;
    }

    // Something a reader sees: the hidden text before it is complete.
    void Visible() {
        FinishRun();
        if (!groups_.empty())
            groups_.back().kept = true;
    }

    void FinishRun() {
        if (!run_)
            return;
        run_ = false;
        const std::string code = HotspotCode(runText_, lookup_);
        if (code.empty())
            return;
        std::string bytes = CodeGroup(code, runFormat_);
        lastInsertion_ = runAt_;
        if (runAt_ == out_.Result().size())
            out_.Raw(std::string_view(bytes));
        else
            insertions_.emplace_back(runAt_, std::move(bytes));
    }

    // The codes of hidden text that other output followed, put in place.
    std::string WithInsertions(std::string text) const {
        if (insertions_.empty())
            return text;
        std::size_t extra = 0;
        for (const auto& insertion : insertions_)
            extra += insertion.second.size();
        std::string out;
        out.reserve(text.size() + extra);
        std::size_t done = 0;
        for (const auto& [at, bytes] : insertions_) {
            out.append(text, done, at - done);
            out += bytes;
            done = at;
        }
        out.append(text, done, std::string::npos);
        return out;
    }

    std::string_view rtf_;
    const TLinkLookup& lookup_;
    rtf::TokenWriter out_;
    TCharFlags format_;
    std::vector<TGroup> groups_;
    bool destinationPending_ = false;
    bool starred_ = false;
    int verbatim_ = 0; // depth inside a group copied as it stands
    bool stylesheet_ = false;
    TStyle style_;
    std::unordered_set<std::int32_t> hidingParagraphStyles_, hidingCharacterStyles_;
    // The hidden text being read: where its code goes and the format there.
    bool run_ = false;
    std::size_t runAt_ = 0;
    TCharFlags runFormat_;
    std::string runText_;
    rtf::PlainTextReader reader_;
    std::size_t lastInsertion_ = 0;
    std::vector<std::pair<std::size_t, std::string>> insertions_;
};

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
    return ConvertButtons(THotspotPass(text, lookup).Run(), lookup);
}

} // namespace helpproject
