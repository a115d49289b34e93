#include "helpproject/writers/rtfmanual.h"

#include <algorithm>
#include <map>

#include "components/rtf/rtftokenstream.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/buildselection.h"
#include "helpproject/helputils.h"
#include "helpproject/markupcodes.h"
#include "helpproject/writers/topictables.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/fileio.h"

namespace helpproject {

namespace {

// Byte for byte, as the finder of typed codes reads topic text, so that its
// offsets fall on the boundaries of these tokens.
constexpr rtf::LexerOptions kTopicLexing{.binaryData = false, .limitDepth = false};

bool IsLinkCode(TMarkupKind kind) {
    switch (kind) {
    case TMarkupKind::LinkID:
    case TMarkupKind::Link:
    case TMarkupKind::LinkTarget:
    case TMarkupKind::LinkFile:
    case TMarkupKind::LinkDelphi:
        return true;
    default:
        return false;
    }
}

bool IsHotspotSwitch(const rtf::Token& t) {
    return t.Is("strike") || t.Is("ul") || t.Is("uldb");
}

// The switch that starts a hotspot ("\strike", "\ul", "\uldb").
bool StartsHotspot(const rtf::Token& t) {
    return IsHotspotSwitch(t) && (!t.hasParam || t.param != 0);
}

// The switch that ends one ("\strike0", "\ul0", "\ulnone", ...).
bool EndsHotspot(const rtf::Token& t) {
    return (IsHotspotSwitch(t) && t.hasParam && t.param == 0) || t.Is("ulnone") ||
           t.Is("strikenone");
}

// Formatting before these belongs to other text.
bool EndsHotspotSearch(const rtf::Token& t) {
    return t.Is("par") || t.Is("pard") || t.Is("plain") || t.Is("sect") || t.Is("page");
}

// One topic's body as the manual prints it. The topic's RTF is kept as it
// stands, token for token (tables, borders, every character format); only
// the typed codes that mean nothing on paper are cut out of it.
class TManualBody {
public:
    TManualBody(std::string_view body, std::int32_t topicNumber)
        : body_(body), topicNumber_(topicNumber), tokens_(rtf::TokenizeAll(body, kTopicLexing)),
          dropped_(tokens_.size(), false) {}

    std::string Result() {
        const std::vector<TMarkupCode> codes = ScanTopicMarkupCodes(body_);
        std::size_t next = 0; // the first code not yet applied
        std::size_t hotspotLimit = 0;
        for (std::size_t i = 0; i < tokens_.size();) {
            if (next < codes.size() && tokens_[i].Offset(body_) == codes[next].Start) {
                const TMarkupCode& code = codes[next++];
                const std::size_t end = TokenAt(code.End);
                Apply(code, i, end, hotspotLimit);
                i = end;
                continue;
            }
            if (tokens_[i].IsSymbol('{') && i + 1 < tokens_.size() &&
                tokens_[i + 1].IsSymbol('{')) {
                // A typed double brace prints as one and never opens a code.
                dropped_[i + 1] = true;
                i += 2;
                continue;
            }
            ++i;
        }
        return Written();
    }

private:
    // Index of the token that starts at `offset` (tokens_.size() at the end).
    std::size_t TokenAt(std::size_t offset) const {
        const auto it = std::lower_bound(
            tokens_.begin(), tokens_.end(), offset,
            [this](const rtf::Token& t, std::size_t at) { return t.Offset(body_) < at; });
        return static_cast<std::size_t>(it - tokens_.begin());
    }

    // Tokens [from, to) leave the text; group braces inside the code stay,
    // since they close or open formatting groups around it.
    void DropCode(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if (tokens_[i].kind != rtf::TokenKind::GroupStart &&
                tokens_[i].kind != rtf::TokenKind::GroupEnd)
                dropped_[i] = true;
    }

    void Apply(const TMarkupCode& code, std::size_t from, std::size_t to,
               std::size_t& hotspotLimit) {
        if (IsLinkCode(code.Kind)) {
            FindRtfHotspotState(from, hotspotLimit);
            DropCode(from, to);
            hotspotLimit = to;
            return;
        }
        switch (code.Kind) {
        case TMarkupKind::Target:
        case TMarkupKind::Keepn:
            DropCode(from, to);
            return;
        case TMarkupKind::Rtf:
            // Raw RTF becomes real RTF; one that would break the document's
            // groups is refused.
            DropCode(from, to);
            replacements_[from] = RawRtfOfCode(body_, code, topicNumber_);
            return;
        default:
            return; // buttons, pictures, movies and raw HTML print as typed
        }
    }

    // Removes the formatting that made the text before a link code a
    // hotspot, walking back from the code: colours and the switches that end
    // a hotspot go on the way, and the switch that starts it (with colours
    // written right before it) ends the walk. The walk never passes a
    // paragraph start, a "\plain", raw RTF or the previous link code.
    void FindRtfHotspotState(std::size_t code, std::size_t limit) {
        for (std::size_t j = code; j > limit;) {
            --j;
            const rtf::Token& t = tokens_[j];
            if (replacements_.count(j) != 0)
                return; // raw RTF of the author's, such as a paragraph reset
            if (dropped_[j] || t.kind != rtf::TokenKind::ControlWord)
                continue;
            if (EndsHotspotSearch(t))
                return;
            if (t.Is("cf") || EndsHotspot(t)) {
                dropped_[j] = true;
            } else if (StartsHotspot(t)) {
                dropped_[j] = true;
                while (j > limit && tokens_[j - 1].Is("cf"))
                    dropped_[--j] = true;
                return;
            }
        }
    }

    std::string Written() {
        rtf::TokenWriter out;
        std::string rawRtf; // written before the next kept token
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (const auto it = replacements_.find(i); it != replacements_.end())
                rawRtf += it->second;
            if (dropped_[i])
                continue;
            const rtf::Token& t = tokens_[i];
            if (!rawRtf.empty() && t.kind == rtf::TokenKind::Text && t.raw.front() == ' ') {
                // The blank after the code ends a control word at the end of
                // its value; no second one is put in front of it.
                out.Raw(rawRtf + ' ');
                out.Raw(t.raw.substr(1));
            } else {
                out.Raw(rawRtf);
                out.Raw(t);
            }
            rawRtf.clear();
        }
        out.Raw(rawRtf);
        return out.Take();
    }

    std::string_view body_;
    std::int32_t topicNumber_;
    std::vector<rtf::Token> tokens_;
    std::vector<bool> dropped_;
    std::map<std::size_t, std::string> replacements_; // written in front of a token
};

// The written topics in the grid's order.
std::vector<const TBrindlewovenTopic*> ManualTopics(const TBrindlewovenProject& project,
                                                    const TBuildSelection& selection) {
    std::vector<const TBrindlewovenTopic*> topics;
    for (const TBrindlewovenTopic* topic : project.SortedTopics())
        if (selection.Includes(*topic))
            topics.push_back(topic);
    return topics;
}

std::string ManualBytes(const TBrindlewovenProject& project, const TBuildSelection& selection,
                        bool pageBreaks) {
    const std::vector<const TBrindlewovenTopic*> topics = ManualTopics(project, selection);
    std::vector<TTopicRtf> texts;
    texts.reserve(topics.size());
    TTopicTables tables;
    for (const TBrindlewovenTopic* topic : topics) {
        texts.push_back(ReadTopicRtf(*topic));
        tables.Add(texts.back());
        if (tables.FontCount() > 255)
            throw EBrindlewoven(TooManyFontsMessage(topic->Number), topic->Number);
        if (tables.ColorCount() > 255)
            throw EBrindlewoven(TooManyColorsMessage(topic->Number), topic->Number);
    }

    std::string out;
    auto line = [&out](std::string_view text) {
        out.append(text);
        out += "\r\n";
    };
    line("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl");
    for (const std::string& font : tables.FontLines())
        line(font);
    line("}");
    line("{\\colortbl");
    line(tables.ColorLine());
    line("}");
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const rtf::TableRemap remap = tables.RemapFor(texts[i]);
        if (i > 0) {
            line("\\par \\pard\\plain\\f" + std::to_string(remap.defaultFont));
            if (pageBreaks) {
                line("");
                line("{\\page}");
                line("");
            } else {
                line("\\par \\pard\\plain");
                line("\\par \\pard\\plain");
            }
        }
        line(TManualBody(rtf::RemapTables(texts[i].Body, remap), topics[i]->Number).Result());
    }
    line("}");
    return out;
}

} // namespace

std::string RtfManualBytes(const TBrindlewovenProject& project, bool pageBreaks) {
    return ManualBytes(project, TBuildSelection::ForBuild(project), pageBreaks);
}

TBuildReport ExportRtfManual(const TBrindlewovenProject& project, const std::string& fileName,
                             bool pageBreaks) {
    const TBuildSelection selection = TBuildSelection::ForBuild(project);
    const std::string bytes = ManualBytes(project, selection, pageBreaks);
    platform::WriteFileAtomic(ProjectPath(fileName), bytes);
    TBuildReport report;
    report.IncludedTopics = selection.Numbers();
    report.FilesWritten.push_back(fileName);
    return report;
}

} // namespace helpproject
