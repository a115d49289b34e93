#include "unitparser/sourcereader.h"

#include <array>
#include <cstdio>
#include <fstream>

#include "platform/textutil.h"

namespace unitparser {

namespace {

constexpr std::array<TCharClass, 256> MakeCharClasses() {
    std::array<TCharClass, 256> table{};
    for (auto& entry : table)
        entry = TCharClass::Symbol;
    table[' '] = TCharClass::Blank;
    table['\t'] = TCharClass::Blank;
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = TCharClass::Letter;
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = TCharClass::Letter;
    table['_'] = TCharClass::Letter;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = TCharClass::Digit;
    return table;
}

constexpr std::array<TCharClass, 256> CharClasses = MakeCharClasses();

bool IsHexDigit(char c) {
    return platform::HexDigitValue(c) >= 0;
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

TCharClass ClassifyChar(unsigned char c) {
    return CharClasses[c];
}

std::string LowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

void TSourceReader::Open(std::string text) {
    if (text.size() > MaxSourceSize)
        throw EParseError("The unit is too large to be read.");
    source = std::move(text);
    sourcePos = 0;
    atEnd = false;
    lineNo = 0;
    curLine.clear();
    token.clear();
    commentText.clear();
    curChar = ' ';
    // The first line is read at once and delivered without a leading blank.
    if (ReadLine())
        lineNo = 1;
    column = 1;
}

void TSourceReader::OpenFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw EParseError("Cannot open file " + fileName);
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0)
        throw EParseError("Cannot read file " + fileName);
    if (static_cast<unsigned long long>(size) > MaxSourceSize)
        throw EParseError(fileName + " is too large to be a Pascal unit.");
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(text.data(), size))
        throw EParseError("Cannot read file " + fileName);
    Open(std::move(text));
}

bool TSourceReader::ReadLine() {
    if (sourcePos >= source.size())
        return false;
    std::size_t end = source.find_first_of("\r\n", sourcePos);
    if (end == std::string::npos) {
        curLine.assign(source, sourcePos, std::string::npos);
        sourcePos = source.size();
    } else {
        curLine.assign(source, sourcePos, end - sourcePos);
        sourcePos = end + 1;
        if (source[end] == '\r' && sourcePos < source.size() && source[sourcePos] == '\n')
            ++sourcePos;
    }
    return true;
}

char TSourceReader::NextChar() {
    if (column > static_cast<int>(curLine.size())) {
        for (;;) {
            if (!ReadLine()) {
                // The end of the text counts as one last blank, so that a
                // token standing at the very end still ends cleanly.
                if (atEnd)
                    throw EParseError("Unexpected end of file");
                atEnd = true;
                curLine.clear();
                break;
            }
            ++lineNo;
            if (!curLine.empty())
                break;
        }
        column = 0;
    }
    if (column < 1) {
        curChar = ' ';
        column = 1;
        return curChar;
    }
    curChar = curLine[static_cast<std::size_t>(column - 1)];
    ++column;
    return curChar;
}

const std::string& TSourceReader::NextToken() {
    commentText.clear();
    token.clear();
    NextChar();
    for (;;) {
        char c = curChar;
        TCharClass cls = ClassifyChar(static_cast<unsigned char>(c));
        if (cls == TCharClass::Blank) {
            do
                NextChar();
            while (ClassifyChar(static_cast<unsigned char>(curChar)) == TCharClass::Blank);
            continue;
        }
        if (c == '/') {
            NextChar();
            if (curChar != '/') {
                StepBack();
                token = "/";
                break;
            }
            if (!commentText.empty())
                commentText += "\r\n";
            if (column <= static_cast<int>(curLine.size()))
                commentText.append(curLine, static_cast<std::size_t>(column - 1));
            column = static_cast<int>(curLine.size()) + 1;
            curChar = ' ';
            continue;
        }
        if (c == '{') {
            if (!commentText.empty())
                commentText += "\r\n";
            for (NextChar(); curChar != '}'; NextChar())
                commentText += curChar;
            NextChar();
            continue;
        }
        if (c == '(') {
            NextChar();
            if (curChar != '*') {
                StepBack();
                token = "(";
                break;
            }
            if (!commentText.empty())
                commentText += "\r\n";
            NextChar();
            for (;;) {
                if (curChar == '*') {
                    NextChar();
                    if (curChar == ')')
                        break;
                    commentText += '*';
                    continue;
                }
                commentText += curChar;
                NextChar();
            }
            NextChar();
            continue;
        }
        if (c == '\'') {
            token = "'";
            for (;;) {
                NextChar();
                token += curChar;
                if (curChar != '\'')
                    continue;
                NextChar();
                if (curChar != '\'')
                    break;
                token += '\'';
            }
            StepBack();
            break;
        }
        if (c == '$') {
            token = "$";
            for (NextChar(); IsHexDigit(curChar); NextChar())
                token += UpperAscii(curChar);
            StepBack();
            break;
        }
        if (cls == TCharClass::Digit) {
            for (; ClassifyChar(static_cast<unsigned char>(curChar)) == TCharClass::Digit;
                 NextChar())
                token += curChar;
            StepBack();
            break;
        }
        if (cls == TCharClass::Letter) {
            for (; ClassifyChar(static_cast<unsigned char>(curChar)) == TCharClass::Letter ||
                   ClassifyChar(static_cast<unsigned char>(curChar)) == TCharClass::Digit;
                 NextChar())
                token += curChar;
            StepBack();
            break;
        }
        token = std::string(1, c);
        break;
    }
    for (char& ch : commentText)
        if (ch == '|')
            ch = '/';
    return token;
}

std::string BuildDescription(std::string_view commentText) {
    std::size_t first = 0;
    std::size_t last = commentText.size();
    while (first < last && static_cast<unsigned char>(commentText[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(commentText[last - 1]) <= ' ')
        --last;
    std::string result;
    result.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) {
        char c = commentText[i] == '\t' ? ' ' : commentText[i];
        if (c == ' ' && !result.empty()) {
            char prev = result.back();
            if (prev == ' ' || prev == '\r' || prev == '\n')
                continue;
        }
        result += c;
    }
    if (result.empty())
        result = " ";
    return result;
}

std::string TSourceReader::TakeDescription() const {
    return BuildDescription(commentText);
}

EParseError TSourceReader::Error(std::string_view text) const {
    return EParseError("Error in line " + std::to_string(lineNo) + ": " + std::string(text));
}

} // namespace unitparser
