#include "components/rtf/rtfmarkupcodes.h"

#include <algorithm>

#include "components/rtf/rtftokenstream.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace rtf {

namespace {

enum class ValueKind { Plain, RawRtf, Valueless };

bool ListHolds(const std::vector<std::string>& list, std::string_view keyword) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& item) {
        return platform::AnsiSameText(item, keyword);
    });
}

ValueKind KindOf(std::string_view keyword, const MarkupSearch& search) {
    if (ListHolds(search.rawRtfKeywords, keyword))
        return ValueKind::RawRtf;
    if (ListHolds(search.valuelessKeywords, keyword))
        return ValueKind::Valueless;
    return ValueKind::Plain;
}

bool IsGroupBrace(const Token& t) {
    return t.kind == TokenKind::GroupStart || t.kind == TokenKind::GroupEnd;
}

// Reads the value of one code, token by token, by the rule of its kind.
class ValueReader {
public:
    ValueReader(MarkupCode& code, ValueKind kind, bool tabIsText)
        : code_(code), kind_(kind), tabIsText_(tabIsText) {}

    // Typed text of the token the keyword ended in, after the keyword (it
    // never holds a brace).
    void ReadTypedText(std::string_view text) {
        switch (kind_) {
        case ValueKind::Plain:
            code_.value += text;
            break;
        case ValueKind::RawRtf:
            for (char c : text)
                ReadRawChar(c);
            break;
        case ValueKind::Valueless:
            refused_ = refused_ || text.find_first_not_of(' ') != std::string_view::npos;
            break;
        }
    }

    // One whole token; true when it closes the code.
    bool Read(const Token& t) {
        switch (kind_) {
        case ValueKind::Plain:
            return ReadPlain(t);
        case ValueKind::RawRtf:
            return ReadRaw(t);
        case ValueKind::Valueless:
            return ReadValueless(t);
        }
        return false;
    }

    bool Refused() const { return refused_; }
    bool Valueless() const { return kind_ == ValueKind::Valueless; }

private:
    bool ReadPlain(const Token& t) {
        if (t.IsSymbol('}'))
            return true;
        if (IsGroupBrace(t))
            code_.groupBraces += t.raw.front();
        else
            AppendTokenText(code_.value, t, tabIsText_);
        return false;
    }

    bool ReadValueless(const Token& t) {
        if (t.IsSymbol('}'))
            return true;
        if (IsGroupBrace(t))
            code_.groupBraces += t.raw.front();
        else if (t.kind == TokenKind::Text)
            ReadTypedText(t.raw);
        else if (t.kind != TokenKind::ControlWord)
            refused_ = true;
        return false;
    }

    bool ReadRaw(const Token& t) {
        switch (t.kind) {
        case TokenKind::Text:
            for (char c : t.raw)
                ReadRawChar(c);
            return false;
        case TokenKind::HexByte:
            code_.value += t.raw;
            escapePending_ = false;
            return false;
        case TokenKind::ControlSymbol:
            if (t.symbol == '\\' || t.symbol == '{' || t.symbol == '}')
                return ReadRawChar(t.symbol);
            return false; // the editor's formatting, not typed text
        case TokenKind::GroupStart:
        case TokenKind::GroupEnd:
            code_.splitByGroup = true;
            return ReadRawChar(t.raw.front());
        default:
            return false;
        }
    }

    // A typed character of raw RTF; true when it is the closing brace.
    bool ReadRawChar(char c) {
        if (escapePending_) {
            code_.value += c;
            escapePending_ = false;
            return false;
        }
        if (c == '\\') {
            escapePending_ = true;
        } else if (c == '{') {
            ++depth_;
        } else if (c == '}' && --depth_ == 0) {
            return true;
        }
        code_.value += c;
        return false;
    }

    MarkupCode& code_;
    ValueKind kind_;
    bool tabIsText_;
    bool refused_ = false;
    int depth_ = 1;
    bool escapePending_ = false; // the raw value so far ends in an unpaired backslash
};

class CodeScanner {
public:
    CodeScanner(std::string_view rtf, const MarkupSearch& search)
        : rtf_(rtf), search_(search), tokens_(TokenizeAll(rtf, search.lexing)) {}

    std::vector<MarkupCode> FindAll() {
        std::vector<MarkupCode> codes;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (!tokens_[i].IsSymbol('{'))
                continue;
            if (search_.doubledBraceIsText && i + 1 < tokens_.size() &&
                tokens_[i + 1].IsSymbol('{')) {
                ++i; // both braces are text
                continue;
            }
            MarkupCode code;
            std::size_t last = i;
            if (!ReadCode(i, code, last) || !Wanted(code))
                continue; // look into it for codes
            codes.push_back(std::move(code));
            i = last;
        }
        return codes;
    }

private:
    // The keyword written plainly right after the "\{" at token `i`.
    std::optional<std::string> WrittenKeyword(std::size_t i) const {
        if (i + 1 >= tokens_.size() || tokens_[i + 1].kind != TokenKind::Text)
            return std::nullopt;
        const std::string_view written = tokens_[i + 1].raw;
        for (const std::string& keyword : search_.keywords)
            if (platform::StartsWithNoCase(written, keyword))
                return std::string(written.substr(0, keyword.size()));
        return std::nullopt;
    }

    bool Wanted(const MarkupCode& code) const {
        if (search_.keywordsAsWritten)
            return true;
        if (code.keyword.empty())
            return false;
        if (search_.keywords.empty())
            return true;
        const std::string typed = code.keyword + code.value;
        return std::any_of(
            search_.keywords.begin(), search_.keywords.end(),
            [&](const std::string& keyword) { return platform::StartsWithNoCase(typed, keyword); });
    }

    // Reads the code whose "\{" is token `i`; false when there is none.
    // `last` is the index of the last token the code takes.
    bool ReadCode(std::size_t i, MarkupCode& code, std::size_t& last) const {
        code.start = tokens_[i].Offset(rtf_);
        code.valueStart = code.start + 2;
        std::optional<ValueReader> reader;
        std::string typed; // the typed text while the keyword is still being read
        std::size_t k = i + 1;
        if (search_.keywordsAsWritten) {
            const std::optional<std::string> keyword = WrittenKeyword(i);
            if (!keyword)
                return false;
            code.keyword = *keyword;
            code.valueStart += keyword->size();
            reader.emplace(code, KindOf(code.keyword, search_), search_.tabIsText);
            reader->ReadTypedText(tokens_[k].raw.substr(keyword->size()));
            ++k;
        }
        std::size_t end = rtf_.size();
        for (; k < tokens_.size(); ++k) {
            const Token& t = tokens_[k];
            if (t.kind == TokenKind::LineBreak && search_.stopAtLineEnd) {
                end = t.Offset(rtf_);
                break;
            }
            const bool closes = reader ? reader->Read(t) : t.IsSymbol('}');
            if (closes) {
                code.closed = true;
                code.valueEnd = t.Offset(rtf_);
                end = code.valueEnd + t.raw.size();
                break;
            }
            if (!reader)
                ReadKeyword(t, typed, code, reader);
            if (reader && reader->Refused())
                return false;
        }
        last = k;
        if (!code.closed)
            code.valueEnd = end;
        code.end = end;
        if (!reader) {
            code.keyword = typed;
            code.valueStart = code.valueEnd;
        }
        return !(reader && (reader->Refused() || (reader->Valueless() && !code.closed)));
    }

    // The typed keyword ends at "=" or the first space; what follows it is
    // the start of the value.
    void ReadKeyword(const Token& t, std::string& typed, MarkupCode& code,
                     std::optional<ValueReader>& reader) const {
        if (IsGroupBrace(t)) {
            code.groupBraces += t.raw.front();
            return;
        }
        const std::size_t before = typed.size();
        AppendTokenText(typed, t, search_.tabIsText);
        const std::size_t at = typed.find_first_of("= ", before);
        if (at == std::string::npos)
            return;
        code.keyword = typed.substr(0, at + 1);
        code.valueStart = t.kind == TokenKind::Text ? t.Offset(rtf_) + (at - before) + 1
                                                    : t.Offset(rtf_) + t.raw.size();
        reader.emplace(code, KindOf(code.keyword, search_), search_.tabIsText);
        reader->ReadTypedText(std::string_view(typed).substr(at + 1));
    }

    std::string_view rtf_;
    const MarkupSearch& search_;
    std::vector<Token> tokens_;
};

} // namespace

std::vector<MarkupCode> FindMarkupCodes(std::string_view rtf, const MarkupSearch& search) {
    return CodeScanner(rtf, search).FindAll();
}

} // namespace rtf
