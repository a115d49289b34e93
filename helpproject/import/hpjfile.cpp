#include "helpproject/import/hpjfile.h"

#include <algorithm>

#include "components/rtf/stringlisttransfer.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/helputils.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"
#include "platform/textutil.h"

namespace helpproject {

namespace fs = std::filesystem;

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

enum class Section { Other, Config, Baggage, Windows, Files, Map, Alias };

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
    if (lower.starts_with("[alias]"))
        return Section::Alias;
    return Section::Other;
}

// C comments ("/* ... */", over several lines too) become blanks, so that
// the lines of a header keep their places.
std::string WithoutBlockComments(std::string_view text) {
    std::string out(text);
    for (std::size_t open = out.find("/*"); open != std::string::npos;
         open = out.find("/*", open)) {
        const std::size_t close = out.find("*/", open + 2);
        const std::size_t end = close == std::string::npos ? out.size() : close + 2;
        for (std::size_t i = open; i < end; ++i)
            if (out[i] != '\r' && out[i] != '\n')
                out[i] = ' ';
        open = end;
    }
    return out;
}

// Reads [MAP] lines and the files they include.
class TMapReader {
public:
    TMapReader(THpjFile& hpj, const THpjIncludeReader& readInclude)
        : hpj_(hpj), readInclude_(readInclude) {}

    void Line(std::string_view line, int depth) {
        if (const std::optional<std::string> name = ParseIncludeLine(line)) {
            Include(*name, depth + 1);
            return;
        }
        std::string id, number;
        if (ParseMapLine(line, id, number))
            hpj_.Map.emplace(platform::AnsiLowerCase(id), number);
    }

private:
    void Include(const std::string& name, int depth) {
        if (depth > kMaxMapIncludeDepth) {
            Warn(name, "it is included more than " + std::to_string(kMaxMapIncludeDepth) +
                           " levels deep");
            return;
        }
        std::string problem = "nothing reads included files here";
        const std::optional<std::string> text =
            readInclude_ ? readInclude_(name, problem) : std::nullopt;
        if (!text) {
            Warn(name, problem);
            return;
        }
        for (const std::string& raw : rtf::SplitLines(WithoutBlockComments(*text)))
            Line(TrimText(raw), depth);
    }

    void Warn(const std::string& name, const std::string& problem) {
        hpj_.Warnings.push_back("The file \"" + name +
                                "\" that [MAP] includes was not read: " + problem);
    }

    THpjFile& hpj_;
    const THpjIncludeReader& readInclude_;
};

// "A=B" of [ALIAS]: the ID and the one it answers as, both trimmed.
void AddAliasLine(const std::string& line, THpjFile& hpj) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return;
    const std::string alias = TrimText(line.substr(0, eq));
    const std::string target = TrimText(line.substr(eq + 1));
    if (!alias.empty() && !target.empty() &&
        hpj.Aliases.emplace(platform::AnsiLowerCase(alias), target).second)
        hpj.AliasLines.emplace_back(alias, target);
}

std::optional<fs::path> TryResolve(std::string_view name, const fs::path& base) {
    try {
        return platform::resolvePath(name, base);
    } catch (const platform::PlatformError&) {
        return std::nullopt; // a drive letter nobody mapped
    }
}

// Lists paths for a message: "a, b".
std::string PathList(const std::vector<fs::path>& paths) {
    std::string list;
    for (const fs::path& path : paths)
        list += (list.empty() ? "" : ", ") + path.string();
    return list;
}

void AddSectionLine(Section section, const std::string& line, THpjFile& hpj, TMapReader& map) {
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
    case Section::Map:
        map.Line(line, 0);
        break;
    case Section::Alias:
        AddAliasLine(line, hpj);
        break;
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

std::vector<std::string> THpjFile::OptionValues(std::string_view key) const {
    std::vector<std::string> values;
    for (const auto& [name, value] : Options)
        if (platform::AnsiSameText(name, key))
            values.push_back(value);
    return values;
}

std::string THpjFile::AliasTarget(std::string_view id) const {
    std::string target(id);
    // Each step names another ID; more steps than aliases mean a loop.
    for (std::size_t steps = 0; steps < Aliases.size(); ++steps) {
        const auto it = Aliases.find(platform::AnsiLowerCase(target));
        if (it == Aliases.end())
            break;
        target = it->second;
    }
    return target;
}

std::optional<std::int32_t> THpjFile::MappedNumber(std::string_view id) const {
    const auto it = Map.find(platform::AnsiLowerCase(id));
    std::int32_t number = 0;
    if (it == Map.end() || !ParseMapNumber(it->second, number))
        return std::nullopt;
    return number;
}

THpjFile ParseHpj(std::string_view text, const THpjIncludeReader& readInclude) {
    THpjFile hpj;
    hpj.Options = IniSection(text, "OPTIONS");
    TMapReader map(hpj, readInclude);
    Section current = Section::Other;
    for (const std::string& raw : rtf::SplitLines(text)) {
        const std::string line = StripHpjComment(raw);
        if (line.empty())
            continue;
        if (line.front() == '[')
            current = SectionOf(line, hpj);
        else
            AddSectionLine(current, line, hpj, map);
    }
    return hpj;
}

THpjFile ReadHpjFile(const std::filesystem::path& path) {
    const std::string text = platform::ReadRegularFile(path, kMaxHpjBytes);
    const fs::path folder = path.parent_path();
    THpjFile options;
    options.Options = IniSection(text, "OPTIONS");
    std::vector<fs::path> folders = {folder};
    for (const fs::path& root : HpjRootFolders(options, folder))
        folders.push_back(root);
    return ParseHpj(
        text, [&](const std::string& name, std::string& problem) -> std::optional<std::string> {
            const std::vector<fs::path> candidates = HpjFileCandidates(name, folders, folder);
            for (const fs::path& candidate : candidates) {
                std::error_code ec;
                if (!fs::exists(candidate, ec))
                    continue;
                try {
                    return platform::ReadRegularFile(candidate, kMaxHpjBytes);
                } catch (const platform::PlatformError& error) {
                    problem = error.what();
                    return std::nullopt;
                }
            }
            problem = candidates.empty() ? "its drive is not mapped"
                                         : "not found (looked for " + PathList(candidates) + ")";
            return std::nullopt;
        });
}

std::vector<fs::path> HpjRootFolders(const THpjFile& hpj, const fs::path& hpjFolder) {
    std::vector<fs::path> folders;
    for (const std::string& roots : hpj.OptionValues("Root")) {
        std::size_t start = 0;
        while (start < roots.size()) {
            std::size_t comma = roots.find_first_of(",;", start);
            if (comma == std::string::npos)
                comma = roots.size();
            const std::string root = TrimText(roots.substr(start, comma - start));
            start = comma + 1;
            if (root.empty())
                continue;
            if (auto folder = TryResolve(root, hpjFolder))
                folders.push_back(*folder);
        }
    }
    return folders;
}

std::vector<fs::path> HpjFileCandidates(std::string_view name, const std::vector<fs::path>& folders,
                                        const fs::path& hpjFolder) {
    std::vector<fs::path> candidates;
    auto add = [&](std::optional<fs::path> path) {
        if (path && std::find(candidates.begin(), candidates.end(), *path) == candidates.end())
            candidates.push_back(*path);
    };
    for (const fs::path& folder : folders)
        add(TryResolve(name, folder));
    add(TryResolve(platform::ExtractFileName(std::string(name)), hpjFolder));
    return candidates;
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

bool ReadHpjCompress(std::string_view value, bool defaultValue) {
    const std::string text = TrimText(value);
    const std::string word = platform::AnsiLowerCase(text.substr(0, text.find_first_of(" \t")));
    if (word == "high" || word == "medium")
        return true;
    std::int32_t number = 0;
    if (TryParseInt32(word, number))
        return number != 0;
    return ReadHpjBoolean(word, defaultValue);
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

std::optional<std::string> ParseIncludeLine(std::string_view line) {
    const std::string text = TrimText(line);
    if (!platform::StartsWithNoCase(text, "#include"))
        return std::nullopt;
    std::string name = TrimText(text.substr(8));
    if (name.size() >= 2 && ((name.front() == '<' && name.back() == '>') ||
                             (name.front() == '"' && name.back() == '"')))
        name = TrimText(name.substr(1, name.size() - 2));
    if (name.empty())
        return std::nullopt;
    return name;
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
