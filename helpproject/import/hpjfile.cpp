#include "helpproject/import/hpjfile.h"

#include "components/rtf/stringlisttransfer.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/helputils.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/textutil.h"

namespace helpproject {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The name of a section header line ("[ OPTIONS ] ; x" gives "OPTIONS").
std::string SectionName(const std::string& line) {
    const std::size_t close = line.find(']');
    return TrimText(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The keys of the first section named `section`, in file order.
std::vector<std::pair<std::string, std::string>> IniSection(std::string_view iniText,
                                                            std::string_view section) {
    std::vector<std::pair<std::string, std::string>> keys;
    bool inSection = false;
    for (const std::string& raw : rtf::SplitLines(iniText)) {
        const std::string line = StripHpjComment(raw);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            if (inSection)
                break; // only the first section of that name counts
            inSection = platform::AnsiSameText(SectionName(line), section);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos)
            continue;
        std::string value = TrimText(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        keys.emplace_back(TrimText(line.substr(0, eq)), std::move(value));
    }
    return keys;
}

enum class Section { Other, Config, Baggage, Windows, Files, Map };

// The section a "[" line starts; only its beginning counts ("[FILES] x").
Section SectionOf(const std::string& line, THpjFile& hpj) {
    const std::string lower = platform::AnsiLowerCase(line);
    if (lower.starts_with("[config]")) {
        hpj.HasConfig = true;
        return Section::Config;
    }
    if (lower.starts_with("[baggage]")) {
        hpj.HasBaggage = true;
        return Section::Baggage;
    }
    if (lower.starts_with("[windows]")) {
        hpj.HasWindows = true;
        return Section::Windows;
    }
    if (lower.starts_with("[files]")) {
        hpj.HasFiles = true;
        return Section::Files;
    }
    if (lower.starts_with("[map]"))
        return Section::Map;
    return Section::Other;
}

void AddSectionLine(Section section, const std::string& line, THpjFile& hpj) {
    switch (section) {
    case Section::Config:
        hpj.Config.push_back(line);
        break;
    case Section::Baggage:
        hpj.Baggage.push_back(line);
        break;
    case Section::Windows:
        hpj.Windows.push_back(line);
        break;
    case Section::Files:
        if (line.front() != '#') // "#include" of another file list
            hpj.Files.push_back(line);
        break;
    case Section::Map: {
        std::string id, number;
        if (ParseMapLine(line, id, number))
            hpj.Map.emplace(platform::AnsiLowerCase(id), number);
        break;
    }
    case Section::Other:
        break;
    }
}

} // namespace

std::optional<std::string> THpjFile::Option(std::string_view key) const {
    for (const auto& [name, value] : Options)
        if (platform::AnsiSameText(name, key))
            return value;
    return std::nullopt;
}

std::optional<std::int32_t> THpjFile::MappedNumber(std::string_view id) const {
    const auto it = Map.find(platform::AnsiLowerCase(id));
    std::int32_t number = 0;
    if (it == Map.end() || !ParseMapNumber(it->second, number))
        return std::nullopt;
    return number;
}

THpjFile ParseHpj(std::string_view text) {
    THpjFile hpj;
    hpj.Options = IniSection(text, "OPTIONS");
    Section current = Section::Other;
    for (const std::string& raw : rtf::SplitLines(text)) {
        const std::string line = StripHpjComment(raw);
        if (line.empty())
            continue;
        if (line.front() == '[')
            current = SectionOf(line, hpj);
        else
            AddSectionLine(current, line, hpj);
    }
    return hpj;
}

THpjFile ReadHpjFile(const std::filesystem::path& path) {
    return ParseHpj(platform::ReadRegularFile(path, kMaxHpjBytes));
}

std::string StripHpjComment(std::string_view line) {
    bool inDouble = false;
    int backquotes = 0;
    std::size_t end = line.size();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && backquotes == 0) {
            inDouble = !inDouble;
        } else if (!inDouble && c == '`') {
            ++backquotes;
        } else if (!inDouble && c == '\'' && backquotes > 0) {
            --backquotes;
        } else if (c == ';' && !inDouble && backquotes == 0 && (i == 0 || IsBlank(line[i - 1]))) {
            end = i;
            break;
        }
    }
    return TrimText(line.substr(0, end));
}

bool ReadHpjBoolean(std::string_view value, bool defaultValue) {
    const std::string v = platform::AnsiLowerCase(TrimText(value));
    if (v == "true" || v == "yes" || v == "on" || v == "1")
        return true;
    if (v == "false" || v == "no" || v == "off" || v == "0")
        return false;
    return defaultValue;
}

bool ReadIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                  std::string& value) {
    for (auto& [name, text] : IniSection(iniText, section)) {
        if (platform::AnsiSameText(name, key)) {
            value = std::move(text);
            return true;
        }
    }
    return false;
}

bool ParseMapLine(std::string_view line, std::string& id, std::string& number) {
    std::string text = StripHpjComment(line);
    const std::size_t slashes = text.find("//");
    if (slashes != std::string::npos)
        text.erase(slashes);
    text = TrimText(text);
    if (platform::StartsWithNoCase(text, "#define"))
        text = TrimText(text.substr(7));
    else if (!text.empty() && text.front() == '#')
        return false; // "#include" and other directives
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < text.size() && parts.size() < 3) {
        while (i < text.size() && (IsBlank(text[i]) || text[i] == '='))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != '=')
            ++i;
        if (i > start)
            parts.emplace_back(text.substr(start, i - start));
    }
    if (parts.size() < 2)
        return false;
    id = parts[0];
    number = parts[1];
    return true;
}

bool ParseMapNumber(std::string_view text, std::int32_t& number) {
    const std::string t = TrimText(text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        std::string_view digits = std::string_view(t).substr(2);
        // Leading zeros do not count towards the 32 bits.
        while (digits.size() > 1 && digits.front() == '0')
            digits.remove_prefix(1);
        const std::optional<std::uint32_t> value = platform::ParseHex32(digits);
        if (!value || *value > static_cast<std::uint32_t>(MaxTopicNumber))
            return false;
        number = static_cast<std::int32_t>(*value);
        return number >= 1;
    }
    return TryParseInt32(t, number) && number >= 1;
}

} // namespace helpproject
