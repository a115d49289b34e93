#include "helpproject/writers/rtftohtml.h"

#include <memory>

#include "components/messengerseam.h"
#include "components/pcreregex.h"
#include "components/rtf/rtfdocument.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/helputils.h"
#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/textutil.h"

namespace helpproject {

namespace {

void EraseFirst(std::string& text, std::string_view what) {
    const size_t at = text.find(what);
    if (at != std::string::npos)
        text.erase(at, what.size());
}

// The attributes of a stretch of characters (a run, or a paragraph mark).
// Each character of the walked text names its stretch by index, which keeps
// the per-character cost at four bytes.
struct Stretch {
    const rtf::CharFormat* format;
    const rtf::Paragraph* paragraph;
};
struct Cells {
    std::string text;
    std::vector<std::uint32_t> stretchOf;
    std::vector<Stretch> stretches;
    size_t size() const { return text.size(); }
    const rtf::CharFormat& Format(size_t i) const { return *stretches[stretchOf[i]].format; }
    const rtf::Paragraph& Paragraph(size_t i) const { return *stretches[stretchOf[i]].paragraph; }
};

unsigned StylesOf(const rtf::CharFormat& f) {
    unsigned s = 0;
    if (f.bold)
        s |= htmlBold;
    if (f.italic)
        s |= htmlItalic;
    // Every underline counts, a double one (a jump) included.
    if (f.underline != rtf::UnderlineKind::None)
        s |= htmlUnderline;
    if (f.strike)
        s |= htmlStrikeOut;
    return s;
}

class Walker {
public:
    Walker(const TBrindlewovenProject& project, bool paragraphForm, TStringList& out)
        : project_(project), paragraphForm_(paragraphForm), out_(out) {}

    void Run(const Cells& cells) {
        if (cells.size() == 0)
            return;
        const std::string& text = cells.text;
        const rtf::Paragraph* first = &cells.Paragraph(0);
        if (paragraphForm_) {
            line_ = ParagraphStart(first->format);
        } else {
            if (first->format.bullet)
                line_ = "<LI>";
            if (first->format.alignment == rtf::Alignment::Center) {
                line_ += "<CENTER>";
                centred_ = true;
            }
        }
        tagsClosed_ = true;
        cellStart_ = line_.size();
        tabIndex_ = 0;

        size_t html = platform::FindNoCase(text, "{html=", 0);
        const size_t last = cells.size() - 1; // the final paragraph mark is not visited
        for (size_t i = 0; i < last; ++i) {
            if (i == html) {
                const size_t close = text.find('}', i);
                if (close != std::string::npos) {
                    line_.append(text, i + 6, close - i - 6);
                    html = platform::FindNoCase(text, "{html=", close + 1);
                    i = close;
                    continue;
                }
                html = std::string::npos;
            }
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const rtf::Paragraph& paragraph = cells.Paragraph(i);
            if (c == '\r') {
                if (breakPending_)
                    ParagraphEnd(paragraph);
                breakPending_ = true;
                lastMark_ = &cells.Format(i);
                continue;
            }
            if (c == '\n' || c == static_cast<unsigned char>(rtf::kObjectChar))
                continue;
            // The bullet glyph of a bulleted paragraph; a dot elsewhere is text.
            if (c == 0xB7 && paragraph.format.bullet && (i == 0 || text[i - 1] == '\r'))
                continue;
            if (breakPending_) {
                ParagraphEnd(paragraph);
                breakPending_ = false;
            }
            Open(cells.Format(i));
            Translate(cells, i);
            paraHasText_ = true;
        }
        out_.push_back(line_);
        if (!tagsClosed_)
            out_.push_back(CloseTags());
        if (paragraphForm_)
            out_.push_back(inList_ ? "</UL>" : "</P>");
    }

private:
    std::string FontTag() const { return HtmlFontTag(project_, face_, color_, size_); }

    std::string CloseTags() const {
        std::string s;
        if (styles_ & htmlStrikeOut)
            s += "</STRIKE>";
        if (styles_ & htmlUnderline)
            s += "</U>";
        if (styles_ & htmlItalic)
            s += "</I>";
        if (styles_ & htmlBold)
            s += "</B>";
        return s + "</FONT>";
    }

    void ReadFont(const rtf::CharFormat& f) {
        face_ = f.face;
        color_ = f.color.ToTColor();
        size_ = HtmlFontSize(project_, f.size / 2);
    }

    static void CleanColours(std::string& opening) {
        static constexpr std::string_view kGreen = "COLOR=\"#008000\" ";
        if (opening.find(kGreen) != std::string::npos &&
            (opening.find("<STRIKE>") != std::string::npos ||
             opening.find("<U>") != std::string::npos))
            EraseFirst(opening, kGreen);
        EraseFirst(opening, "COLOR=\"#000000\" ");
    }

    void Open(const rtf::CharFormat& f) {
        // Characters of one run share their format object: once it is open
        // and nothing was closed since, the next character opens nothing.
        if (&f == opened_ && !tagsClosed_ && !spanOpen_)
            return;
        opened_ = &f;
        if (tagsClosed_) {
            ReadFont(f);
            styles_ = StylesOf(f);
            std::string opening = FontTag();
            if (styles_ & htmlBold)
                opening += "<B>";
            if (styles_ & htmlItalic)
                opening += "<I>";
            if (styles_ & htmlUnderline)
                opening += "<U>";
            if (styles_ & htmlStrikeOut)
                opening += "<STRIKE>";
            CleanColours(opening);
            line_ += opening;
            tagsClosed_ = false;
            return;
        }
        std::string opening;
        const int size = HtmlFontSize(project_, f.size / 2);
        const TColorValue color = f.color.ToTColor();
        if (f.face != face_ || color != color_ || size != size_) {
            face_ = f.face;
            color_ = color;
            size_ = size;
            opening = FontTag();
            line_ += "</FONT>";
        }
        const unsigned styles = StylesOf(f);
        static constexpr struct {
            unsigned style;
            const char* open;
            const char* close;
        } kStyles[] = {{htmlBold, "<B>", "</B>"},
                       {htmlItalic, "<I>", "</I>"},
                       {htmlUnderline, "<U>", "</U>"},
                       {htmlStrikeOut, "<STRIKE>", "</STRIKE>"}};
        for (const auto& s : kStyles) {
            if ((styles & s.style) == (styles_ & s.style))
                continue;
            if (styles & s.style)
                opening = s.open + opening;
            else
                line_ += s.close;
        }
        styles_ = styles;
        CleanColours(opening);
        if (spanOpen_) {
            line_ += "</span>";
            spanOpen_ = false;
            cellStart_ = line_.size();
        }
        line_ += opening;
    }

    static bool BlankFollows(const Cells& cells, size_t i) {
        if (i + 1 >= cells.size())
            return false;
        const char n = cells.text[i + 1];
        return n == '\t' || n == '\n' || n == '\r' || n == ' ';
    }

    void Translate(const Cells& cells, size_t i) {
        const char c = cells.text[i];
        switch (c) {
        case '&':
            line_ += "&amp;";
            break;
        case '<':
            line_ += "&lt;";
            break;
        case '>':
            line_ += "&gt;";
            break;
        case rtf::kLineBreakChar:
            line_ += "<BR>";
            break;
        case '\t':
            if (paragraphForm_)
                TabSpan(cells.Paragraph(i).format);
            [[fallthrough]];
        case ' ':
            line_ += BlankFollows(cells, i) ? "&nbsp;" : " ";
            break;
        default:
            line_ += c;
            break;
        }
    }

    void TabSpan(const rtf::ParaFormat& p) {
        const auto& tabs = p.tabs;
        int width = 72;
        if (tabIndex_ < tabs.size())
            width =
                tabIndex_ == 0
                    ? rtf::TwipsToPoints(tabs[0].position)
                    : rtf::TwipsToPoints(tabs[tabIndex_].position - tabs[tabIndex_ - 1].position);
        width -= FirstIndent(p);
        ++tabIndex_;
        std::string span;
        if (hanging_ < 0) {
            span = "<SPAN STYLE=\"margin-left=" + std::to_string(hanging_) + "pt;" + indentReset_ +
                   "width: " + std::to_string(width) + "pt\">";
            hanging_ += width;
        } else {
            span = "<SPAN STYLE=\"" + indentReset_ + "width: " + std::to_string(width) + "pt\">";
        }
        line_.insert(std::min(cellStart_, line_.size()), span);
        line_ += " ";
        spanOpen_ = true;
    }

    // The first line's indent and the offset of the following lines, in
    // points, as the edit control reports them.
    static int FirstIndent(const rtf::ParaFormat& p) {
        return rtf::TwipsToPoints(p.leftIndent + p.firstIndent);
    }
    static int LeftOffset(const rtf::ParaFormat& p) { return rtf::TwipsToPoints(-p.firstIndent); }

    std::string ParagraphStart(const rtf::ParaFormat& p) {
        const int f = FirstIndent(p);
        const int l = LeftOffset(p);
        const int r = rtf::TwipsToPoints(p.rightIndent);
        inList_ = p.bullet;
        std::string s = p.bullet ? "<UL" : "<P";
        s += " STYLE=\"margin-top:0;margin-bottom:0;";
        if (l != 0 && !p.bullet) {
            s += "text-indent=" + std::to_string(-l) + "pt;";
            hanging_ = -l;
            indentReset_ = "text-indent=0pt;";
        } else {
            hanging_ = 0;
            indentReset_.clear();
        }
        if (f + l >= 1 || p.bullet)
            s += "margin-left=" + std::to_string(f + l) + "pt;";
        if (r > 0)
            s += "margin-right=" + std::to_string(r) + "pt;";
        if (p.alignment == rtf::Alignment::Right)
            s += "text-align=right";
        else if (p.alignment == rtf::Alignment::Center)
            s += "text-align=center";
        s += "\">";
        if (p.bullet)
            s += "<LI>";
        return s;
    }

    void ParagraphEnd(const rtf::Paragraph& next) {
        opened_ = nullptr;
        if (paragraphForm_) {
            if (!paraHasText_) {
                if (lastMark_)
                    ReadFont(*lastMark_);
                styles_ = 0;
                line_ += FontTag() + "&nbsp;";
            }
            line_ += CloseTags();
            tagsClosed_ = true;
            if (spanOpen_) {
                line_ += "</span>";
                spanOpen_ = false;
            }
            paraHasText_ = false;
            if (inList_ && next.format.bullet) {
                out_.push_back(line_);
                line_ = "<LI>";
            } else {
                out_.push_back(line_ + (inList_ ? "</UL>" : "</P>"));
                line_ = ParagraphStart(next.format);
            }
        } else {
            if (!tagsClosed_)
                line_ += CloseTags();
            tagsClosed_ = true;
            paraHasText_ = false;
            if (centred_)
                line_ += "</CENTER>";
            if (!next.format.bullet) {
                out_.push_back(line_ + "<BR>");
                line_.clear();
            } else {
                out_.push_back(line_);
                line_ = "<LI>";
            }
            centred_ = next.format.alignment == rtf::Alignment::Center;
            if (centred_)
                line_ += "<CENTER>";
        }
        cellStart_ = line_.size();
        tabIndex_ = 0;
    }

    const TBrindlewovenProject& project_;
    bool paragraphForm_;
    TStringList& out_;
    std::string line_;
    std::string face_;
    TColorValue color_ = 0;
    int size_ = 3;
    unsigned styles_ = 0;
    bool tagsClosed_ = true;
    const rtf::CharFormat* opened_ = nullptr; // the format Open last applied
    bool paraHasText_ = false;
    bool breakPending_ = false;
    bool inList_ = false;
    bool centred_ = false;
    bool spanOpen_ = false;
    size_t cellStart_ = 0;
    size_t tabIndex_ = 0;
    int hanging_ = 0;
    std::string indentReset_;
    const rtf::CharFormat* lastMark_ = nullptr;
};

} // namespace

THtmlFontSettings& HtmlFontSettings() {
    static THtmlFontSettings settings;
    return settings;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string HtmlColor(TColorValue color) {
    static const char* digits = "0123456789ABCDEF";
    std::string s = "#";
    for (int shift : {0, 8, 16}) {
        const unsigned byte = (color >> shift) & 0xFF;
        s += digits[byte >> 4];
        s += digits[byte & 15];
    }
    return s;
}

std::string HtmlBodyTag(const TBrindlewovenProject& p) {
    return "<BODY BGCOLOR=\"" + HtmlColor(p.HtmlBackgroundColor) + "\" TEXT=\"" +
           HtmlColor(p.HtmlTextColor) + "\" LINK=\"" + HtmlColor(p.HtmlLinkColor) + "\" VLINK=\"" +
           HtmlColor(p.HtmlVisitedColor) + "\" ALINK=\"" + HtmlColor(p.HtmlActiveColor) + "\">";
}

int HtmlFontSize(const TBrindlewovenProject&, int pointSize) {
    const int s = pointSize < 0 ? -pointSize : pointSize;
    if (!HtmlFontSettings().ScaleFontSizes) {
        if (s <= 8)
            return 1;
        if (s <= 10)
            return 2;
        if (s <= 12)
            return 3;
        if (s <= 15)
            return 4;
        if (s <= 19)
            return 5;
        if (s <= 23)
            return 6;
        return 7;
    }
    if (s <= 6)
        return 1;
    if (s <= 8)
        return 2;
    if (s <= 10)
        return 3;
    if (s <= 12)
        return 4;
    if (s <= 15)
        return 5;
    if (s <= 19)
        return 6;
    return 7;
}

std::string HtmlFontTag(const TBrindlewovenProject&, const std::string& face, TColorValue color,
                        int size) {
    std::string name = face;
    for (const std::string& line : HtmlFontSettings().FontSubstitutes) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && eq + 1 < line.size() &&
            platform::AnsiSameText(std::string_view(line).substr(0, eq), face)) {
            name = line.substr(eq + 1);
            break;
        }
    }
    if (color <= 0xFFFFFF)
        return "<FONT FACE=\"" + name + "\" COLOR=\"" + HtmlColor(color) + "\" SIZE=\"" +
               std::to_string(size) + "\">";
    return "<FONT FACE=\"" + name + "\" SIZE=\"" + std::to_string(size) + "\">";
}

std::string HtmlStyleOpenTags(unsigned styles) {
    std::string s;
    if (styles & htmlBold)
        s += "<B>";
    if (styles & htmlUnderline)
        s += "<U>";
    if (styles & htmlItalic)
        s += "<I>";
    if (styles & htmlStrikeOut)
        s += "<STRIKE>";
    return s;
}

std::string HtmlStyleCloseTags(unsigned styles) {
    std::string s;
    if (styles & htmlStrikeOut)
        s += "</STRIKE>";
    if (styles & htmlItalic)
        s += "</I>";
    if (styles & htmlUnderline)
        s += "</U>";
    if (styles & htmlBold)
        s += "</B>";
    return s;
}

std::string HtmlCharsetMeta(const TBrindlewovenProject& project) {
    const std::string locale = TrimText(project.LocaleID);
    // A code of more than eight digits counts by its first eight.
    const std::optional<std::uint32_t> lcid =
        platform::ParseHex32(LocaleCodeDigits(locale).substr(0, 8));
    if (!lcid)
        return {};
    const int codePage = platform::AnsiCodePageForLocale(*lcid);
    // Unicode-only and unknown locales have no ANSI code page to name.
    if (codePage <= 0)
        return {};
    return "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=windows-" +
           std::to_string(codePage) + "\">";
}

void InsertPopupScript(const TBrindlewovenProject&, TStringList& page) {
    for (size_t i = 0; i < page.size(); ++i) {
        if (platform::AnsiSameText(page[i], "</HEAD>")) {
            page.insert(page.begin() + static_cast<std::ptrdiff_t>(i),
                        {"<SCRIPT LANGUAGE=\"JavaScript\">", "function popuplink(url) {",
                         "  window.open(url, 'bwpopup', "
                         "'width=500,height=400,resizable,scrollbars');",
                         "}", "</SCRIPT>"});
            return;
        }
    }
}

std::string RemoveEmptyFontTags(const TBrindlewovenProject&, const std::string& html) {
    static const std::unique_ptr<components::TPcreRegEx> regex = [] {
        auto re = std::make_unique<components::TPcreRegEx>();
        re->SetOptions(components::preCaseLess);
        re->SetRegEx("<FONT[^>]*></FONT>");
        re->SetReplacement("");
        re->Study();
        return re;
    }();
    regex->SetInputText(html);
    regex->ReplaceEvery();
    return regex->InputText();
}

void CheckHtmlExportAbort(components::IMessenger* messenger, std::int64_t position) {
    components::CheckAbort(messenger, position, kHtmlExportAborted);
}

void RtfToHtml(const TBrindlewovenProject& project, const TBrindlewovenTopic& topic,
               TStringList& output, bool paragraphForm) {
    TStringList& cache = paragraphForm ? topic.HtmlParagraphCache : topic.HtmlLineBreakCache;
    if (cache.empty()) {
        std::string rtfText;
        for (const std::string& line : topic.Text) {
            rtfText += line;
            rtfText += "\r\n";
        }
        const rtf::RtfDocument document = rtf::RtfDocument::Parse(rtfText);
        std::string text;
        text.reserve(document.TextLength());
        for (const rtf::Paragraph& p : document.Paragraphs()) {
            for (const rtf::Run& run : p.runs)
                text += run.text;
            text += '\r';
        }
        // Text inside "{rtf=" codes is for RTF output only; nested braces
        // count, so the code ends at its own closing brace.
        std::vector<std::pair<size_t, size_t>> removed;
        for (size_t at = platform::FindNoCase(text, "{rtf=", 0); at != std::string::npos;) {
            int depth = 1;
            size_t j = at + 5;
            for (; j < text.size() && depth > 0; ++j) {
                if (text[j] == '{')
                    ++depth;
                else if (text[j] == '}')
                    --depth;
            }
            if (depth > 0)
                break;
            removed.emplace_back(at, j);
            at = platform::FindNoCase(text, "{rtf=", j);
        }
        Cells kept;
        kept.text.reserve(text.size());
        kept.stretchOf.reserve(text.size());
        size_t pos = 0;
        size_t next = 0; // the next removed range
        auto keep = [&](char c) {
            while (next < removed.size() && pos >= removed[next].second)
                ++next;
            if (next >= removed.size() || pos < removed[next].first) {
                kept.text += c;
                kept.stretchOf.push_back(static_cast<std::uint32_t>(kept.stretches.size() - 1));
            }
            ++pos;
        };
        for (const rtf::Paragraph& p : document.Paragraphs()) {
            for (const rtf::Run& run : p.runs) {
                kept.stretches.push_back({&run.format, &p});
                for (char c : run.text)
                    keep(c);
            }
            kept.stretches.push_back({&p.markFormat, &p});
            keep('\r');
        }

        Walker walker(project, paragraphForm, cache);
        walker.Run(kept);
        // The first keep-with-next code marks the end of the non-scrolling
        // region: a rule, set once when the cache is filled.
        for (std::string& line : cache) {
            const size_t at = platform::FindNoCase(line, "{keepn}", 0);
            if (at != std::string::npos) {
                line.replace(at, 7, "<HR>");
                break;
            }
        }
    }
    output.insert(output.end(), cache.begin(), cache.end());
}

} // namespace helpproject
