#include "components/rtf/rtfwriter.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "components/rtf/rtftokenizer.h"

namespace rtf {

namespace {

struct FontKey {
    std::string face;
    int charset;
    int pitch;
    FontFamily family;
    bool operator<(const FontKey& o) const {
        if (face != o.face)
            return face < o.face;
        if (charset != o.charset)
            return charset < o.charset;
        if (pitch != o.pitch)
            return pitch < o.pitch;
        return family < o.family;
    }
};

FontKey KeyOf(const CharFormat& f) {
    return {f.face, f.charset, f.pitch, f.family};
}

const FontKey kSymbolFont{"Symbol", 2, 0, FontFamily::Tech};

// The format state of the reader at a point of the output, as indexes.
struct WriterState {
    int font = 0;
    int size = 24;
    int color = 0;
    int background = 0;
    bool bold = false, italic = false, strike = false, hidden = false;
    UnderlineKind underline = UnderlineKind::None;
    ScriptKind script = ScriptKind::Normal;
    int offset = 0;
};

class Writer {
public:
    explicit Writer(const RtfDocument& doc) : doc_(doc) { out_.SetAlwaysDelimit(true); }
    std::vector<std::string> Write();

private:
    int FontIndex(const CharFormat& f) { return fontIndex_.at(KeyOf(f)); }
    int ColorIndex(const Color& c) {
        if (c.isAuto)
            return 0;
        for (std::size_t i = 1; i < colors_.size(); ++i)
            if (colors_[i] == c)
                return static_cast<int>(i);
        return 0;
    }
    void AddFont(const CharFormat& f) { AddFont(KeyOf(f)); }
    void AddFont(const FontKey& key) {
        if (fontIndex_.emplace(key, static_cast<int>(fonts_.size())).second)
            fonts_.push_back(key);
    }
    void AddColor(const Color& c) {
        if (c.isAuto)
            return;
        for (std::size_t i = 1; i < colors_.size(); ++i)
            if (colors_[i] == c)
                return;
        colors_.push_back(c);
    }
    void CollectTables();
    std::string HeaderLine() const;
    std::string ColorLine() const;
    void EmitFormat(const CharFormat& f);
    void EmitParagraphStart(const Paragraph& p, bool holdsNested);
    void EmitRowWords(const RowFormat& row);
    void EmitMark(const Paragraph& p, bool holdsNested);
    void EmitRuns(const Paragraph& p);
    void EmitObject(const std::string& raw);
    void EmitRun(const Run& run, std::string_view text);

    const RtfDocument& doc_;
    std::vector<FontKey> fonts_;
    std::map<FontKey, int> fontIndex_;
    std::vector<Color> colors_{Color::Auto()};
    bool anyBullet_ = false;
    TokenWriter out_;
    WriterState state_;
    const RowFormat* lastRow_ = nullptr; // the row definition written last
    std::string lastRowBytes_;           // and its bytes
};

void Writer::CollectTables() {
    AddFont(doc_.DefaultFormat());
    for (const Paragraph& p : doc_.Paragraphs()) {
        anyBullet_ = anyBullet_ || doc_.ParaFormatOf(p).bullet;
        for (const Run& run : p.runs) {
            const CharFormat& format = doc_.FormatOf(run);
            AddFont(format);
            AddColor(format.color);
            AddColor(format.background);
        }
        const CharFormat& mark = doc_.MarkFormatOf(p);
        AddFont(mark);
        AddColor(mark.color);
        AddColor(mark.background);
        if (p.row)
            for (const RowWord& w : p.row->words)
                if (w.isColor)
                    AddColor(w.color);
    }
    if (anyBullet_)
        AddFont(kSymbolFont);
}

std::string Writer::HeaderLine() const {
    std::string line = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        FontEntry e;
        e.family = fonts_[i].family;
        e.charset = fonts_[i].charset;
        e.pitch = fonts_[i].pitch > 0 ? fonts_[i].pitch : -1;
        e.name = fonts_[i].face;
        line += e.ToRtf(static_cast<int>(i));
    }
    line += '}';
    return line;
}

std::string Writer::ColorLine() const {
    std::string line = "{\\colortbl ;";
    for (std::size_t i = 1; i < colors_.size(); ++i) {
        ColorEntry e;
        e.red = colors_[i].red;
        e.green = colors_[i].green;
        e.blue = colors_[i].blue;
        line += e.ToRtf();
    }
    line += '}';
    return line;
}

void Writer::EmitFormat(const CharFormat& f) {
    WriterState& s = state_;
    const int font = FontIndex(f);
    if (font != s.font)
        out_.ControlWord("f", s.font = font);
    if (f.size != s.size)
        out_.ControlWord("fs", s.size = f.size);
    const int color = ColorIndex(f.color);
    if (color != s.color)
        out_.ControlWord("cf", s.color = color);
    const int background = ColorIndex(f.background);
    if (background != s.background)
        out_.ControlWord("highlight", s.background = background);
    if (f.bold != s.bold)
        f.bold ? out_.ControlWord("b") : out_.ControlWord("b", 0);
    if (f.italic != s.italic)
        f.italic ? out_.ControlWord("i") : out_.ControlWord("i", 0);
    if (f.underline != s.underline) {
        switch (f.underline) {
        case UnderlineKind::None:
            out_.ControlWord("ulnone");
            break;
        case UnderlineKind::Single:
            out_.ControlWord("ul");
            break;
        case UnderlineKind::Double:
            out_.ControlWord("uldb");
            break;
        case UnderlineKind::Dotted:
            out_.ControlWord("uld");
            break;
        }
    }
    if (f.strike != s.strike)
        f.strike ? out_.ControlWord("strike") : out_.ControlWord("strike", 0);
    if (f.hidden != s.hidden)
        f.hidden ? out_.ControlWord("v") : out_.ControlWord("v", 0);
    if (f.script != s.script) {
        out_.ControlWord(f.script == ScriptKind::Super ? "super"
                         : f.script == ScriptKind::Sub ? "sub"
                                                       : "nosupersub");
    }
    if (f.offset != s.offset) {
        if (f.offset >= 0)
            out_.ControlWord("up", f.offset);
        else
            out_.ControlWord("dn", -f.offset);
    }
    s.bold = f.bold;
    s.italic = f.italic;
    s.underline = f.underline;
    s.strike = f.strike;
    s.hidden = f.hidden;
    s.script = f.script;
    s.offset = f.offset;
}

void Writer::EmitRowWords(const RowFormat& row) {
    // Rows mostly repeat the definition of the row before.
    if (lastRow_ && (lastRow_ == &row || lastRow_->words == row.words)) {
        out_.Raw(lastRowBytes_);
        return;
    }
    const std::size_t start = out_.Result().size();
    for (const RowWord& w : row.words) {
        if (w.isColor)
            out_.ControlWord(w.name, ColorIndex(w.color));
        else if (w.hasParam)
            out_.ControlWord(w.name, w.param);
        else
            out_.ControlWord(w.name);
    }
    lastRow_ = &row;
    lastRowBytes_.assign(out_.Result(), start);
}

// A cell ends with "\cell" ("\nestcell" in a nested table); a row of the
// outermost tables with "\row" (its definition was written before its first
// cell), a nested row with its definition in "\nesttableprops", followed by
// the paragraph that readers without nested tables read instead. A row that
// holds a nested table has its definition again before "\row": readers of
// nested tables take the definition read last, which would otherwise be the
// nested row's.
void Writer::EmitMark(const Paragraph& p, bool holdsNested) {
    if (!p.cellEnd) {
        out_.ControlWord("par");
        return;
    }
    if (p.depth <= 1) {
        out_.ControlWord("cell");
        if (p.row) {
            if (holdsNested)
                EmitRowWords(*p.row);
            out_.ControlWord("row");
        }
        return;
    }
    out_.ControlWord("nestcell");
    if (!p.row)
        return;
    out_.Raw(std::string_view("{\\*"));
    out_.ControlWord("nesttableprops");
    EmitRowWords(*p.row);
    out_.ControlWord("nestrow");
    out_.GroupEnd();
    out_.GroupStart();
    out_.ControlWord("nonesttables");
    out_.ControlWord("par");
    out_.GroupEnd();
}

// In a row that holds a nested table every paragraph names its depth, "\itap1"
// too, as readers of nested tables expect after a nested row.
void Writer::EmitParagraphStart(const Paragraph& p, bool holdsNested) {
    const ParaFormat& f = doc_.ParaFormatOf(p);
    out_.ControlWord("pard");
    if (p.depth > 0) {
        out_.ControlWord("intbl");
        if (p.depth > 1 || holdsNested)
            out_.ControlWord("itap", p.depth);
    }
    switch (f.alignment) {
    case Alignment::Left:
        break;
    case Alignment::Right:
        out_.ControlWord("qr");
        break;
    case Alignment::Center:
        out_.ControlWord("qc");
        break;
    case Alignment::Justify:
        out_.ControlWord("qj");
        break;
    }
    if (f.keepNext)
        out_.ControlWord("keepn");
    if (f.firstIndent)
        out_.ControlWord("fi", f.firstIndent);
    if (f.leftIndent)
        out_.ControlWord("li", f.leftIndent);
    if (f.rightIndent)
        out_.ControlWord("ri", f.rightIndent);
    if (f.spaceBefore)
        out_.ControlWord("sb", f.spaceBefore);
    if (f.spaceAfter)
        out_.ControlWord("sa", f.spaceAfter);
    if (f.lineSpacing || f.lineSpacingMultiple) {
        out_.ControlWord("sl", f.lineSpacing);
        out_.ControlWord("slmult", f.lineSpacingMultiple ? 1 : 0);
    }
    std::size_t count = 0;
    for (const TabStop& tab : f.tabs) {
        if (++count > kMaxTabStops)
            break;
        switch (tab.leader) {
        case TabLeader::None:
            break;
        case TabLeader::Dots:
            out_.ControlWord("tldot");
            break;
        case TabLeader::Hyphens:
            out_.ControlWord("tlhyph");
            break;
        case TabLeader::Underline:
            out_.ControlWord("tlul");
            break;
        case TabLeader::Thick:
            out_.ControlWord("tlth");
            break;
        case TabLeader::Equals:
            out_.ControlWord("tleq");
            break;
        }
        switch (tab.kind) {
        case TabKind::Left:
        case TabKind::Bar:
            break;
        case TabKind::Center:
            out_.ControlWord("tqc");
            break;
        case TabKind::Right:
            out_.ControlWord("tqr");
            break;
        case TabKind::Decimal:
            out_.ControlWord("tqdec");
            break;
        }
        out_.ControlWord(tab.kind == TabKind::Bar ? "tb" : "tx", tab.position);
    }
    if (f.bullet) {
        const int symbol = fontIndex_.at(kSymbolFont);
        out_.GroupStart();
        out_.ControlWord("pntext");
        out_.ControlWord("f", symbol);
        out_.Raw(std::string_view("\\'b7"));
        out_.ControlWord("tab");
        out_.GroupEnd();
        out_.Raw(std::string_view("{\\*"));
        out_.ControlWord("pn");
        out_.ControlWord("pnlvlblt");
        out_.ControlWord("pnf", symbol);
        out_.ControlWord("pnindent", 0);
        out_.GroupStart();
        out_.ControlWord("pntxtb");
        out_.Raw(std::string_view("\\'b7"));
        out_.GroupEnd();
        out_.GroupEnd();
    }
}

void Writer::EmitObject(const std::string& raw) {
    // Objects are kept without line breaks (they mean nothing to a reader),
    // so one paragraph stays on one line.
    out_.Raw(std::string_view(StripLineBreaks(raw)));
}

void Writer::EmitRun(const Run& run, std::string_view text) {
    EmitFormat(doc_.FormatOf(run));
    if (run.IsObject())
        EmitObject(*run.object);
    else
        out_.Text(text);
}

void Writer::EmitRuns(const Paragraph& p) {
    const std::string_view text(p.text);
    std::size_t offset = 0;
    std::size_t i = 0;
    while (i < p.runs.size()) {
        const Run& run = p.runs[i];
        if (run.field) {
            const WriterState saved = state_;
            out_.GroupStart();
            out_.ControlWord("field");
            EmitObject(*run.field);
            out_.GroupStart();
            out_.ControlWord("fldrslt");
            while (i < p.runs.size() && p.runs[i].field == run.field) {
                EmitRun(p.runs[i], text.substr(offset, p.runs[i].length));
                offset += p.runs[i].length;
                ++i;
            }
            out_.GroupEnd();
            out_.GroupEnd();
            state_ = saved;
            continue;
        }
        EmitRun(run, text.substr(offset, run.length));
        offset += run.length;
        ++i;
    }
}

std::vector<std::string> Writer::Write() {
    CollectTables();
    std::vector<std::string> lines;
    lines.push_back(HeaderLine());
    lines.push_back(ColorLine());

    // Where the last typed "}" stands, so that a paragraph ending inside a
    // markup code is not broken when the code is closed further on.
    const auto& paragraphs = doc_.Paragraphs();
    std::size_t lastClose = std::string::npos;
    for (std::size_t pi = 0; pi < paragraphs.size(); ++pi)
        if (paragraphs[pi].text.find('}') != std::string::npos) // objects are kObjectChar
            lastClose = pi;

    out_.ControlWord("viewkind", 4);
    out_.ControlWord("uc", 1);
    // The definition of each row of the outermost tables goes before its
    // first cell, where every reader looks for it; the rows that hold a
    // nested table are marked on all their paragraphs.
    std::vector<const RowFormat*> rowStarts(paragraphs.size(), nullptr);
    std::vector<bool> holdsNested(paragraphs.size(), false);
    {
        std::size_t rowStart = std::string::npos;
        bool nested = false;
        for (std::size_t pi = 0; pi < paragraphs.size(); ++pi) {
            const Paragraph& p = paragraphs[pi];
            if (p.depth == 0) {
                rowStart = std::string::npos;
                nested = false;
                continue;
            }
            if (rowStart == std::string::npos)
                rowStart = pi;
            nested = nested || p.depth > 1;
            if (p.depth == 1 && p.row) {
                rowStarts[rowStart] = p.row.get();
                if (nested)
                    std::fill(holdsNested.begin() + static_cast<std::ptrdiff_t>(rowStart),
                              holdsNested.begin() + static_cast<std::ptrdiff_t>(pi) + 1, true);
                rowStart = std::string::npos;
                nested = false;
            }
        }
    }
    bool inCode = false;
    for (std::size_t pi = 0; pi < paragraphs.size(); ++pi) {
        const Paragraph& p = paragraphs[pi];
        if (rowStarts[pi])
            EmitRowWords(*rowStarts[pi]);
        EmitParagraphStart(p, holdsNested[pi]);
        EmitRuns(p);
        // A code opens with "{" and a letter within one run.
        ForEachRun(p, [&inCode](const Run& run, std::string_view text) {
            if (run.IsObject())
                return;
            for (std::size_t c = 0; c < text.size(); ++c) {
                if (text[c] == '{' && c + 1 < text.size() &&
                    std::isalpha(static_cast<unsigned char>(text[c + 1])))
                    inCode = true;
                else if (text[c] == '}')
                    inCode = false;
            }
        });
        EmitFormat(doc_.MarkFormatOf(p));
        EmitMark(p, holdsNested[pi]);
        const bool last = pi + 1 == paragraphs.size();
        if (last) {
            out_.Result() += " }";
            lines.push_back(out_.Take());
        } else if (!(inCode && lastClose != std::string::npos && lastClose > pi)) {
            lines.push_back(out_.Take());
            out_ = TokenWriter{};
            out_.SetAlwaysDelimit(true);
        }
    }
    return lines;
}

} // namespace

std::vector<std::string> WriteRtfLines(const RtfDocument& document) {
    Writer writer(document);
    return writer.Write();
}

std::string WriteRtf(const RtfDocument& document) {
    std::string out;
    for (const std::string& line : WriteRtfLines(document)) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace rtf
