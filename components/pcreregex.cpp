#include "components/pcreregex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>
#include <climits>
#include <cstring>

#include "platform/codepage.h"

namespace components {

namespace {

// Layout of PCRE2's character tables: lower-case map, flip-case map, ten
// 32-byte class bitmaps, then one ctype byte per character.
constexpr int kLccOffset = 0;
constexpr int kFccOffset = 256;
constexpr int kCbitsOffset = 512;
constexpr int kCtypesOffset = 832;
constexpr int kTablesLength = 1088;
constexpr int kCbitSpace = 0, kCbitXdigit = 32, kCbitDigit = 64, kCbitUpper = 96, kCbitLower = 128,
              kCbitWord = 160, kCbitGraph = 192, kCbitPrint = 224, kCbitPunct = 256,
              kCbitCntrl = 288;
constexpr unsigned char kCtypeSpace = 0x01, kCtypeLetter = 0x02, kCtypeLcLetter = 0x04,
                        kCtypeDigit = 0x08, kCtypeWord = 0x10;

bool IsCp1252Control(unsigned c) {
    // The five bytes Windows-1252 leaves undefined stand for C1 controls.
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

std::array<unsigned char, kTablesLength> BuildTables() {
    std::array<unsigned char, kTablesLength> t{};
    auto setBit = [&t](int map, unsigned c) {
        t[kCbitsOffset + map + c / 8] |= static_cast<unsigned char>(1u << (c & 7));
    };
    for (unsigned c = 0; c < 256; ++c) {
        const auto ch = static_cast<unsigned char>(c);
        const unsigned char lower = platform::AnsiLower(ch);
        const unsigned char upper = platform::AnsiUpper(ch);
        const bool letter = platform::AnsiIsLetter(ch);
        const bool isUpper = letter && lower != ch;
        const bool isLower = letter && !isUpper;
        const bool digit = c >= '0' && c <= '9';
        const bool alnum = letter || digit;
        const bool space = (c >= 9 && c <= 13) || c == ' ';
        const bool xdigit = digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        const bool cntrl = IsCp1252Control(c);
        const bool print = !cntrl;
        const bool graph = print && c != ' ' && c != 0xA0;
        const bool punct = graph && !alnum;

        t[kLccOffset + c] = lower;
        t[kFccOffset + c] = isUpper ? lower : (upper != ch ? upper : ch);
        if (digit)
            setBit(kCbitDigit, c);
        if (isUpper)
            setBit(kCbitUpper, c);
        if (isLower)
            setBit(kCbitLower, c);
        if (alnum || c == '_')
            setBit(kCbitWord, c);
        if (space)
            setBit(kCbitSpace, c);
        if (xdigit)
            setBit(kCbitXdigit, c);
        if (graph)
            setBit(kCbitGraph, c);
        if (print)
            setBit(kCbitPrint, c);
        if (punct)
            setBit(kCbitPunct, c);
        if (cntrl)
            setBit(kCbitCntrl, c);

        unsigned char type = 0;
        if (space)
            type |= kCtypeSpace;
        if (letter)
            type |= kCtypeLetter;
        if (isLower)
            type |= kCtypeLcLetter;
        if (digit)
            type |= kCtypeDigit;
        if (alnum || c == '_')
            type |= kCtypeWord;
        t[kCtypesOffset + c] = type;
    }
    return t;
}

std::string PcreMessage(int code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
        return "error " + std::to_string(code);
    return reinterpret_cast<const char*>(buffer);
}

pcre2_code* Code(void* p) {
    return static_cast<pcre2_code*>(p);
}

bool IsNameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool IsWordSeparator(unsigned char c) {
    if (c <= 32 || c == 0xB7)
        return true;
    return std::strchr("!\"#$%&()*+,-.<?[{", c) != nullptr;
}

} // namespace

const unsigned char* Cp1252CharacterTables() {
    static const std::array<unsigned char, kTablesLength> tables = BuildTables();
    return tables.data();
}

std::string RegExInitialCaps(std::string_view text) {
    std::string out = platform::AnsiLowerCase(text);
    bool wordStart = true;
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsWordSeparator(c)) {
            wordStart = true;
        } else if (wordStart && c != '\'') {
            ch = static_cast<char>(platform::AnsiUpper(c));
            wordStart = false;
        }
    }
    return out;
}

std::string RegExFirstCap(std::string_view text) {
    std::string out = platform::AnsiLowerCase(text);
    if (!out.empty())
        out[0] = static_cast<char>(platform::AnsiUpper(static_cast<unsigned char>(out[0])));
    return out;
}

TPcreRegEx::TPcreRegEx() : compileFlags_(0) {}

TPcreRegEx::~TPcreRegEx() {
    ReleaseCompiled();
    if (matchContext_)
        pcre2_match_context_free(static_cast<pcre2_match_context*>(matchContext_));
}

void TPcreRegEx::SetOptions(TPcreRegExOptions options) {
    if (options == options_)
        return;
    options_ = options;
    uint32_t flags = 0;
    if (options & preCaseLess)
        flags |= PCRE2_CASELESS;
    if (options & preMultiLine)
        flags |= PCRE2_MULTILINE;
    if (options & preSingleLine)
        flags |= PCRE2_DOTALL;
    if (options & preExtended)
        flags |= PCRE2_EXTENDED;
    if (options & preAnchored)
        flags |= PCRE2_ANCHORED;
    if (options & preUnGreedy)
        flags |= PCRE2_UNGREEDY;
    if (options & preNoAutoCapture)
        flags |= PCRE2_NO_AUTO_CAPTURE;
    compileFlags_ = flags;
    ReleaseCompiled();
}

void TPcreRegEx::SetRegEx(std::string_view pattern) {
    if (pattern == regEx_)
        return;
    regEx_ = pattern;
    ReleaseCompiled();
}

void TPcreRegEx::SetMatchLimit(uint32_t limit) {
    matchLimit_ = limit;
    if (!matchContext_)
        matchContext_ = pcre2_match_context_create(nullptr);
    if (!matchContext_)
        throw std::bad_alloc();
    pcre2_set_match_limit(static_cast<pcre2_match_context*>(matchContext_),
                          limit ? limit : 10000000u);
}

void TPcreRegEx::SetInputText(std::string_view text) {
    if (text.size() > static_cast<size_t>(INT_MAX) - 2)
        throw EPcreRegEx("TPcreRegEx - The subject text is too long");
    subject_ = text;
    scanStart_ = 1;
    scanStop_ = static_cast<int>(subject_.size());
    matchCount_ = 0;
}

void TPcreRegEx::ReleaseCompiled() {
    studied_ = false;
    if (matchData_)
        pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData_));
    matchData_ = nullptr;
    if (code_)
        pcre2_code_free(Code(code_));
    code_ = nullptr;
    matchCount_ = 0;
}

void TPcreRegEx::Compile() {
    if (regEx_.empty())
        throw EPcreRegEx(
            "TPcreRegEx.Compile() - Please specify a regular expression in RegEx first");
    ReleaseCompiled();
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (!context)
        throw std::bad_alloc();
    pcre2_set_character_tables(context, Cp1252CharacterTables());
    pcre2_set_newline(context, PCRE2_NEWLINE_ANY);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(regEx_.data()), regEx_.size(),
                                     compileFlags_, &error, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code)
        throw EPcreRegEx("TPcreRegEx.Compile() - Error in regex at offset " +
                         std::to_string(errorOffset) + ": " + PcreMessage(error));
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    if (!data) {
        pcre2_code_free(code);
        throw std::bad_alloc();
    }
    code_ = code;
    matchData_ = data;
}

void TPcreRegEx::Study() {
    if (!Compiled())
        Compile();
    const int rc = pcre2_jit_compile(Code(code_), PCRE2_JIT_COMPLETE);
    // Without JIT support the interpreter does the same work, only slower.
    if (rc != 0 && rc != PCRE2_ERROR_JIT_BADOPTION)
        throw EPcreRegEx("TPcreRegEx.Study() - Error studying the regex: " + PcreMessage(rc));
    studied_ = true;
}

bool TPcreRegEx::Execute(int startOffset) {
    if (!Compiled())
        Compile();
    uint32_t flags = 0;
    if (execState_ & preNotBOL)
        flags |= PCRE2_NOTBOL;
    if (execState_ & preNotEOL)
        flags |= PCRE2_NOTEOL;
    if (execState_ & preNotEmpty)
        flags |= PCRE2_NOTEMPTY;
    auto* data = static_cast<pcre2_match_data*>(matchData_);
    const int rc = pcre2_match(Code(code_), reinterpret_cast<PCRE2_SPTR>(subject_.data()),
                               static_cast<PCRE2_SIZE>(scanStop_), startOffset, flags, data,
                               static_cast<pcre2_match_context*>(matchContext_));
    matchCount_ = rc;
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0) {
        matchCount_ = 0;
        throw EPcreRegEx("TPcreRegEx.Match() - Error matching the regex: " + PcreMessage(rc));
    }
    if (rc == 0) // cannot happen: the match data fits every group
        return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    offsets_.assign(static_cast<size_t>(rc) * 2, 0);
    for (int i = 0; i < rc * 2; ++i)
        offsets_[i] = ovector[i] == PCRE2_UNSET ? 0 : static_cast<int>(ovector[i]) + 1;
    scanStart_ = offsets_[1] + (offsets_[0] == offsets_[1] ? 1 : 0);
    if (OnMatch)
        OnMatch(*this);
    return true;
}

bool TPcreRegEx::MatchFirst() {
    if (scanStop_ > static_cast<int>(subject_.size()))
        scanStop_ = static_cast<int>(subject_.size());
    return Execute(0);
}

bool TPcreRegEx::MatchNext() {
    if (scanStop_ > static_cast<int>(subject_.size()))
        scanStop_ = static_cast<int>(subject_.size());
    if (scanStart_ - 1 > scanStop_) {
        matchCount_ = -1;
        return false;
    }
    return Execute(scanStart_ - 1);
}

std::string_view TPcreRegEx::GroupView(int n) const {
    if (n < 0 || n > GroupCount())
        return {};
    const int start = offsets_[2 * n];
    const int end = offsets_[2 * n + 1];
    if (start <= 0 || end <= start || end - 1 > static_cast<int>(subject_.size()))
        return {};
    return std::string_view(subject_).substr(start - 1, end - start);
}

std::string TPcreRegEx::GetGroup(int n) const {
    return std::string(GroupView(n));
}

int TPcreRegEx::GroupOffset(int n) const {
    if (n < 0 || n > GroupCount())
        return 0;
    return offsets_[2 * n];
}

int TPcreRegEx::GroupLength(int n) const {
    if (n < 0 || n > GroupCount())
        return 0;
    const int len = offsets_[2 * n + 1] - offsets_[2 * n];
    return len > 0 ? len : 0;
}

std::string TPcreRegEx::SubjectLeft() const {
    if (matchCount_ < 1 || offsets_[0] < 1)
        return {};
    return subject_.substr(0, offsets_[0] - 1);
}

std::string TPcreRegEx::SubjectRight() const {
    if (matchCount_ < 1 || offsets_[1] < 1)
        return {};
    const size_t end = static_cast<size_t>(offsets_[1] - 1);
    return end < subject_.size() ? subject_.substr(end) : std::string();
}

int TPcreRegEx::GroupIndexByName(std::string_view name) const {
    if (!Compiled())
        return -1;
    const std::string zname(name);
    return pcre2_substring_number_from_name(Code(code_),
                                            reinterpret_cast<PCRE2_SPTR>(zname.c_str()));
}

std::string TPcreRegEx::ExpandReplacement() const {
    if (matchCount_ < 1)
        return ExpandFor(subject_, {});
    std::string_view s(subject_);
    return ExpandFor(s.substr(0, offsets_[0] - 1), s.substr(offsets_[1] - 1));
}

// `left` and `right` are the subject around the current match: the pieces
// that $`, $' and $_ stand for.
std::string TPcreRegEx::ExpandFor(std::string_view left, std::string_view right) const {
    const std::string_view t(replacement_);
    const size_t len = t.size();
    std::string out;
    out.reserve(len);
    const int groups = GroupCount();

    // Parses a group number of one digit, or two when that number is a group.
    auto parseNumber = [&](size_t at, int& number) -> size_t {
        number = t[at] - '0';
        if (at + 1 < len && IsDigit(t[at + 1])) {
            const int two = number * 10 + (t[at + 1] - '0');
            if (two <= groups) {
                number = two;
                return 2;
            }
        }
        return 1;
    };
    // A reference at `at`; on success appends its text and returns the
    // characters it took.
    auto reference = [&](size_t at, bool dollar) -> size_t {
        const auto c = static_cast<unsigned char>(t[at]);
        if (IsDigit(c)) {
            int n = 0;
            const size_t used = parseNumber(at, n);
            out += GroupView(n);
            return used;
        }
        if (c == '{' && dollar && at + 1 < len) {
            const auto first = static_cast<unsigned char>(t[at + 1]);
            size_t j = at + 1;
            if (IsDigit(first)) {
                while (j < len && IsDigit(t[j]))
                    ++j;
            } else if (IsNameStart(first)) {
                while (j < len && IsNameChar(t[j]))
                    ++j;
            } else {
                return 0;
            }
            if (j >= len || t[j] != '}')
                return 0;
            const std::string_view inner = t.substr(at + 1, j - at - 1);
            if (IsDigit(first)) {
                // Long digit strings name no group; avoid overflow.
                int n = inner.size() > 9 ? INT_MAX : std::stoi(std::string(inner));
                out += GroupView(n);
            } else {
                const int n = GroupIndexByName(inner);
                if (n > 0)
                    out += GroupView(n);
            }
            return j - at + 1;
        }
        switch (c) {
        case '&':
            out += GroupView(0);
            return 1;
        case '\'':
            out += right;
            return 1;
        case '`':
            out += left;
            return 1;
        case '+':
            out += GroupView(groups);
            return 1;
        case '_':
            if (!dollar)
                return 0;
            out += left;
            out += GroupView(0);
            out += right;
            return 1;
        default:
            return 0;
        }
    };

    size_t i = 0;
    while (i < len) {
        const char c = t[i];
        if (c == '$' && i + 1 < len) {
            if (t[i + 1] == '$') {
                out += '$';
                i += 2;
                continue;
            }
            if (size_t used = reference(i + 1, true)) {
                i += 1 + used;
                continue;
            }
            out += '$';
            ++i;
            continue;
        }
        if (c == '\\' && i + 1 < len) {
            const char n = t[i + 1];
            if (n == '\\' || n == '$') {
                out += n;
                i += 2;
                continue;
            }
            if (std::strchr("filuFILU", n) != nullptr && n != '\0') {
                if (i + 2 < len && IsDigit(t[i + 2])) {
                    int group = 0;
                    const size_t used = parseNumber(i + 2, group);
                    const std::string_view text = GroupView(group);
                    switch (n) {
                    case 'l':
                    case 'L':
                        out += platform::AnsiLowerCase(text);
                        break;
                    case 'u':
                    case 'U':
                        out += platform::AnsiUpperCase(text);
                        break;
                    case 'i':
                    case 'I':
                        out += RegExInitialCaps(text);
                        break;
                    default:
                        out += RegExFirstCap(text);
                        break;
                    }
                    i += 2 + used;
                    continue;
                }
                out += '\\';
                ++i;
                continue;
            }
            if (n == 'g') {
                if (i + 3 < len && t[i + 2] == '<' && IsNameStart(t[i + 3])) {
                    size_t j = i + 3;
                    while (j < len && IsNameChar(t[j]))
                        ++j;
                    if (j < len && t[j] == '>') {
                        const int group = GroupIndexByName(t.substr(i + 3, j - i - 3));
                        if (group > 0)
                            out += GroupView(group);
                        i = j + 1;
                    } else {
                        out += t.substr(i, j - i);
                        i = j;
                    }
                    continue;
                }
                out += "\\g";
                i += 2;
                continue;
            }
            if (size_t used = reference(i + 1, false)) {
                i += 1 + used;
                continue;
            }
            out += '\\';
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::string TPcreRegEx::ReplaceCurrent() {
    if (matchCount_ < 1)
        return {};
    std::string with = ExpandReplacement();
    if (OnReplace)
        OnReplace(*this, with);
    const int start = offsets_[0];
    const int matched = GroupLength(0);
    subject_.replace(static_cast<size_t>(start - 1), static_cast<size_t>(matched), with);
    const int delta = static_cast<int>(with.size()) - matched;
    scanStart_ += delta;
    scanStop_ += delta;
    matchCount_ = 0;
    return with;
}

bool TPcreRegEx::ReplaceEvery() {
    if (!MatchFirst())
        return false;
    std::string out;
    out.reserve(subject_.size());
    size_t copied = 0;
    const std::string_view subject(subject_);
    do {
        const size_t start = static_cast<size_t>(offsets_[0] - 1);
        const size_t end = std::max(start, static_cast<size_t>(offsets_[1] - 1));
        if (start >= copied)
            out.append(subject.substr(copied, start - copied));
        std::string with = ExpandFor(out, subject.substr(end));
        if (OnReplace)
            OnReplace(*this, with);
        out += with;
        copied = std::max(copied, end);
        matchCount_ = 0;
    } while (MatchNext());
    const int delta = static_cast<int>(out.size()) - static_cast<int>(copied);
    out.append(subject.substr(copied));
    const int oldLength = static_cast<int>(subject_.size());
    subject_ = std::move(out);
    scanStart_ += delta;
    scanStop_ += static_cast<int>(subject_.size()) - oldLength;
    if (scanStop_ > static_cast<int>(subject_.size()))
        scanStop_ = static_cast<int>(subject_.size());
    matchCount_ = 0;
    return true;
}

} // namespace components
