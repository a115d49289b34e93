#include "speller/inifile.h"

#include <cstdint>
#include <limits>
#include <system_error>
#include <unordered_map>

#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/textutil.h"

namespace speller {

namespace {

// Lines are split before they are trimmed: only blanks and tabs remain.
std::string_view Trim(std::string_view s) {
    return platform::TrimView(s, " \t");
}

std::string_view Unquote(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

TIniDocument::Line ParseLine(std::string_view raw) {
    TIniDocument::Line line;
    line.text.assign(raw);
    std::string_view t = Trim(raw);
    if (t.empty() || t[0] == ';')
        return line;
    if (t[0] == '[') {
        std::size_t close = t.find(']');
        line.kind = TIniDocument::Line::Section;
        line.name.assign(Trim(t.substr(1, close == std::string_view::npos ? t.npos : close - 1)));
        return line;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.kind = TIniDocument::Line::Key;
    line.name.assign(Trim(t.substr(0, eq)));
    line.value.assign(Unquote(Trim(t.substr(eq + 1))));
    return line;
}

} // namespace

TIniDocument TIniDocument::Parse(std::string_view text) {
    TIniDocument doc;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            doc.lines_.push_back(ParseLine(text.substr(pos)));
            break;
        }
        doc.lines_.push_back(ParseLine(text.substr(pos, end - pos)));
        pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return doc;
}

std::string TIniDocument::Text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

int TIniDocument::FindSection(std::string_view section) const {
    std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::Section && platform::AnsiSameText(lines_[i].name, wanted))
            return static_cast<int>(i);
    return -1;
}

std::pair<std::size_t, std::size_t> TIniDocument::SectionRange(int sectionLine) const {
    std::size_t begin = static_cast<std::size_t>(sectionLine) + 1;
    std::size_t end = begin;
    while (end < lines_.size() && lines_[end].kind != Line::Section)
        ++end;
    return {begin, end};
}

std::optional<std::string> TIniDocument::Read(std::string_view section,
                                              std::string_view key) const {
    int s = FindSection(section);
    if (s < 0)
        return std::nullopt;
    std::string_view wanted = Trim(key);
    auto [begin, end] = SectionRange(s);
    for (std::size_t i = begin; i < end; ++i)
        if (lines_[i].kind == Line::Key && platform::AnsiSameText(lines_[i].name, wanted))
            return lines_[i].value;
    return std::nullopt;
}

void TIniDocument::Write(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view name = Trim(key);
    int s = FindSection(section);
    if (s < 0) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty())
            lines_.push_back(ParseLine(""));
        std::string header(1, '[');
        header += Trim(section);
        header += ']';
        lines_.push_back(ParseLine(header));
        s = static_cast<int>(lines_.size()) - 1;
    }
    auto [begin, end] = SectionRange(s);
    std::size_t insertAt = begin;
    for (std::size_t i = begin; i < end; ++i) {
        if (lines_[i].kind != Line::Key)
            continue;
        if (platform::AnsiSameText(lines_[i].name, name)) {
            lines_[i] = ParseLine(lines_[i].name + "=" + std::string(value));
            lines_[i].value.assign(value);
            return;
        }
        insertAt = i + 1;
    }
    Line line = ParseLine(std::string(name) + "=" + std::string(value));
    // The value is stored as given; quotes the reader would strip stay part of it.
    line.value.assign(value);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

void TIniDocument::WriteKeys(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& keys) {
    if (keys.empty())
        return;
    if (FindSection(section) < 0)
        Write(section, keys[0].first, keys[0].second);
    int s = FindSection(section);
    auto [begin, end] = SectionRange(s);
    std::unordered_map<std::string, std::size_t> wanted;
    for (std::size_t i = 0; i < keys.size(); ++i)
        wanted.emplace(platform::AnsiLowerCase(Trim(keys[i].first)), i);
    std::vector<bool> done(keys.size(), false);
    std::size_t insertAt = begin;
    for (std::size_t i = begin; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != Line::Key)
            continue;
        insertAt = i + 1;
        auto it = wanted.find(platform::AnsiLowerCase(line.name));
        if (it == wanted.end() || done[it->second])
            continue;
        // Only the first key of a name is the one readers see; later
        // duplicates stay as they are.
        done[it->second] = true;
        std::string name = line.name;
        line = ParseLine(name + "=" + keys[it->second].second);
        line.value = keys[it->second].second;
    }
    std::vector<Line> added;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (done[i])
            continue;
        Line line = ParseLine(std::string(Trim(keys[i].first)) + "=" + keys[i].second);
        line.value = keys[i].second;
        added.push_back(std::move(line));
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view key) {
    int s = FindSection(section);
    if (s < 0)
        return false;
    std::string_view wanted = Trim(key);
    auto [begin, end] = SectionRange(s);
    for (std::size_t i = begin; i < end; ++i)
        if (lines_[i].kind == Line::Key && platform::AnsiSameText(lines_[i].name, wanted)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    return false;
}

bool TIniDocument::EraseSection(std::string_view section) {
    int s = FindSection(section);
    if (s < 0)
        return false;
    auto [begin, end] = SectionRange(s);
    lines_.erase(lines_.begin() + s, lines_.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

std::vector<std::string> TIniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.kind == Line::Section)
            names.push_back(line.name);
    return names;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    int s = FindSection(section);
    if (s < 0)
        return names;
    auto [begin, end] = SectionRange(s);
    for (std::size_t i = begin; i < end; ++i)
        if (lines_[i].kind == Line::Key)
            names.push_back(lines_[i].name);
    return names;
}

std::optional<int> ParseIniInteger(std::string_view text) {
    std::string_view t = Trim(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t[0] == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    if (t.empty())
        return std::nullopt;
    // Hexadecimal takes any 32-bit pattern; decimal a magnitude up to 2^31,
    // so that the most negative value still reads.
    constexpr long long kMaxHex = std::numeric_limits<uint32_t>::max();
    constexpr long long kMaxDecimal = -static_cast<long long>(std::numeric_limits<int32_t>::min());
    long long value = 0;
    for (char c : t) {
        int digit = platform::HexDigitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > (base == 16 ? kMaxHex : kMaxDecimal))
            return std::nullopt;
    }
    if (base == 16 && !negative)
        return static_cast<int>(static_cast<uint32_t>(value));
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

TIniDocument TIniFile::LoadDocument() const {
    std::error_code ec;
    if (!std::filesystem::exists(fileName_, ec))
        return {};
    return TIniDocument::Parse(platform::ReadFileBytes(fileName_));
}

void TIniFile::Update(const std::function<void(TIniDocument&)>& change) {
    TIniDocument doc = LoadDocument();
    change(doc);
    platform::WriteFileAtomic(fileName_, doc.Text());
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    auto value = LoadDocument().Read(section, key);
    return value ? *value : std::string(defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    auto value = LoadDocument().Read(section, key);
    if (!value)
        return defaultValue;
    return ParseIniInteger(*value).value_or(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return LoadDocument().FindSection(section) >= 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return LoadDocument().Read(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSections() const {
    return LoadDocument().SectionNames();
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    return LoadDocument().KeyNames(section);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Update([&](TIniDocument& doc) { doc.Write(section, key, value); });
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    Update([&](TIniDocument& doc) { doc.DeleteKey(section, key); });
}

void TIniFile::EraseSection(std::string_view section) {
    Update([&](TIniDocument& doc) { doc.EraseSection(section); });
}

} // namespace speller
