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

} // namespace

std::string TBrindlewovenTopic::HtmlFileName() const {
    std::string name = PageNameOfID(TopicID);
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
