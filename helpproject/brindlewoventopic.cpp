#include "helpproject/brindlewoventopic.h"

#include "components/rtf/rtfedit.h"
#include "platform/codepage.h"

namespace helpproject {

namespace {

constexpr std::string_view kAutoPrefix = "Vellumar";

} // namespace

TBrindlewovenTopic::TBrindlewovenTopic(std::int32_t number, std::string title)
    : Number(number), TopicID(AutomaticID(number)),
      Title(std::move(title)), Text{Title, std::string()}, Status("Writing") {}

std::unique_ptr<TBrindlewovenTopic>
TBrindlewovenTopic::CreateCopy(const TBrindlewovenTopic& source) {
    auto copy = std::make_unique<TBrindlewovenTopic>(source.Number, std::string());
    copy->Assign(source);
    return copy;
}

std::string TBrindlewovenTopic::AutomaticID(std::int32_t number) {
    return std::string(kAutoPrefix) + std::to_string(number);
}

bool TBrindlewovenTopic::IsAutomaticID(const std::string& id) {
    return platform::AnsiLowerCase(std::string_view(id).substr(0, 8)) == "vellumar";
}

void TBrindlewovenTopic::Assign(const TBrindlewovenTopic& source) {
    if (&source == this)
        return;
    Title = source.Title;
    KKeywords = source.KKeywords;
    AKeywords = source.AKeywords;
    BKeywords = source.BKeywords;
    BuildTag = source.BuildTag;
    BrowseSequence = source.BrowseSequence;
    Status = source.Status;
    Window = source.Window;
    EntryMacro = source.EntryMacro;
    Text = source.Text;
    Bookmark = source.Bookmark;
    ClearHtmlCaches();
    if (!IsAutomaticID(source.TopicID))
        TopicID = source.TopicID;
}

void TBrindlewovenTopic::ClearHtmlCaches() {
    HtmlParagraphCache.clear();
    HtmlLineBreakCache.clear();
}

void TBrindlewovenTopic::SetText(TStringList lines) {
    Text = std::move(lines);
    ClearHtmlCaches();
}

namespace {

// The page name an ID gives; empty when nothing usable is left of it.
std::string PageNameOfID(std::string_view id) {
    if (id.substr(0, 8) == kAutoPrefix || platform::AnsiSameText(id, "con") ||
        platform::AnsiSameText(id, "prn") || platform::AnsiSameText(id, "aux")) {
        std::string rest(id.size() > 8 ? id.substr(8) : std::string_view());
        for (char& c : rest)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return "bw" + rest;
    }
    std::string name;
    for (char c : id) {
        if (c == '"' || c == '*' || c == '/' || c == ':' || c == '<' || c == '>' || c == '?' ||
            c == '\\' || c == '|')
            continue;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        name += c;
    }
    return name;
}

// The bytes `name` takes in a UTF-8 file name, at most: a character above
// 127 takes up to three.
std::size_t FileNameBytes(std::string_view name) {
    std::size_t bytes = 0;
    for (char c : name)
        bytes += static_cast<unsigned char>(c) < 0x80 ? 1 : 3;
    return bytes;
}

// A page name short enough for a file name: a file system takes 255 bytes,
// and the page's file adds ".htm" and, while it is saved, a temporary name of
// 13 more. A longer name keeps its start and ends in "_" and eight hex
// digits of a hash of the whole name, so each long ID keeps a name of its
// own from build to build.
std::string ShortenPageName(std::string name) {
    if (FileNameBytes(name) <= TBrindlewovenTopic::kMaxPageNameBytes)
        return name;
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix = "_";
    for (int shift = 28; shift >= 0; shift -= 4)
        suffix += kHex[((hash ^ (hash >> 32)) >> shift) & 0xF];
    std::size_t keep = 0, bytes = 0;
    while (keep < name.size()) {
        const std::size_t next = bytes + FileNameBytes(std::string_view(name).substr(keep, 1));
        if (next + suffix.size() > TBrindlewovenTopic::kMaxPageNameBytes)
            break;
        bytes = next;
        ++keep;
    }
    return name.substr(0, keep) + suffix;
}

} // namespace

std::string TBrindlewovenTopic::HtmlFileName() const {
    std::string name = ShortenPageName(PageNameOfID(TopicID));
    return name.empty() ? "bw" + std::to_string(Number) : name;
}

std::string TBrindlewovenTopic::HtmlTopicID() const {
    return PageNameOfID(TopicID).empty() ? AutomaticID(Number) : TopicID;
}

std::string TBrindlewovenTopic::GetHtmlFileName() {
    TopicID = HtmlTopicID();
    return HtmlFileName();
}

void TBrindlewovenTopic::StripKeepnAndStyleSheet() {
    std::string joined;
    for (const auto& line : Text) {
        joined += line;
        joined += '\n';
    }
    // \keepn goes through the tokenizer, so a literal "\\keepn" typed in
    // the text (inside an {rtf= code, say) is left alone.
    // The style sheet is matched in any case; only the first one goes.
    joined = rtf::RemoveDestination(rtf::RemoveControlWord(joined, "keepn"), "stylesheet",
                                    {.ignoreCase = true, .firstOnly = true});
    TStringList lines;
    std::size_t start = 0;
    while (start < joined.size()) {
        std::size_t end = joined.find('\n', start);
        if (end == std::string::npos)
            end = joined.size();
        lines.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    SetText(std::move(lines));
}

} // namespace helpproject
