// Reading RTF into the document model. One pass over the tokens with a
// stack of group states; destinations that carry no text are skipped by
// counting braces, objects are cut out of the source as they stand.
#include <algorithm>
#include <map>
#include <memory>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtftokenizer.h"
#include "components/rtf/rtftokenstream.h"
#include "platform/codepage.h"

namespace rtf {

namespace {

enum class Dest : std::uint8_t { Text, FieldGroup, PnText, Pn };

// Font size in half-points when a document sets none ("\fs" without a value too).
constexpr int kDefaultFontSize = 24;
// The largest size and raise or lowering kept, in half-points.
constexpr int kMaxHalfPoints = 32767;
// "\up" and "\dn" without a value, in half-points.
constexpr int kDefaultScriptOffset = 6;
// The most fallback characters "\ucN" may ask to skip.
constexpr int kMaxUnicodeSkip = 16;
constexpr int kHighSurrogateFirst = 0xD800;
constexpr int kHighSurrogateLast = 0xDBFF;
constexpr int kLowSurrogateFirst = 0xDC00;
constexpr int kLowSurrogateLast = 0xDFFF;
// No font looked up yet (font numbers are never below -1).
constexpr int kNoCachedFont = -2;
// Field indices: text outside any field result, and "no run started yet".
constexpr int kNoField = -1;
constexpr int kNoRunField = -2;

// Windows-1252 characters that control words stand for.
namespace cp1252 {
constexpr char kEnDash = '\x96';
constexpr char kEmDash = '\x97';
constexpr char kBullet = '\x95';
constexpr char kLeftQuote = '\x91';
constexpr char kRightQuote = '\x92';
constexpr char kLeftDoubleQuote = '\x93';
constexpr char kRightDoubleQuote = '\x94';
constexpr char kNoBreakSpace = '\xA0';
constexpr char kSoftHyphen = '\xAD';
constexpr char kMiddleDot = '\xB7';
} // namespace cp1252

// What a destination whose bytes are kept as they stand holds.
enum class Capture : std::uint8_t { Object, Stylesheet, FieldInstruction };
// The header tables read from the tokens of their group.
enum class Collect : std::uint8_t { Fonts, Colors };

struct ParaState {
    Alignment alignment = Alignment::Left;
    bool keepNext = false;
    bool bullet = false;
    bool lineMultiple = false;
    TabKind pendingKind = TabKind::Left;
    TabLeader pendingLeader = TabLeader::None;
    std::uint8_t tabCount = 0;
    int firstIndent = 0, leftIndent = 0, rightIndent = 0;
    int spaceBefore = 0, spaceAfter = 0, lineSpacing = 0;
    TabStop tabs[kMaxTabStops];
    bool inTable = false; // "\intbl"
    int nesting = -1;     // "\itapN"; -1 when not given

    // The table depth of the paragraph: "\itap" where given, else 1 in a
    // table.
    int Depth() const {
        if (inTable)
            return nesting >= 1 ? nesting : 1;
        return nesting > 0 ? nesting : 0;
    }

    bool SameAs(const ParaState& o) const {
        if (alignment != o.alignment || keepNext != o.keepNext || bullet != o.bullet ||
            lineMultiple != o.lineMultiple || tabCount != o.tabCount ||
            firstIndent != o.firstIndent || leftIndent != o.leftIndent ||
            rightIndent != o.rightIndent || spaceBefore != o.spaceBefore ||
            spaceAfter != o.spaceAfter || lineSpacing != o.lineSpacing)
            return false;
        for (std::size_t i = 0; i < tabCount; ++i)
            if (!(tabs[i] == o.tabs[i]))
                return false;
        return true;
    }
    ParaFormat ToFormat() const {
        ParaFormat f;
        f.alignment = alignment;
        f.firstIndent = firstIndent;
        f.leftIndent = leftIndent;
        f.rightIndent = rightIndent;
        f.spaceBefore = spaceBefore;
        f.spaceAfter = spaceAfter;
        f.lineSpacing = lineSpacing;
        f.lineSpacingMultiple = lineMultiple;
        f.tabs.assign(tabs, tabs + tabCount);
        f.bullet = bullet;
        f.keepNext = keepNext;
        return f;
    }
};

struct CharState {
    int font = -1; // -1: the default font
    int size = kDefaultFontSize;
    int color = -1; // colour table index, -1 none (auto)
    int background = -1;
    bool bold = false, italic = false, strike = false, hidden = false;
    UnderlineKind underline = UnderlineKind::None;
    ScriptKind script = ScriptKind::Normal;
    int offset = 0;
    bool operator==(const CharState&) const = default;
};

struct State {
    Dest dest = Dest::Text;
    bool nestedRowProperties = false; // in "{\*\nesttableprops ...}"
    int uc = 1;
    int field = kNoField; // index of the field whose result this is
    CharState chr;
    ParaState para;
};

enum class Word : std::uint8_t {
    Unknown,
    // destinations
    FontTbl,
    ColorTbl,
    Stylesheet,
    SkipDest,
    Capture,
    Field,
    FldInst,
    FldRslt,
    PnText,
    Pn,
    // document
    Deff,
    // special characters
    Par,
    Sect,
    Page,
    Line,
    Tab,
    Cell,
    NestCell,
    Row,
    NestRow,
    TRowd,
    InTbl,
    Itap,
    NestTableProps,
    EmDash,
    EnDash,
    Bullet,
    LQuote,
    RQuote,
    LDblQuote,
    RDblQuote,
    Space,
    U,
    Uc,
    // character format
    Plain,
    F,
    Fs,
    B,
    I,
    Ul,
    UlNone,
    UlDb,
    UlD,
    Strike,
    V,
    Cf,
    Cb,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    // paragraph format
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    Fi,
    Li,
    Ri,
    Sb,
    Sa,
    Sl,
    SlMult,
    KeepN,
    Tx,
    Tb,
    Tqr,
    Tqc,
    Tqdec,
    TlDot,
    TlHyph,
    TlUl,
    TlTh,
    TlEq,
    PnLvlBlt,
    PnLvlOther,
};

struct WordEntry {
    std::string_view name;
    Word word;
};

constexpr WordEntry kWords[] = {
    {"fonttbl", Word::FontTbl},
    {"colortbl", Word::ColorTbl},
    {"stylesheet", Word::Stylesheet},
    {"info", Word::SkipDest},
    {"header", Word::SkipDest},
    {"footer", Word::SkipDest},
    {"headerl", Word::SkipDest},
    {"headerr", Word::SkipDest},
    {"headerf", Word::SkipDest},
    {"footerl", Word::SkipDest},
    {"footerr", Word::SkipDest},
    {"footerf", Word::SkipDest},
    {"annotation", Word::SkipDest},
    {"atnid", Word::SkipDest},
    {"atnauthor", Word::SkipDest},
    {"atndate", Word::SkipDest},
    {"atntime", Word::SkipDest},
    {"atnref", Word::SkipDest},
    {"atnicn", Word::SkipDest},
    {"listtable", Word::SkipDest},
    {"listoverridetable", Word::SkipDest},
    {"revtbl", Word::SkipDest},
    {"rsidtbl", Word::SkipDest},
    {"xmlnstbl", Word::SkipDest},
    {"themedata", Word::SkipDest},
    {"colorschememapping", Word::SkipDest},
    {"latentstyles", Word::SkipDest},
    {"datastore", Word::SkipDest},
    {"generator", Word::SkipDest},
    {"nonshppict", Word::SkipDest},
    {"private", Word::SkipDest},
    {"template", Word::SkipDest},
    {"filetbl", Word::SkipDest},
    {"pgdsctbl", Word::SkipDest},
    {"txe", Word::SkipDest},
    {"xe", Word::SkipDest},
    {"tc", Word::SkipDest},
    {"bkmkstart", Word::SkipDest},
    {"bkmkend", Word::SkipDest},
    {"docvar", Word::SkipDest},
    {"userprops", Word::SkipDest},
    {"mmathPr", Word::SkipDest},
    {"fldtype", Word::SkipDest},
    {"pntxta", Word::SkipDest},
    {"pntxtb", Word::SkipDest},
    {"objdata", Word::SkipDest},
    {"panose", Word::SkipDest},
    {"falt", Word::SkipDest},
    {"buptim", Word::SkipDest},
    {"comment", Word::SkipDest},
    {"pict", Word::Capture},
    {"object", Word::Capture},
    {"footnote", Word::Capture},
    {"shppict", Word::Capture},
    {"shp", Word::Capture},
    {"field", Word::Field},
    {"fldinst", Word::FldInst},
    {"fldrslt", Word::FldRslt},
    {"pntext", Word::PnText},
    {"listtext", Word::PnText},
    {"pn", Word::Pn},
    {"deff", Word::Deff},
    {"par", Word::Par},
    {"sect", Word::Sect},
    {"page", Word::Page},
    {"line", Word::Line},
    {"tab", Word::Tab},
    {"cell", Word::Cell},
    {"nestcell", Word::NestCell},
    {"row", Word::Row},
    {"nestrow", Word::NestRow},
    {"trowd", Word::TRowd},
    {"intbl", Word::InTbl},
    {"itap", Word::Itap},
    {"nesttableprops", Word::NestTableProps},
    {"nonesttables", Word::SkipDest},
    {"emdash", Word::EmDash},
    {"endash", Word::EnDash},
    {"bullet", Word::Bullet},
    {"lquote", Word::LQuote},
    {"rquote", Word::RQuote},
    {"ldblquote", Word::LDblQuote},
    {"rdblquote", Word::RDblQuote},
    {"emspace", Word::Space},
    {"enspace", Word::Space},
    {"qmspace", Word::Space},
    {"u", Word::U},
    {"uc", Word::Uc},
    {"plain", Word::Plain},
    {"f", Word::F},
    {"fs", Word::Fs},
    {"b", Word::B},
    {"i", Word::I},
    {"ul", Word::Ul},
    {"ulw", Word::Ul},
    {"ulwave", Word::Ul},
    {"ulth", Word::Ul},
    {"ulhwave", Word::Ul},
    {"ululdbwave", Word::Ul},
    {"uldash", Word::Ul},
    {"uldashd", Word::Ul},
    {"uldashdd", Word::Ul},
    {"ulldash", Word::Ul},
    {"ulthdash", Word::Ul},
    {"ulthdashd", Word::Ul},
    {"ulthdashdd", Word::Ul},
    {"ulthldash", Word::Ul},
    {"ulnone", Word::UlNone},
    {"uldb", Word::UlDb},
    {"uld", Word::UlD},
    {"ulthd", Word::UlD},
    {"strike", Word::Strike},
    {"striked", Word::Strike},
    {"v", Word::V},
    {"cf", Word::Cf},
    {"cb", Word::Cb},
    {"highlight", Word::Cb},
    {"chcbpat", Word::Cb},
    {"super", Word::Super},
    {"sub", Word::Sub},
    {"nosupersub", Word::NoSuperSub},
    {"up", Word::Up},
    {"dn", Word::Dn},
    {"pard", Word::Pard},
    {"ql", Word::Ql},
    {"qr", Word::Qr},
    {"qc", Word::Qc},
    {"qj", Word::Qj},
    {"fi", Word::Fi},
    {"li", Word::Li},
    {"ri", Word::Ri},
    {"sb", Word::Sb},
    {"sa", Word::Sa},
    {"sl", Word::Sl},
    {"slmult", Word::SlMult},
    {"keepn", Word::KeepN},
    {"tx", Word::Tx},
    {"tb", Word::Tb},
    {"tqr", Word::Tqr},
    {"tqc", Word::Tqc},
    {"tqdec", Word::Tqdec},
    {"tldot", Word::TlDot},
    {"tlhyph", Word::TlHyph},
    {"tlul", Word::TlUl},
    {"tlth", Word::TlTh},
    {"tleq", Word::TlEq},
    {"pnlvlblt", Word::PnLvlBlt},
    {"pnlvlbody", Word::PnLvlOther},
    {"pnlvlcont", Word::PnLvlOther},
    {"pnlvl", Word::PnLvlOther},
};

// Open-addressing table from control word to Word, built once.
class WordTable {
public:
    WordTable() {
        for (const WordEntry& e : kWords) {
            std::size_t h = Hash(e.name) & kMask;
            while (slots_[h].word != Word::Unknown)
                h = (h + 1) & kMask;
            slots_[h] = e;
        }
    }
    Word Find(std::string_view name) const {
        std::size_t h = Hash(name) & kMask;
        while (slots_[h].word != Word::Unknown) {
            if (slots_[h].name == name)
                return slots_[h].word;
            h = (h + 1) & kMask;
        }
        return Word::Unknown;
    }

private:
    static constexpr std::size_t kSize = 512;
    static constexpr std::size_t kMask = kSize - 1;
    static std::size_t Hash(std::string_view s) {
        std::size_t h = 2166136261u;
        for (char c : s)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h ^ (h >> 9);
    }
    WordEntry slots_[kSize] = {};
};

const WordTable& Words() {
    static const WordTable table;
    return table;
}

} // namespace

DestinationText TextOfDestination(std::string_view word, bool starred) {
    switch (Words().Find(word)) {
    case Word::FontTbl:
    case Word::ColorTbl:
    case Word::Stylesheet:
    case Word::SkipDest:
    case Word::FldInst:
    case Word::PnText:
    case Word::Pn:
        return DestinationText::None;
    case Word::Capture:
        return DestinationText::Object;
    case Word::Unknown:
        return starred ? DestinationText::None : DestinationText::Text;
    default:
        return DestinationText::Text;
    }
}

class RtfParser {
public:
    RtfParser(std::string_view source, RtfDocument& doc)
        : src_(source), doc_(doc), lexer_(source) {}

    // Returns whether the last paragraph was closed by a paragraph mark.
    bool Parse();

private:
    // ---- text building
    CharFormat MakeFormat(const CharState& c) const;
    // The document's index of the format of `c`.
    std::uint32_t FormatIndex(const CharState& c);
    // The font or colour table or the default font changed: formats made
    // so far no longer follow from the character states.
    void TablesChanged();
    Run& CurrentRun();
    void AddText(std::string_view text) {
        if (text.empty())
            return;
        CurrentRun().length += text.size();
        cur_.text += text;
    }
    void AddChar(char c) {
        ++CurrentRun().length;
        cur_.text += c;
    }
    void AddObject(std::string_view raw);
    void DropEmptyLastRun();
    // Ends the paragraph; `depth` -1 takes the table depth of the state.
    void EndParagraph(bool cellEnd = false, int depth = -1);
    // Row definitions and row ends.
    bool OnRowWord(Word word, const Token& t);
    void AddRowWord(RowWord word);
    void EndRowDefinition();
    void EndRow(bool nested);
    // Gives the cell end at `index` the definition of its row.
    void AttachRow(std::size_t index, bool nested);
    // Rows whose cells ended but that never reached "\row" ("\nestrow"),
    // cut short by the end of the text or of the cell around them, keep
    // their cells: their last cell end closes them.
    void CloseOpenRows();
    void FinishParagraphs();
    void FormatChanged() { formatDirty_ = true; }

    // ---- tokens
    void OnControlWord(const Token& t);
    // The word as it acts here: a capturing destination later than the
    // group's start is skipped (after "\*") or ignored.
    Word ResolveDestination(Word word);
    void OnStarredWord(Word word, const Token& t);
    static bool IsDestinationWord(Word word);
    void OnNumberingWord(Word word);
    // Each returns whether the word was one of its kind.
    bool OnDocumentWord(Word word, const Token& t);
    bool OnCharacterWord(Word word, const Token& t);
    bool OnCharFormatWord(Word word, const Token& t);
    bool OnParaFormatWord(Word word, const Token& t);
    static bool OnTabStopWord(Word word, ParaState& para);
    static void AddTabStop(ParaState& para, TabKind kind, int position);
    void OnUnicode(int param);
    void OnSymbol(const Token& t);
    void OnText(std::string_view text);
    void OnGroupEnd();
    void StartSkip() { skipDepth_ = lexer_.Depth(); }
    void StartCapture(Capture kind);
    void StartCollect(Collect kind);
    void Destination(Word word, const Token& t);
    void SetFonts(std::vector<FontEntry> fonts);

    std::string_view src_;
    RtfDocument& doc_;
    Lexer lexer_;
    std::vector<State> stack_;
    std::vector<std::size_t> groupStarts_; // offset of each open group's "{"
    bool starPending_ = false;
    bool fresh_ = false; // nothing but "\*" read yet in the current group
    int skipChars_ = 0;
    char16_t pendingHigh_ = 0;

    // Skipping, capturing or collecting a destination: the lexer depth at
    // which it ends (0 = not active).
    int skipDepth_ = 0;
    int captureDepth_ = 0;
    Capture captureKind_ = Capture::Object;
    std::size_t captureStart_ = 0;
    int collectDepth_ = 0;
    Collect collectKind_ = Collect::Fonts;
    std::vector<Token> collected_;

    // Pn group result and pntext text.
    bool pnBullet_ = false;
    bool pnSeen_ = false;
    std::string pnText_;

    // Tables.
    std::vector<FontEntry> fonts_;
    std::map<int, std::size_t> fontIndex_;
    std::vector<ColorEntry> colors_;
    int deff_ = 0;
    mutable int cachedFont_ = kNoCachedFont;
    mutable const FontEntry* cachedEntry_ = nullptr;
    std::vector<std::shared_ptr<const std::string>> fields_;

    bool finished_ = false;
    bool lastClosed_ = true;

    // The row definition being read, and the last ones read for rows of
    // the outermost tables and of nested ones.
    std::vector<RowWord> rowWords_;
    // While the words read so far are the first `rowMatched_` words of the
    // definition before, `rowSame_` is that definition and `rowWords_` is empty.
    const RowFormat* rowSame_ = nullptr;
    std::size_t rowMatched_ = 0;
    bool rowActive_ = false;
    bool rowNested_ = false;
    std::shared_ptr<const RowFormat> row_;
    std::shared_ptr<const RowFormat> nestedRow_;
    bool anyTable_ = false;

    // Character states met lately and their format indices: text switches
    // between a few states (plain, bold, plain ...), and each would
    // otherwise build and look up a whole format.
    struct CachedFormat {
        CharState state;
        std::uint32_t index = 0;
        bool used = false;
    };
    static constexpr std::size_t kFormatCacheSize = 8;
    CachedFormat formatCache_[kFormatCacheSize];
    std::size_t formatCacheNext_ = 0;

    // Paragraph being built; its text and runs are reused from one paragraph
    // to the next and copied out at their final size.
    Paragraph cur_;
    bool formatDirty_ = true;
    int runField_ = kNoRunField;
    ParaState lastPara_;
    std::uint32_t lastParaFormat_ = 0;
    bool haveLastPara_ = false;
};

CharFormat RtfParser::MakeFormat(const CharState& c) const {
    CharFormat f;
    int number = c.font >= 0 ? c.font : deff_;
    if (number != cachedFont_) {
        cachedFont_ = number;
        auto it = fontIndex_.find(number);
        if (it == fontIndex_.end())
            it = fontIndex_.find(deff_);
        cachedEntry_ = it != fontIndex_.end() ? &fonts_[it->second]
                                              : (fonts_.empty() ? nullptr : &fonts_.front());
    }
    if (cachedEntry_) {
        f.face = cachedEntry_->name;
        f.charset = cachedEntry_->charset < 0 ? 0 : cachedEntry_->charset;
        f.pitch = cachedEntry_->pitch < 0 ? 0 : cachedEntry_->pitch;
        f.family = cachedEntry_->family;
    } else {
        const CharFormat& d = doc_.defaultFormat_;
        f.face = d.face;
        f.charset = d.charset;
        f.pitch = d.pitch;
        f.family = d.family;
    }
    f.size = c.size;
    auto color = [&](int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= colors_.size())
            return Color::Auto();
        const ColorEntry& e = colors_[static_cast<std::size_t>(index)];
        return e.isAuto ? Color::Auto() : Color::Rgb(e.red, e.green, e.blue);
    };
    f.color = color(c.color);
    f.background = c.background <= 0 ? Color::Auto() : color(c.background);
    f.bold = c.bold;
    f.italic = c.italic;
    f.underline = c.underline;
    f.strike = c.strike;
    f.hidden = c.hidden;
    f.script = c.script;
    f.offset = c.offset;
    return f;
}

std::uint32_t RtfParser::FormatIndex(const CharState& c) {
    for (const CachedFormat& cached : formatCache_)
        if (cached.used && cached.state == c)
            return cached.index;
    CachedFormat& slot = formatCache_[formatCacheNext_];
    formatCacheNext_ = (formatCacheNext_ + 1) % kFormatCacheSize;
    slot.state = c;
    slot.index = doc_.Intern(MakeFormat(c));
    slot.used = true;
    return slot.index;
}

void RtfParser::TablesChanged() {
    cachedFont_ = kNoCachedFont;
    for (CachedFormat& cached : formatCache_)
        cached.used = false;
    formatDirty_ = true;
}

Run& RtfParser::CurrentRun() {
    const State& s = stack_.back();
    if (!formatDirty_ && runField_ == s.field && !cur_.runs.empty() && !cur_.runs.back().IsObject())
        return cur_.runs.back();
    const std::uint32_t format = FormatIndex(s.chr);
    std::shared_ptr<const std::string> field =
        s.field >= 0 ? fields_[static_cast<std::size_t>(s.field)] : nullptr;
    formatDirty_ = false;
    runField_ = s.field;
    if (!cur_.runs.empty()) {
        Run& last = cur_.runs.back();
        if (!last.IsObject() && last.field == field && last.format == format)
            return last;
        if (last.length == 0 && !last.IsObject()) {
            last.format = format;
            last.field = std::move(field);
            return last;
        }
    }
    cur_.runs.push_back(Run{0, format, {}, std::move(field)});
    return cur_.runs.back();
}

void RtfParser::DropEmptyLastRun() {
    if (!cur_.runs.empty() && cur_.runs.back().length == 0 && !cur_.runs.back().IsObject())
        cur_.runs.pop_back();
}

void RtfParser::AddObject(std::string_view raw) {
    Run run;
    run.length = 1;
    run.format = FormatIndex(stack_.back().chr);
    run.object = std::make_shared<const std::string>(StripLineBreaks(raw));
    DropEmptyLastRun();
    cur_.runs.push_back(std::move(run));
    cur_.text += kObjectChar;
    formatDirty_ = true;
}

void RtfParser::EndParagraph(bool cellEnd, int depth) {
    const State& s = stack_.back();
    if (depth < 0)
        depth = s.para.Depth();
    depth = std::min(depth, 255);
    anyTable_ = anyTable_ || depth > 0;
    if (!haveLastPara_ || !lastPara_.SameAs(s.para)) {
        lastPara_ = s.para;
        lastParaFormat_ = doc_.Intern(s.para.ToFormat());
        haveLastPara_ = true;
    }
    DropEmptyLastRun();
    Paragraph& p = doc_.paragraphs_.emplace_back();
    p.format = lastParaFormat_;
    p.markFormat = FormatIndex(s.chr);
    p.depth = static_cast<std::uint8_t>(depth);
    p.cellEnd = cellEnd;
    p.text = std::string(cur_.text); // at its size: the buffer stays for the next one
    p.runs.reserve(cur_.runs.size());
    p.runs.assign(std::make_move_iterator(cur_.runs.begin()),
                  std::make_move_iterator(cur_.runs.end()));
    cur_.text.clear();
    cur_.runs.clear();
    formatDirty_ = true;
}

void RtfParser::FinishParagraphs() {
    finished_ = true;
    lastClosed_ = true;
    if (!cur_.runs.empty() || doc_.paragraphs_.empty()) {
        EndParagraph();
        lastClosed_ = false;
    }
}

void RtfParser::StartCapture(Capture kind) {
    captureDepth_ = lexer_.Depth();
    captureKind_ = kind;
    captureStart_ = groupStarts_.empty() ? 0 : groupStarts_.back();
}

void RtfParser::StartCollect(Collect kind) {
    collectDepth_ = lexer_.Depth();
    collectKind_ = kind;
    collected_.clear();
    Token open;
    open.kind = TokenKind::GroupStart;
    open.raw = src_.substr(groupStarts_.empty() ? 0 : groupStarts_.back(), 1);
    collected_.push_back(open);
}

void RtfParser::SetFonts(std::vector<FontEntry> fonts) {
    fonts_ = std::move(fonts);
    fontIndex_.clear();
    for (std::size_t i = 0; i < fonts_.size(); ++i)
        fontIndex_.emplace(fonts_[i].number, i);
    TablesChanged();
}

bool RtfParser::OnRowWord(Word word, const Token& t) {
    if (stack_.back().dest != Dest::Text)
        return false;
    if (word == Word::TRowd) {
        EndRowDefinition();
        rowWords_.clear();
        rowActive_ = true;
        rowNested_ = stack_.back().nestedRowProperties;
        // Rows mostly repeat the definition before: the words are compared
        // with it as they come and only kept once they differ.
        const std::shared_ptr<const RowFormat>& previous = rowNested_ ? nestedRow_ : row_;
        rowSame_ = previous ? previous.get() : nullptr;
        rowMatched_ = 0;
        AddRowWord(RowWord{"trowd"});
        return true;
    }
    if (!rowActive_ || word != Word::Unknown || !IsRowWord(t.name))
        return false;
    const bool isColor = IsRowColorWord(t.name);
    Color color;
    if (isColor && t.hasParam && t.param >= 0 &&
        static_cast<std::size_t>(t.param) < colors_.size()) {
        const ColorEntry& e = colors_[static_cast<std::size_t>(t.param)];
        if (!e.isAuto)
            color = Color::Rgb(e.red, e.green, e.blue);
    }
    if (rowSame_ && rowMatched_ < rowSame_->words.size()) {
        const RowWord& same = rowSame_->words[rowMatched_];
        // A colour word's colour stands for its parameter (kept 0): numbers
        // change with the colour table.
        if (same.name == t.name && same.hasParam == t.hasParam && same.isColor == isColor &&
            same.param == (isColor ? 0 : t.param) && same.color == color) {
            ++rowMatched_;
            return true;
        }
    }
    RowWord w{std::string(t.name), t.hasParam, isColor ? 0 : t.param};
    w.isColor = isColor;
    w.color = color;
    AddRowWord(std::move(w));
    return true;
}

void RtfParser::AddRowWord(RowWord word) {
    if (rowSame_) {
        if (rowMatched_ < rowSame_->words.size() && rowSame_->words[rowMatched_] == word) {
            ++rowMatched_;
            return;
        }
        // It differs from here on: the words so far are those matched.
        rowWords_.assign(rowSame_->words.begin(),
                         rowSame_->words.begin() + static_cast<std::ptrdiff_t>(rowMatched_));
        rowSame_ = nullptr;
    }
    rowWords_.push_back(std::move(word));
}

void RtfParser::EndRowDefinition() {
    if (!rowActive_)
        return;
    rowActive_ = false;
    std::shared_ptr<const RowFormat>& row = rowNested_ ? nestedRow_ : row_;
    if (rowSame_ && rowMatched_ == rowSame_->words.size()) {
        // The definition before, word for word: the rows share it.
    } else {
        if (rowSame_)
            rowWords_.assign(rowSame_->words.begin(),
                             rowSame_->words.begin() + static_cast<std::ptrdiff_t>(rowMatched_));
        row = std::make_shared<const RowFormat>(RowFormat::FromWords(rowWords_));
    }
    rowSame_ = nullptr;
    rowWords_.clear();
}

void RtfParser::EndRow(bool nested) {
    EndRowDefinition();
    if (!cur_.runs.empty()) {
        const int depth = stack_.back().para.Depth();
        EndParagraph(true, std::max(depth, nested ? 2 : 1));
    }
    auto& paragraphs = doc_.paragraphs_;
    if (paragraphs.empty() || !paragraphs.back().cellEnd || paragraphs.back().row)
        return;
    AttachRow(paragraphs.size() - 1, nested);
}

void RtfParser::AttachRow(std::size_t index, bool nested) {
    auto& paragraphs = doc_.paragraphs_;
    std::shared_ptr<const RowFormat> row = nested ? nestedRow_ : row_;
    if (!row) {
        // No definition read: cells an inch wide each.
        const std::uint8_t depth = paragraphs[index].depth;
        std::size_t cells = 0;
        for (std::size_t i = index + 1; i-- > 0;) {
            const Paragraph& p = paragraphs[i];
            if (p.depth < depth || (p.depth == depth && p.row))
                break;
            if (p.depth == depth && p.cellEnd)
                ++cells;
        }
        std::vector<int> edges;
        for (std::size_t c = 1; c <= cells; ++c)
            edges.push_back(static_cast<int>(c) * 1440);
        row = std::make_shared<const RowFormat>(RowFormat::WithEdges(edges));
        (nested ? nestedRow_ : row_) = row;
    }
    paragraphs[index].row = std::move(row);
}

void RtfParser::CloseOpenRows() {
    EndRowDefinition();
    auto& paragraphs = doc_.paragraphs_;
    // By depth: the last cell end that no row end followed yet.
    std::vector<std::size_t> open;
    auto closeFrom = [&](std::size_t depth) {
        for (std::size_t d = open.size(); d > depth; --d)
            if (open[d - 1] != paragraphs.size())
                AttachRow(open[d - 1], d > 1);
        open.resize(std::min(open.size(), depth));
    };
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& p = paragraphs[i];
        closeFrom(p.depth); // the tables deeper than this paragraph have ended
        if (p.depth == 0)
            continue;
        open.resize(std::max<std::size_t>(open.size(), p.depth), paragraphs.size());
        if (p.row)
            open[p.depth - 1] = paragraphs.size();
        else if (p.cellEnd)
            open[p.depth - 1] = i;
    }
    closeFrom(0);
}

void RtfParser::Destination(Word word, const Token& t) {
    State& s = stack_.back();
    switch (word) {
    case Word::FontTbl:
        StartCollect(Collect::Fonts);
        break;
    case Word::ColorTbl:
        StartCollect(Collect::Colors);
        break;
    case Word::Stylesheet:
        StartCapture(Capture::Stylesheet);
        break;
    case Word::Capture:
        StartCapture(Capture::Object);
        break;
    case Word::FldInst:
        StartCapture(Capture::FieldInstruction);
        break;
    case Word::Field:
        s.dest = Dest::FieldGroup;
        break;
    case Word::FldRslt:
        s.dest = Dest::Text;
        break;
    case Word::PnText:
        s.dest = Dest::PnText;
        pnText_.clear();
        break;
    case Word::Pn:
        s.dest = Dest::Pn;
        pnBullet_ = false;
        pnSeen_ = false;
        break;
    default:
        (void)t;
        StartSkip();
        break;
    }
}

Word RtfParser::ResolveDestination(Word word) {
    // A destination that captures its group's bytes must open the group;
    // later in a group it would take text that was already read.
    const bool fresh = fresh_;
    fresh_ = false;
    if (!fresh && (word == Word::Capture || word == Word::FontTbl || word == Word::ColorTbl ||
                   word == Word::Stylesheet || word == Word::FldInst))
        return starPending_ ? Word::SkipDest : Word::Unknown;
    return word;
}

void RtfParser::OnStarredWord(Word word, const Token& t) {
    starPending_ = false;
    switch (word) {
    case Word::FldInst:
    case Word::Pn:
    case Word::Capture:
    case Word::PnText:
        Destination(word, t);
        break;
    case Word::NestTableProps:
        // Read as it stands: the row definition of a nested row and its end.
        stack_.back().nestedRowProperties = true;
        break;
    default:
        StartSkip(); // an optional destination we do not read
        break;
    }
}

bool RtfParser::IsDestinationWord(Word word) {
    switch (word) {
    case Word::FontTbl:
    case Word::ColorTbl:
    case Word::Stylesheet:
    case Word::SkipDest:
    case Word::Capture:
    case Word::Field:
    case Word::FldInst:
    case Word::FldRslt:
    case Word::PnText:
    case Word::Pn:
        return true;
    default:
        return false;
    }
}

void RtfParser::OnControlWord(const Token& t) {
    Word word = ResolveDestination(Words().Find(t.name));
    if (starPending_) {
        OnStarredWord(word, t);
        return;
    }
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    if (OnRowWord(word, t))
        return;
    EndRowDefinition();
    if (word == Word::Unknown)
        return;
    if (IsDestinationWord(word)) {
        Destination(word, t);
        return;
    }
    if (stack_.back().dest == Dest::Pn) {
        OnNumberingWord(word);
        return;
    }
    if (OnDocumentWord(word, t) || OnCharacterWord(word, t) || OnParaFormatWord(word, t))
        return;
    if (OnCharFormatWord(word, t))
        FormatChanged();
}

void RtfParser::OnNumberingWord(Word word) {
    if (word == Word::PnLvlBlt) {
        pnBullet_ = true;
        pnSeen_ = true;
    } else if (word == Word::PnLvlOther) {
        pnBullet_ = false;
        pnSeen_ = true;
    }
}

bool RtfParser::OnDocumentWord(Word word, const Token& t) {
    if (word != Word::Deff)
        return false;
    if (t.hasParam) {
        deff_ = t.param;
        TablesChanged();
    }
    return true;
}

namespace {

// The Windows-1252 character a control word stands for, or 0.
char SpecialCharacter(Word word) {
    switch (word) {
    case Word::Tab:
        return '\t';
    case Word::Line:
        return kLineBreakChar;
    case Word::EmDash:
        return cp1252::kEmDash;
    case Word::EnDash:
        return cp1252::kEnDash;
    case Word::Bullet:
        return cp1252::kBullet;
    case Word::LQuote:
        return cp1252::kLeftQuote;
    case Word::RQuote:
        return cp1252::kRightQuote;
    case Word::LDblQuote:
        return cp1252::kLeftDoubleQuote;
    case Word::RDblQuote:
        return cp1252::kRightDoubleQuote;
    case Word::Space:
        return ' ';
    default:
        return 0;
    }
}

} // namespace

bool RtfParser::OnCharacterWord(Word word, const Token& t) {
    const State& s = stack_.back();
    switch (word) {
    case Word::Par:
        if (s.dest == Dest::Text)
            EndParagraph();
        return true;
    case Word::Sect:
    case Word::Page:
        if (s.dest == Dest::Text && !cur_.runs.empty())
            EndParagraph();
        return true;
    case Word::Cell:
    case Word::NestCell:
        if (s.dest == Dest::Text)
            EndParagraph(true, std::max(s.para.Depth(), word == Word::Cell ? 1 : 2));
        return true;
    case Word::Row:
    case Word::NestRow:
        if (s.dest == Dest::Text)
            EndRow(word == Word::NestRow);
        return true;
    case Word::U:
        OnUnicode(t.param);
        return true;
    case Word::Uc:
        stack_.back().uc = std::clamp(t.param, 0, kMaxUnicodeSkip);
        return true;
    default:
        break;
    }
    const char c = SpecialCharacter(word);
    if (c == 0)
        return false;
    OnText(std::string_view(&c, 1));
    return true;
}

void RtfParser::OnUnicode(int param) {
    const State& s = stack_.back();
    // The parameter is a signed 16-bit number: negative values stand for
    // the upper half of the range.
    const int v = param < 0 ? param + 0x10000 : param;
    const bool high = v >= kHighSurrogateFirst && v <= kHighSurrogateLast;
    char out = '?';
    if (high) {
        pendingHigh_ = static_cast<char16_t>(v);
    } else if (v >= kLowSurrogateFirst && v <= kLowSurrogateLast && pendingHigh_) {
        pendingHigh_ = 0;
        out = 0; // the pair's "?" was written with its high half
    } else {
        pendingHigh_ = 0;
        int b = platform::UnicodeToCp1252(static_cast<char32_t>(v));
        out = b >= 0 ? static_cast<char>(b) : '?';
    }
    if (out != 0) {
        if (s.dest == Dest::Text)
            AddChar(out);
        else if (s.dest == Dest::PnText)
            pnText_ += out;
    }
    skipChars_ = s.uc;
}

bool RtfParser::OnCharFormatWord(Word word, const Token& t) {
    CharState& c = stack_.back().chr;
    const int p = t.param;
    const bool on = !t.hasParam || p != 0;
    switch (word) {
    case Word::Plain:
        c = CharState{};
        return true;
    case Word::F:
        if (t.hasParam)
            c.font = p;
        return true;
    case Word::Fs:
        c.size = t.hasParam && p > 0 ? std::min(p, kMaxHalfPoints) : kDefaultFontSize;
        return true;
    case Word::B:
        c.bold = on;
        return true;
    case Word::I:
        c.italic = on;
        return true;
    case Word::Ul:
        c.underline = on ? UnderlineKind::Single : UnderlineKind::None;
        return true;
    case Word::UlNone:
        c.underline = UnderlineKind::None;
        return true;
    case Word::UlDb:
        c.underline = on ? UnderlineKind::Double : UnderlineKind::None;
        return true;
    case Word::UlD:
        c.underline = on ? UnderlineKind::Dotted : UnderlineKind::None;
        return true;
    case Word::Strike:
        c.strike = on;
        return true;
    case Word::V:
        c.hidden = on;
        return true;
    case Word::Cf:
        c.color = t.hasParam ? p : 0;
        return true;
    case Word::Cb:
        c.background = t.hasParam ? p : 0;
        return true;
    case Word::Super:
        c.script = on ? ScriptKind::Super : ScriptKind::Normal;
        return true;
    case Word::Sub:
        c.script = on ? ScriptKind::Sub : ScriptKind::Normal;
        return true;
    case Word::NoSuperSub:
        c.script = ScriptKind::Normal;
        return true;
    case Word::Up:
        c.offset =
            t.hasParam ? std::clamp(p, -kMaxHalfPoints, kMaxHalfPoints) : kDefaultScriptOffset;
        return true;
    case Word::Dn:
        c.offset =
            -(t.hasParam ? std::clamp(p, -kMaxHalfPoints, kMaxHalfPoints) : kDefaultScriptOffset);
        return true;
    default:
        return false;
    }
}

bool RtfParser::OnParaFormatWord(Word word, const Token& t) {
    ParaState& para = stack_.back().para;
    const int p = t.param;
    switch (word) {
    case Word::Pard:
        para = ParaState{};
        return true;
    case Word::Ql:
        para.alignment = Alignment::Left;
        return true;
    case Word::Qr:
        para.alignment = Alignment::Right;
        return true;
    case Word::Qc:
        para.alignment = Alignment::Center;
        return true;
    case Word::Qj:
        para.alignment = Alignment::Justify;
        return true;
    case Word::Fi:
        para.firstIndent = p;
        return true;
    case Word::Li:
        para.leftIndent = p;
        return true;
    case Word::Ri:
        para.rightIndent = p;
        return true;
    case Word::Sb:
        para.spaceBefore = p;
        return true;
    case Word::Sa:
        para.spaceAfter = p;
        return true;
    case Word::Sl:
        para.lineSpacing = p;
        return true;
    case Word::SlMult:
        para.lineMultiple = !t.hasParam || p != 0;
        return true;
    case Word::KeepN:
        para.keepNext = !t.hasParam || p != 0;
        return true;
    case Word::InTbl:
        para.inTable = !t.hasParam || p != 0;
        return true;
    case Word::Itap:
        para.nesting = std::clamp(p, 0, 255);
        return true;
    case Word::Tx:
    case Word::Tb:
        AddTabStop(para, word == Word::Tb ? TabKind::Bar : para.pendingKind, p);
        return true;
    default:
        return OnTabStopWord(word, para);
    }
}

void RtfParser::AddTabStop(ParaState& para, TabKind kind, int position) {
    if (para.tabCount < kMaxTabStops) {
        TabStop& tab = para.tabs[para.tabCount++];
        tab.position = position;
        tab.kind = kind;
        tab.leader = para.pendingLeader;
    }
    para.pendingKind = TabKind::Left;
    para.pendingLeader = TabLeader::None;
}

// The words that describe the next tab stop: its kind and its leader.
bool RtfParser::OnTabStopWord(Word word, ParaState& para) {
    switch (word) {
    case Word::Tqr:
        para.pendingKind = TabKind::Right;
        return true;
    case Word::Tqc:
        para.pendingKind = TabKind::Center;
        return true;
    case Word::Tqdec:
        para.pendingKind = TabKind::Decimal;
        return true;
    case Word::TlDot:
        para.pendingLeader = TabLeader::Dots;
        return true;
    case Word::TlHyph:
        para.pendingLeader = TabLeader::Hyphens;
        return true;
    case Word::TlUl:
        para.pendingLeader = TabLeader::Underline;
        return true;
    case Word::TlTh:
        para.pendingLeader = TabLeader::Thick;
        return true;
    case Word::TlEq:
        para.pendingLeader = TabLeader::Equals;
        return true;
    default:
        return false;
    }
}

void RtfParser::OnSymbol(const Token& t) {
    if (t.symbol == '*') {
        starPending_ = true;
        return;
    }
    starPending_ = false;
    fresh_ = false;
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    switch (t.symbol) {
    case '\\':
    case '{':
    case '}':
        OnText(std::string_view(&t.symbol, 1));
        break;
    case '~':
        OnText(std::string_view(&cp1252::kNoBreakSpace, 1));
        break;
    case '-':
        OnText(std::string_view(&cp1252::kSoftHyphen, 1));
        break;
    case '_':
        OnText("-");
        break;
    case '\r':
    case '\n':
        if (stack_.back().dest == Dest::Text)
            EndParagraph();
        break;
    case '\t':
        OnText("\t");
        break;
    default:
        break;
    }
}

void RtfParser::OnText(std::string_view text) {
    EndRowDefinition();
    if (skipChars_ > 0) {
        std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(skipChars_), text.size());
        skipChars_ -= static_cast<int>(n);
        text.remove_prefix(n);
        if (text.empty())
            return;
    }
    switch (stack_.back().dest) {
    case Dest::Text:
        AddText(text);
        break;
    case Dest::PnText:
        pnText_ += text;
        break;
    default:
        break;
    }
}

void RtfParser::OnGroupEnd() {
    const State popped = stack_.back();
    stack_.pop_back();
    groupStarts_.pop_back();
    State& s = stack_.back();
    if (popped.dest == Dest::PnText && s.dest != Dest::PnText) {
        std::string mark = pnText_;
        while (!mark.empty() && (mark.back() == '\t' || mark.back() == ' '))
            mark.pop_back();
        while (!mark.empty() && mark.front() == ' ')
            mark.erase(0, 1);
        if (mark.empty() ||
            (mark.size() == 1 && (mark[0] == cp1252::kMiddleDot || mark[0] == cp1252::kBullet))) {
            s.para.bullet = true;
        } else if (s.dest == Dest::Text) {
            // Numbering text of a list we do not model: keep it as text.
            AddText(pnText_);
        }
        pnText_.clear();
    } else if (popped.dest == Dest::Pn && s.dest != Dest::Pn) {
        if (pnSeen_)
            s.para.bullet = pnBullet_;
    }
    const bool charChanged = !(popped.chr == s.chr) || popped.field != s.field;
    if (charChanged)
        formatDirty_ = true;
}

bool RtfParser::Parse() {
    doc_.paragraphs_.clear();
    // A paragraph takes well over 100 bytes of RTF as a rule; reserving
    // spares most moves of a growing vector on long documents.
    doc_.paragraphs_.reserve(src_.size() / 128 + 1);
    doc_.stylesheet_.clear();
    stack_.reserve(64);
    stack_.push_back(State{}); // outside the document group
    groupStarts_.push_back(0);
    cur_ = Paragraph{};
    Token t;
    while (lexer_.Next(t)) {
        // Destinations being skipped, captured or collected.
        if (skipDepth_ || captureDepth_ || collectDepth_) {
            if (collectDepth_)
                collected_.push_back(t);
            if (t.kind != TokenKind::GroupEnd)
                continue;
            const int depth = lexer_.Depth();
            if (skipDepth_ && depth < skipDepth_) {
                skipDepth_ = 0;
            } else if (captureDepth_ && depth < captureDepth_) {
                captureDepth_ = 0;
                std::size_t end = t.Offset(src_) + 1;
                std::string_view raw = src_.substr(captureStart_, end - captureStart_);
                if (captureKind_ == Capture::Object) {
                    stack_.pop_back();
                    groupStarts_.pop_back();
                    if (stack_.back().dest == Dest::Text && stack_.size() > 1)
                        AddObject(raw);
                    formatDirty_ = true;
                    if (stack_.size() == 1)
                        break;
                    continue;
                }
                if (captureKind_ == Capture::Stylesheet) {
                    doc_.stylesheet_ = std::string(raw);
                } else {
                    fields_.push_back(std::make_shared<const std::string>(StripLineBreaks(raw)));
                    stack_[stack_.size() - 2].field = static_cast<int>(fields_.size()) - 1;
                }
            } else if (collectDepth_ && depth < collectDepth_) {
                collectDepth_ = 0;
                if (collectKind_ == Collect::Fonts)
                    SetFonts(ParseFontTable(collected_));
                else
                    colors_ = ParseColorTable(collected_);
                TablesChanged();
            } else {
                continue;
            }
            OnGroupEnd();
            if (stack_.size() == 1)
                break;
            continue;
        }
        switch (t.kind) {
        case TokenKind::GroupStart:
            skipChars_ = 0;
            starPending_ = false;
            stack_.push_back(stack_.back());
            groupStarts_.push_back(t.Offset(src_));
            fresh_ = true;
            break;
        case TokenKind::GroupEnd:
            skipChars_ = 0;
            starPending_ = false;
            fresh_ = false;
            if (stack_.size() == 2) {
                // The document group closes: its state still applies to
                // text after the last paragraph mark.
                FinishParagraphs();
                stack_.pop_back();
                goto done;
            }
            if (stack_.size() > 1)
                OnGroupEnd();
            break;
        case TokenKind::ControlWord:
            OnControlWord(t);
            break;
        case TokenKind::ControlSymbol:
            OnSymbol(t);
            break;
        case TokenKind::HexByte: {
            starPending_ = false;
            fresh_ = false;
            if (skipChars_ > 0) {
                --skipChars_;
                break;
            }
            char c = static_cast<char>(t.param);
            OnText(std::string_view(&c, 1));
            break;
        }
        case TokenKind::Text:
            starPending_ = false;
            fresh_ = false;
            if (stack_.size() > 1)
                OnText(t.raw);
            break;
        case TokenKind::LineBreak:
        case TokenKind::BinaryData:
            break;
        }
    }
done:
    if (!lexer_.Error().empty())
        throw ERtfError(lexer_.Error());
    if (!finished_) {
        // Input that ends inside its groups: the innermost state applies.
        FinishParagraphs();
    }
    bool lastClosed = lastClosed_;
    if (anyTable_) {
        CloseOpenRows();
        const bool endsInTable = doc_.paragraphs_.back().depth > 0;
        doc_.NormalizeTables();
        if (endsInTable)
            lastClosed = false; // the paragraph after the table is open
    }
    // The document's default format: its default font at the default size.
    CharFormat def = MakeFormat(CharState{});
    def.size = kDefaultFontSize;
    doc_.defaultFormat_ = def;
    doc_.Invalidate();
    return lastClosed;
}

namespace {

bool LooksLikeRtf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    return text.substr(i, 5) == "{\\rtf";
}

} // namespace

RtfDocument RtfDocument::Parse(std::string_view text) {
    if (!LooksLikeRtf(text))
        return FromPlainText(text);
    RtfDocument doc;
    RtfParser parser(text, doc);
    parser.Parse();
    return doc;
}

void RtfDocument::InsertRtf(std::size_t pos, std::string_view rtf) {
    RtfDocument fragment;
    bool closed = false;
    if (LooksLikeRtf(rtf)) {
        RtfParser parser(rtf, fragment);
        closed = parser.Parse();
    } else {
        fragment = FromPlainText(rtf, CharFormatAt(pos));
        closed = !rtf.empty() && (rtf.back() == '\r' || rtf.back() == '\n');
    }
    if (!closed && fragment.paragraphs_.size() == 1 && fragment.paragraphs_[0].runs.empty())
        return;
    AdoptFormats(fragment.paragraphs_, fragment);
    Splice(pos, std::move(fragment.paragraphs_), closed);
}

} // namespace rtf
