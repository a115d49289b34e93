#include "helpproject/writers/rtfmanual.h"

#include <algorithm>
#include <cctype>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtfwriter.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/buildselection.h"
#include "helpproject/markupcodes.h"
#include "helpproject/writers/topictables.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/fileio.h"
#include "platform/textutil.h"

namespace helpproject {

namespace {

enum class TPlainKind { Link, Rtf, Other, DoubledBrace };

struct TPlainCode {
    std::size_t start = 0;
    std::size_t end = 0; // after the closing brace (the paragraph end when unclosed)
    TPlainKind kind = TPlainKind::Other;
};

struct TOpening {
    const char* text;
    TPlainKind kind;
};

// Longer openings before the shorter ones they begin with.
const TOpening kOpenings[] = {
    {"linkid=", TPlainKind::Link},   {"linktarget=", TPlainKind::Link},
    {"linkfile=", TPlainKind::Link}, {"linkdelphi=", TPlainKind::Link},
    {"link=", TPlainKind::Link},     {"rtf=", TPlainKind::Rtf},
    {"target=", TPlainKind::Other},  {"keepn}", TPlainKind::Other},
    {"html=", TPlainKind::Other},    {"flash=", TPlainKind::Other},
    {"button ", TPlainKind::Other},  {"bmct ", TPlainKind::Other},
    {"bmlt ", TPlainKind::Other},    {"bmrt ", TPlainKind::Other},
    {"bmc ", TPlainKind::Other},     {"bml ", TPlainKind::Other},
    {"bmr ", TPlainKind::Other},
};

// The codes of a document's plain text, left to right. A code ends at the
// next "}" of its paragraph; a raw RTF code at the "}" that balances it.
std::vector<TPlainCode> FindPlainCodes(std::string_view text) {
    std::vector<TPlainCode> codes;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '{') {
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '{') {
            // A typed double brace is a brace of the text, never a code.
            TPlainCode code;
            code.start = i;
            code.end = i + 1;
            code.kind = TPlainKind::DoubledBrace;
            codes.push_back(code);
            std::size_t close = i + 2;
            while (close + 1 < text.size() && text[close] != rtf::kParagraphChar &&
                   !(text[close] == '}' && text[close + 1] == '}'))
                ++close;
            if (close + 1 < text.size() && text[close] == '}' && text[close + 1] == '}') {
                code.start = close;
                code.end = close + 1;
                codes.push_back(code);
                i = close + 2;
            } else {
                i += 2;
            }
            continue;
        }
        const TOpening* opening = nullptr;
        for (const TOpening& o : kOpenings)
            if (platform::StartsWithNoCase(text.substr(i + 1), o.text)) {
                opening = &o;
                break;
            }
        if (opening == nullptr) {
            ++i;
            continue;
        }
        TPlainCode code;
        code.start = i;
        code.kind = opening->kind;
        std::size_t j = i + 1 + std::string_view(opening->text).size();
        if (opening->text[std::string_view(opening->text).size() - 1] == '}') {
            code.end = j;
        } else if (opening->kind == TPlainKind::Rtf) {
            int depth = 1;
            while (j < text.size() && text[j] != rtf::kParagraphChar && depth > 0) {
                if (text[j] == '\\' && j + 1 < text.size() && text[j + 1] != rtf::kParagraphChar)
                    j += 2;
                else if (text[j] == '{')
                    ++depth, ++j;
                else if (text[j] == '}')
                    --depth, ++j;
                else
                    ++j;
            }
            code.end = j;
        } else {
            while (j < text.size() && text[j] != '}' && text[j] != rtf::kParagraphChar)
                ++j;
            code.end = j < text.size() && text[j] == '}' ? j + 1 : j;
        }
        codes.push_back(code);
        i = code.end > i ? code.end : i + 1;
    }
    return codes;
}

// True when the RTF ends in a control word that the next letter would extend.
bool EndsWithOpenControlWord(std::string_view rtfText) {
    std::size_t i = rtfText.size();
    while (i > 0 &&
           (std::isalnum(static_cast<unsigned char>(rtfText[i - 1])) || rtfText[i - 1] == '-'))
        --i;
    if (i == rtfText.size() || i == 0 || rtfText[i - 1] != '\\')
        return false;
    std::size_t slashes = 0;
    for (std::size_t j = i; j > 0 && rtfText[j - 1] == '\\'; --j)
        ++slashes;
    return slashes % 2 == 1;
}

// The "{rtf=" codes of a line replaced by the raw RTF they hold.
std::string UnwrapRtfCodes(std::string_view line, std::int32_t topicNumber) {
    std::string out;
    std::size_t copied = 0;
    for (const TMarkupCode& code : ScanMarkupCodes(line)) {
        if (code.Kind != TMarkupKind::Rtf)
            continue;
        if (!code.Closed)
            throw EBrindlewoven(UnbalancedRtfCodeMessage(topicNumber), topicNumber);
        out.append(line.substr(copied, code.Start - copied));
        out += code.Value;
        if (code.End < line.size() && line[code.End] != ' ' && EndsWithOpenControlWord(code.Value))
            out += ' ';
        out += code.GroupBraces;
        copied = code.End;
    }
    if (copied == 0)
        return std::string(line);
    out.append(line.substr(copied));
    return out;
}

bool IsHotspotFormat(const rtf::CharFormat& format) {
    return format.underline != rtf::UnderlineKind::None || format.strike;
}

} // namespace

TStringList StripCodesForManual(const TStringList& text) {
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0)
            joined += "\r\n";
        joined += text[i];
    }
    rtf::RtfDocument document = rtf::RtfDocument::Parse(joined);
    const std::string plain = document.Text();
    const std::vector<TPlainCode> codes = FindPlainCodes(plain);
    // From the last code back, so that earlier positions stay valid.
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        if (it->kind == TPlainKind::Rtf)
            continue; // unwrapped on the written RTF
        if (it->kind == TPlainKind::DoubledBrace) {
            document.Erase(it->start, 1);
            continue;
        }
        std::size_t hotspot = it->start;
        if (it->kind == TPlainKind::Link) {
            while (hotspot > 0 && plain[hotspot - 1] != rtf::kParagraphChar &&
                   IsHotspotFormat(document.CharFormatAt(hotspot - 1)))
                --hotspot;
        }
        document.Erase(it->start, it->end - it->start);
        if (hotspot < it->start) {
            rtf::CharFormat plainFormat;
            plainFormat.underline = rtf::UnderlineKind::None;
            plainFormat.strike = false;
            plainFormat.color = hotspot > 0 && plain[hotspot - 1] != rtf::kParagraphChar
                                    ? document.CharFormatAt(hotspot - 1).color
                                    : rtf::Color::Auto();
            document.SetCharFormat(hotspot, it->start - hotspot, plainFormat,
                                   rtf::kCharUnderline | rtf::kCharStrike | rtf::kCharColor);
        }
    }
    return rtf::WriteRtfLines(document);
}

namespace {

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
        ReadTopicRtf(*topic); // a topic without a font table is the user's to mend
        TStringList lines;
        try {
            lines = StripCodesForManual(topic->Text);
        } catch (const rtf::ERtfError& e) {
            throw EBrindlewoven(std::string(e.what()), topic->Number);
        }
        texts.push_back(ReadTopicRtf(lines, topic->Number));
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
        const std::string body = rtf::RemapTables(texts[i].Body, remap);
        for (std::size_t start = 0; start <= body.size();) {
            std::size_t end = body.find("\r\n", start);
            if (end == std::string::npos)
                end = body.size();
            // What is left of the codes is raw RTF, which goes in as it stands.
            line(UnwrapRtfCodes(std::string_view(body).substr(start, end - start),
                                topics[i]->Number));
            start = end + 2;
        }
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
