#include "helpproject/writers/rtftohtml.h"

#include <algorithm>
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

// The text the walker visits: the document's characters with "{rtf=" codes
// taken out. The walker only moves forward, so it finds the run or
// paragraph mark a character came from by moving a cursor along the
// document, and needs no index per character.
class Cells {
public:
    explicit Cells(const rtf::RtfDocument& document);

    std::string text;
    size_t size() const { return text.size(); }
    // Positions must not go backwards between calls.
    const rtf::CharFormat& Format(size_t i) const {
        Seek(i);
        return run_ < paragraph_->runs.size() ? document_.FormatOf(paragraph_->runs[run_])
                                              : document_.MarkFormatOf(*paragraph_);
    }
    // Where the stretch holding character i ends, in kept positions: the
    // characters before it share i's format object. Positions must not go
    // backwards (as for Format).
    size_t StretchEnd(size_t i) const {
        Seek(i);
        size_t end = stretchEnd_ - removedBefore_;
        if (nextRemoved_ < removed_.size())
            end = std::min(end, removed_[nextRemoved_].first - removedBefore_);
        return end;
    }
    const rtf::ParaFormat& ParaFormat(size_t i) const {
        Seek(i);
        return document_.ParaFormatOf(*paragraph_);
    }
    // The index of the paragraph that holds character i (its mark included).
    size_t ParagraphIndex(size_t i) const {
        Seek(i);
        return paragraphIndex_;
    }
    const rtf::RtfDocument& Document() const { return document_; }

private:
    size_t StretchLength() const {
        return run_ < paragraph_->runs.size() ? paragraph_->runs[run_].length : 1;
    }
    void Seek(size_t kept) const;

    const rtf::RtfDocument& document_;
    std::vector<std::pair<size_t, size_t>> removed_; // in positions of the document's text
    // The cursor: the next removed range and the characters removed before
    // it; the stretch (a run, or the mark when run_ is past the runs) and
    // where it ends in the document's text.
    mutable size_t nextRemoved_ = 0;
    mutable size_t removedBefore_ = 0;
    mutable size_t paragraphIndex_ = 0;
    mutable const rtf::Paragraph* paragraph_;
    mutable size_t run_ = 0;
    mutable size_t stretchEnd_;
};

// Text inside "{rtf=" codes is for RTF output only; nested braces count, so
// a code ends at its own closing brace.
Cells::Cells(const rtf::RtfDocument& document)
    : text(document.Text()), document_(document), paragraph_(&document.Paragraphs().front()),
      stretchEnd_(StretchLength()) {
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
        removed_.emplace_back(at, j);
        at = platform::FindNoCase(text, "{rtf=", j);
    }
    if (removed_.empty())
        return;
    // The kept characters move down in place.
    size_t out = removed_.front().first;
    for (size_t r = 0; r < removed_.size(); ++r) {
        const size_t from = removed_[r].second;
        const size_t to = r + 1 < removed_.size() ? removed_[r + 1].first : text.size();
        std::copy(text.begin() + static_cast<std::ptrdiff_t>(from),
                  text.begin() + static_cast<std::ptrdiff_t>(to),
                  text.begin() + static_cast<std::ptrdiff_t>(out));
        out += to - from;
    }
    text.resize(out);
}

void Cells::Seek(size_t kept) const {
    while (nextRemoved_ < removed_.size() &&
           removed_[nextRemoved_].first <= kept + removedBefore_) {
        removedBefore_ += removed_[nextRemoved_].second - removed_[nextRemoved_].first;
        ++nextRemoved_;
    }
    const size_t pos = kept + removedBefore_;
    while (stretchEnd_ <= pos) {
        if (run_ < paragraph_->runs.size()) {
            ++run_;
        } else {
            paragraph_ = &document_.Paragraphs()[++paragraphIndex_];
            run_ = 0;
        }
        stretchEnd_ += StretchLength();
    }
}

unsigned StylesOf(const rtf::CharFormat& f) {
    unsigned s = 0;
    if (f.bold)
        s |= htmlBold;
    if (f.italic)
        s |= htmlItalic;
    // WinHelp reads a double underline as a jump, like strike-out, and a
    // plain one as a popup; the link translators tell the two apart by
    // STRIKE and U.
    if (f.strike || f.underline == rtf::UnderlineKind::Double)
        s |= htmlStrikeOut;
    if (f.underline != rtf::UnderlineKind::None && f.underline != rtf::UnderlineKind::Double)
        s |= htmlUnderline;
    return s;
}

// Table elements around the paragraphs of table cells: TABLE, TR and TD
// open before a cell's first paragraph and close after its cell end, nested
// tables inside their cell.
class HtmlTables {
public:
    HtmlTables(const rtf::RtfDocument& document, const THtmlLineSink& out)
        : paragraphs_(document.Paragraphs()), out_(out) {}

    // Between the paragraph that ended and the one that starts.
    void Between(size_t ended, size_t next) {
        const rtf::Paragraph& p = paragraphs_[ended];
        if (p.cellEnd && p.depth > 0 && p.depth <= levels_.size()) {
            Level& level = levels_[p.depth - 1];
            if (level.cellOpen)
                Emit("</TD>");
            level.cellOpen = false;
            if (p.row) {
                if (level.rowOpen)
                    Emit("</TR>");
                level.rowOpen = false;
                level.cell = 0;
                level.row = nullptr;
            }
        }
        Enter(next);
    }
    // Closes what is still open at the end of the text.
    void Finish() {
        while (!levels_.empty())
            CloseLevel();
    }
    bool CellEnd(size_t index) const { return paragraphs_[index].cellEnd; }
    // Whether the two paragraphs lie in different cells or tables.
    bool Apart(size_t ended, size_t next) const {
        return paragraphs_[ended].cellEnd || paragraphs_[ended].depth != paragraphs_[next].depth;
    }

private:
    struct Level {
        const rtf::RowFormat* row = nullptr; // of the open row
        size_t cell = 0;                     // cells opened in the row
        bool rowOpen = false;
        bool cellOpen = false;
    };

    void Emit(std::string line) { out_(line); }

    void CloseLevel() {
        Level& level = levels_.back();
        if (level.cellOpen)
            Emit("</TD>");
        if (level.rowOpen)
            Emit("</TR>");
        Emit("</TABLE>");
        levels_.pop_back();
    }

    // The row that paragraph `index` belongs to at `depth`.
    const rtf::RowFormat* RowOf(size_t index, size_t depth) const {
        for (size_t i = index; i < paragraphs_.size() && paragraphs_[i].depth >= depth; ++i)
            if (paragraphs_[i].depth == depth && paragraphs_[i].row)
                return paragraphs_[i].row.get();
        return nullptr;
    }

    void Enter(size_t index) {
        const size_t depth = paragraphs_[index].depth;
        while (levels_.size() > depth)
            CloseLevel();
        for (size_t d = 1; d <= depth; ++d) {
            // The row is looked up only where a row starts, not at every
            // paragraph of its cells.
            if (levels_.size() < d || !levels_[d - 1].rowOpen) {
                const rtf::RowFormat* row = RowOf(index, d);
                if (levels_.size() < d) {
                    levels_.emplace_back();
                    Emit(TableTag(row));
                }
                Level& opened = levels_[d - 1];
                Emit("<TR>");
                opened.rowOpen = true;
                opened.row = row;
                opened.cell = 0;
            }
            Level& level = levels_[d - 1];
            if (!level.cellOpen) {
                Emit(CellTag(level.row, level.cell++));
                level.cellOpen = true;
            }
        }
    }

    static std::string TableTag(const rtf::RowFormat* row) {
        std::string tag = "<TABLE BORDER=\"";
        tag += row && row->AnyBorder() ? "1" : "0";
        tag += "\" CELLSPACING=\"0\" CELLPADDING=\"";
        tag += std::to_string(row ? std::max(row->gap, 0) / 15 : 0);
        tag += "\"";
        if (row && row->alignment == rtf::Alignment::Center)
            tag += " ALIGN=\"center\"";
        else if (row && row->alignment == rtf::Alignment::Right)
            tag += " ALIGN=\"right\"";
        return tag + ">";
    }

    static std::string CellTag(const rtf::RowFormat* row, size_t cell) {
        std::string tag = "<TD VALIGN=\"top\"";
        if (row) {
            const std::vector<int> edges = row->Edges(cell + 1);
            const int left = cell == 0 ? row->left : edges[cell - 1];
            // Widths in pixels of a 96 dpi screen.
            tag += " WIDTH=\"" + std::to_string(std::max(edges[cell] - left, 0) / 15) + "\"";
            if (cell < row->cells.size()) {
                const rtf::CellFormat& format = row->cells[cell];
                if (!format.background.isAuto) {
                    tag += " BGCOLOR=\"" + HtmlColor(format.background.ToTColor()) + "\"";
                } else if (format.shading > 0) {
                    const unsigned level =
                        255 -
                        static_cast<unsigned>(std::clamp(format.shading, 0, 10000)) * 255 / 10000;
                    tag += " BGCOLOR=\"" + HtmlColor(level | level << 8 | level << 16) + "\"";
                }
            }
        }
        return tag + ">";
    }

    const std::vector<rtf::Paragraph>& paragraphs_;
    const THtmlLineSink& out_;
    std::vector<Level> levels_;
};

class Walker {
public:
    Walker(const TBrindlewovenProject& project, const rtf::RtfDocument& document,
           bool paragraphForm, const THtmlLineSink& out)
        : project_(project), paragraphForm_(paragraphForm), out_(out), tables_(document, out) {}

    void Run(const Cells& cells) {
        if (cells.size() == 0)
            return;
        const std::string& text = cells.text;
        const rtf::ParaFormat& first = cells.ParaFormat(0);
        if (paragraphForm_) {
            line_ = ParagraphStart(first);
        } else {
            if (first.bullet)
                OpenListItem();
            if (first.alignment == rtf::Alignment::Center) {
                line_ += "<CENTER>";
                centred_ = true;
            }
        }
        tagsClosed_ = true;
        cellStart_ = line_.size();
        tabIndex_ = 0;

        size_t html = platform::FindNoCase(text, "{html=", 0);
        size_t rule = platform::FindNoCase(text, kRuleCode, 0);
        const size_t last = cells.size() - 1; // the final paragraph mark is not visited
        for (size_t i = 0; i < last; ++i) {
            if (i == html) {
                const size_t close = text.find('}', i);
                if (close != std::string::npos) {
                    line_.append(text, i + 6, close - i - 6);
                    html = platform::FindNoCase(text, "{html=", close + 1);
                    if (rule != std::string::npos && rule < close)
                        rule = platform::FindNoCase(text, kRuleCode, close + 1);
                    i = close;
                    continue;
                }
                html = std::string::npos;
            }
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const rtf::ParaFormat& paragraph = cells.ParaFormat(i);
            if (i == rule) {
                // The first keep-with-next code ends the non-scrolling region:
                // a rule after the paragraph it ends.
                if (breakPending_) {
                    ParagraphEnd(paragraph, cells.Format(i), cells.ParagraphIndex(i));
                    breakPending_ = false;
                }
                rulePending_ = true;
                paraHasText_ = true;
                rule = std::string::npos;
                i += kRuleCode.size() - 1;
                continue;
            }
            if (c == '\r') {
                if (breakPending_)
                    ParagraphEnd(paragraph, cells.Format(i), cells.ParagraphIndex(i));
                breakPending_ = true;
                ended_ = cells.ParagraphIndex(i);
                continue;
            }
            if (c == '\n' || c == static_cast<unsigned char>(rtf::kObjectChar))
                continue;
            // The bullet glyph a bulleted paragraph starts with, told from
            // text only by what stands before it.
            if (c == 0xB7 && (i == 0 || static_cast<unsigned char>(text[i - 1]) <= ' '))
                continue;
            if (breakPending_) {
                ParagraphEnd(paragraph, cells.Format(i), cells.ParagraphIndex(i));
                breakPending_ = false;
            }
            if (rulePending_)
                RuleWithinParagraph(paragraph);
            Open(cells.Format(i));
            Translate(cells, i);
            paraHasText_ = true;
            // The rest of the stretch in this format, up to a character or
            // code with a rule of its own, goes straight to the line: nothing
            // opens or closes before it.
            if (!spanOpen_) {
                const size_t end = std::min({cells.StretchEnd(i), last, html, rule});
                size_t j = i + 1;
                for (; j < end && IsPlain(text[j]); ++j)
                    if (text[j] == ' ')
                        line_ += BlankFollows(cells, j) ? "&nbsp;" : " ";
                    else
                        line_ += text[j];
                i = j - 1;
            }
        }
        Emit(std::move(line_));
        if (!tagsClosed_)
            Emit(CloseTags());
        if (paragraphForm_) {
            Emit(inList_ ? TakeRule() + "</LI></UL>" : "</P>" + TakeRule());
        } else {
            std::string end;
            if (centred_)
                end += "</CENTER>";
            end += TakeRule();
            if (inList_)
                end += "</LI></UL>";
            if (!end.empty())
                Emit(std::move(end));
        }
        tables_.Finish();
    }

private:
    static constexpr std::string_view kRuleCode = "{keepn}";

    void Emit(std::string line) { out_(line); }

    // The rule that ends the non-scrolling region, once its paragraph or
    // list item is done; it is a block of its own, so the text's tags are
    // closed before it.
    std::string TakeRule() {
        if (!rulePending_)
            return {};
        rulePending_ = false;
        return "<HR>";
    }

    // Text after the code in its own paragraph: the rule comes before it,
    // outside the paragraph (a list item holds it), and the text goes on in
    // a paragraph of the same format, its tags opened again.
    void RuleWithinParagraph(const rtf::ParaFormat& p) {
        line_ += CloseTags();
        tagsClosed_ = true;
        opened_ = nullptr;
        if (spanOpen_) {
            line_ += "</span>";
            spanOpen_ = false;
        }
        if (paragraphForm_ && !inList_) {
            line_ += "</P>" + TakeRule();
            Emit(std::move(line_));
            line_ = ParagraphStart(p);
        } else {
            line_ += TakeRule();
        }
        cellStart_ = line_.size();
    }

    std::string FontTag() const { return HtmlFontTag(project_, face_, color_, size_); }

    // The tags a character stands in. They close in the order they
    // opened: a tag that ends closes the ones opened inside it, which open
    // again after it when they go on.
    enum class Tag : std::uint8_t { Strike, Underline, Font, Bold, Italic };

    static std::string NameOf(Tag tag) {
        static constexpr const char* kNames[] = {"STRIKE", "U", "FONT", "B", "I"};
        return kNames[static_cast<std::size_t>(tag)];
    }
    std::string OpeningOf(Tag tag) const {
        return tag == Tag::Font ? FontTag() : "<" + NameOf(tag) + ">";
    }
    static std::string ClosingOf(Tag tag) { return "</" + NameOf(tag) + ">"; }

    // Whether a character of these styles stands in the tag; every one
    // stands in a font.
    static bool Wanted(Tag tag, unsigned styles) {
        static constexpr unsigned kStyles[] = {htmlStrikeOut, htmlUnderline, 0, htmlBold,
                                               htmlItalic};
        return tag == Tag::Font || (styles & kStyles[static_cast<std::size_t>(tag)]) != 0;
    }

    // The closing tags of the open tags from the innermost down to (and
    // with) the one at `from`, which are then no longer open.
    std::string ClosingFrom(std::size_t from) {
        std::string closing;
        while (open_.size() > from) {
            closing += ClosingOf(open_.back());
            open_.pop_back();
        }
        return closing;
    }

    std::string CloseTags() { return ClosingFrom(0); }

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
        if (spanOpen_) {
            // The span holds the cell's text with every tag opened in it.
            line_ += CloseTags();
            tagsClosed_ = true;
            line_ += "</span>";
            spanOpen_ = false;
            cellStart_ = line_.size();
        }
        const int size = HtmlFontSize(project_, f.size / 2);
        const TColorValue color = f.color.ToTColor();
        const bool fontChanged = tagsClosed_ || f.face != face_ || color != color_ || size != size_;
        if (fontChanged)
            ReadFont(f);
        styles_ = StylesOf(f);
        // What stays open: the open tags up to the first that ends, the
        // font only while it is the same.
        std::size_t keep = 0;
        while (keep < open_.size() && Wanted(open_[keep], styles_) &&
               !(open_[keep] == Tag::Font && fontChanged))
            ++keep;
        line_ += ClosingFrom(keep);
        // Hotspot tags that open with a new font go outside it, so that a
        // font change within the hotspot leaves it whole for the link
        // translators; the other styles go inside the font.
        static constexpr Tag kOpenOrder[] = {Tag::Strike, Tag::Underline, Tag::Font, Tag::Bold,
                                             Tag::Italic};
        std::string opening;
        for (Tag tag : kOpenOrder) {
            if (!Wanted(tag, styles_) || std::find(open_.begin(), open_.end(), tag) != open_.end())
                continue;
            opening += OpeningOf(tag);
            open_.push_back(tag);
        }
        CleanColours(opening);
        line_ += opening;
        tagsClosed_ = false;
    }

    // A character that Translate writes as itself (a blank by its own
    // rule) and that the walk passes without a look at the formats.
    static bool IsPlain(char c) {
        switch (c) {
        case '\r':
        case '\n':
        case rtf::kObjectChar:
        case rtf::kLineBreakChar:
        case '\t':
        case '&':
        case '<':
        case '>':
        case '\xB7':
            return false;
        default:
            return true;
        }
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
                TabSpan(cells.ParaFormat(i));
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

    // Line-break form: a bulleted paragraph is an item of a list, the list
    // opened with its first item.
    void OpenListItem() {
        line_ += inList_ ? "<LI>" : "<UL><LI>";
        inList_ = true;
    }

    // `caret` is the format of the character whose arrival ends the
    // paragraph: an empty paragraph keeps its height in that font.
    void ParagraphEnd(const rtf::ParaFormat& next, const rtf::CharFormat& caret, size_t nextIndex) {
        opened_ = nullptr;
        const size_t ended = ended_;
        const bool apart = tables_.Apart(ended, nextIndex);
        if (paragraphForm_) {
            if (!paraHasText_) {
                ReadFont(caret);
                styles_ = 0;
                line_ += FontTag() + "&nbsp;";
                open_.push_back(Tag::Font);
            }
            line_ += CloseTags();
            tagsClosed_ = true;
            if (spanOpen_) {
                line_ += "</span>";
                spanOpen_ = false;
            }
            paraHasText_ = false;
            if (inList_ && next.bullet && !apart) {
                line_ += TakeRule() + "</LI>";
                Emit(std::move(line_));
                line_ = "<LI>";
            } else {
                line_ += inList_ ? TakeRule() + "</LI></UL>" : "</P>" + TakeRule();
                Emit(std::move(line_));
                tables_.Between(ended, nextIndex);
                line_ = ParagraphStart(next);
            }
        } else {
            if (!tagsClosed_)
                line_ += CloseTags();
            tagsClosed_ = true;
            paraHasText_ = false;
            if (centred_)
                line_ += "</CENTER>";
            // A list ends its own lines; a cell's last line needs no break
            // either: the cell ends it.
            const bool listGoesOn = inList_ && next.bullet && !apart;
            if (inList_) {
                line_ += TakeRule() + (listGoesOn ? "</LI>" : "</LI></UL>");
                inList_ = listGoesOn;
            } else if (apart ? !tables_.CellEnd(ended) : !next.bullet) {
                // The rule breaks the line as well.
                line_ += rulePending_ ? TakeRule() : "<BR>";
            } else {
                line_ += TakeRule();
            }
            Emit(std::move(line_));
            line_.clear();
            if (apart)
                tables_.Between(ended, nextIndex);
            if (next.bullet)
                OpenListItem();
            centred_ = next.alignment == rtf::Alignment::Center;
            if (centred_)
                line_ += "<CENTER>";
        }
        cellStart_ = line_.size();
        tabIndex_ = 0;
    }

    const TBrindlewovenProject& project_;
    bool paragraphForm_;
    const THtmlLineSink& out_;
    HtmlTables tables_;
    size_t ended_ = 0; // the paragraph whose end is pending
    std::string line_;
    std::string face_;
    TColorValue color_ = 0;
    int size_ = 3;
    unsigned styles_ = 0;
    std::vector<Tag> open_;
    bool tagsClosed_ = true;
    const rtf::CharFormat* opened_ = nullptr; // the format Open last applied
    bool paraHasText_ = false;
    bool breakPending_ = false;
    bool inList_ = false;
    bool centred_ = false;
    bool spanOpen_ = false;
    bool rulePending_ = false; // the non-scrolling region's rule is to come
    size_t cellStart_ = 0;
    size_t tabIndex_ = 0;
    int hanging_ = 0;
    std::string indentReset_;
};

} // namespace

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

int HtmlFontSize(const TBrindlewovenProject& project, int pointSize) {
    const int s = pointSize < 0 ? -pointSize : pointSize;
    if (!project.HtmlScaleFontSizes) {
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

std::string HtmlFontTag(const TBrindlewovenProject& project, const std::string& face,
                        TColorValue color, int size) {
    std::string name = face;
    for (const std::string& line : project.HtmlFontSubstitutes) {
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
    // The program keeps its text in Windows-1252: that is the code page of
    // a project whose locale names none (no locale, an unknown or a
    // Unicode-only one), and a page never goes without its character set.
    constexpr int kProgramCodePage = 1252;
    const std::string locale = TrimText(project.LocaleID);
    // A code of more than eight digits counts by its first eight.
    const std::optional<std::uint32_t> lcid =
        platform::ParseHex32(LocaleCodeDigits(locale).substr(0, 8));
    const int codePage = lcid ? platform::AnsiCodePageForLocale(*lcid) : 0;
    return "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=windows-" +
           std::to_string(codePage > 0 ? codePage : kProgramCodePage) + "\">";
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

void RtfDocumentToHtml(const TBrindlewovenProject& project, const rtf::RtfDocument& document,
                       bool paragraphForm, const THtmlLineSink& output) {
    const Cells kept(document);
    Walker walker(project, document, paragraphForm, output);
    walker.Run(kept);
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
        rtfText = std::string(); // the document holds all the walk needs
        RtfDocumentToHtml(project, document, paragraphForm,
                          [&cache](std::string& line) { cache.push_back(std::move(line)); });
    }
    output.insert(output.end(), cache.begin(), cache.end());
}

} // namespace helpproject
