#include "speller/dictionaryregistration.h"

#include <algorithm>
#include <system_error>

#include "platform/codepage.h"
#include "platform/resolvepath.h"
#include "speller/inifile.h"

namespace speller {

namespace {

constexpr std::size_t kFieldSize = 63;
constexpr std::size_t kFormatSize = 15;

std::string PathText(const std::filesystem::path& folder) {
    std::string text = platform::Utf8ToCp1252(folder.string());
    if (!text.empty() && text.back() != '/')
        text += '/';
    return text;
}

std::filesystem::path ResolveFolder(std::string_view text) {
    try {
        return platform::resolvePath(text);
    } catch (const std::exception&) {
        return {};
    }
}

bool FileIn(const std::filesystem::path& folder, const std::string& name) {
    if (!IsPlainFileName(name))
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / platform::Cp1252ToUtf8(name), ec);
}

bool AllFilesIn(const std::filesystem::path& folder, const TDictionaryHeader& header) {
    auto names = header.FileNames();
    return !names.empty() && std::all_of(names.begin(), names.end(),
                                         [&](const std::string& n) { return FileIn(folder, n); });
}

} // namespace

std::vector<std::string> TDictionaryHeader::FileNames() const {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos <= Files.size()) {
        std::size_t bar = Files.find('|', pos);
        if (bar == std::string::npos)
            bar = Files.size();
        if (bar > pos)
            names.push_back(Files.substr(pos, bar - pos));
        pos = bar + 1;
    }
    return names;
}

std::string TDictionaryHeader::FirstFileName() const {
    std::size_t bar = Files.find('|');
    return bar == std::string::npos || bar < 2 ? Files : Files.substr(0, bar);
}

void ClipHeaderFields(TDictionaryHeader& header) {
    for (std::string* field :
         {&header.Name, &header.IgnorePrefixes, &header.IgnoreSuffixes, &header.Files})
        if (field->size() > kFieldSize)
            field->resize(kFieldSize);
    if (header.DataFormat.size() > kFormatSize)
        header.DataFormat.resize(kFormatSize);
    if (header.DataFormat.empty())
        header.DataFormat = kDefaultDataFormat;
}

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|')
            return false;
    }
    // Leading or trailing blanks and trailing dots name another file on the
    // desktop platform than they do here.
    return name.front() != ' ' && name.back() != ' ' && name.back() != '.';
}

bool IsDictionaryFileName(std::string_view name) {
    const std::size_t extension = kDictionaryExtension.size();
    return IsPlainFileName(name) && name.size() > extension &&
           platform::AnsiSameText(name.substr(name.size() - extension), kDictionaryExtension);
}

std::filesystem::path DefaultDictionaryFolder(const std::filesystem::path& appDataFolder) {
    return appDataFolder / "Vexlor" / "Dictionaries";
}

TDictionaryRegistration::TDictionaryRegistration(platform::Registry& registry,
                                                 TDictionaryPlaces places)
    : registry_(registry), places_(std::move(places)) {}

std::filesystem::path TDictionaryRegistration::CataloguePath() const {
    if (places_.ProgramFolder.empty())
        return {};
    return places_.ProgramFolder / kCatalogueFileName;
}

bool TDictionaryRegistration::UsesCatalogue() const {
    if (places_.ProgramFolder.empty())
        return false;
    std::error_code ec;
    return places_.OnRemovableDrive || std::filesystem::exists(CataloguePath(), ec);
}

void TDictionaryRegistration::Read() {
    installed_.clear();
    folder_.clear();
    registeredFolder_.clear();
    if (UsesCatalogue())
        ReadCatalogue();
    else
        ReadRegistry();
    if (folder_.empty())
        folder_ = places_.OnRemovableDrive && !places_.ProgramFolder.empty()
                      ? places_.ProgramFolder
                      : DefaultDictionaryFolder(places_.AppDataFolder);
}

void TDictionaryRegistration::ReadCatalogue() {
    folder_ = places_.ProgramFolder;
    registeredFolder_ = places_.ProgramFolder;
    std::error_code ec;
    if (!std::filesystem::exists(CataloguePath(), ec))
        return;
    TIniFile ini(CataloguePath());
    int count = 0;
    std::vector<std::string> sections;
    try {
        count = ini.ReadInteger("General", "Count", 0);
        sections = ini.ReadSections();
    } catch (const std::exception&) {
        return; // an unreadable catalogue registers nothing
    }
    // Every dictionary has a section of its own: a count beyond them is damage.
    count = std::clamp<int>(count, 0, static_cast<int>(sections.size()));
    for (int i = 0; i < count; ++i) {
        const std::string section = "Dict" + std::to_string(i);
        TDictionaryHeader header;
        header.Name = ini.ReadString(section, "Name", "");
        header.IgnorePrefixes = ini.ReadString(section, "IgnorePrefixes", "");
        header.IgnoreSuffixes = ini.ReadString(section, "IgnoreSuffixes", "");
        header.Files = ini.ReadString(section, "Files", "");
        header.DataFormat = ini.ReadString(section, "DataFormat", kDefaultDataFormat);
        ClipHeaderFields(header);
        header.Installed = AllFilesIn(folder_, header);
        installed_.push_back(std::move(header));
    }
}

void TDictionaryRegistration::ReadRegistry() {
    const auto root = places_.Root;
    const std::string_view key = kDictionariesKey;
    auto install = registry_.ReadString(root, key, "InstallPath");
    if (install && !install->empty()) {
        std::filesystem::path folder = ResolveFolder(*install);
        std::error_code ec;
        if (!folder.empty() && std::filesystem::is_directory(folder, ec)) {
            folder_ = folder;
            registeredFolder_ = folder;
        }
    }
    long long count = 0;
    if (auto dword = registry_.ReadDword(root, key, "Count"))
        count = static_cast<int32_t>(*dword);
    else if (auto text = registry_.ReadString(root, key, "Count"))
        count = ParseIniInteger(*text).value_or(0);
    // Each dictionary needs values of its own, so a count beyond the values
    // present is damage, not a reason to loop for ever.
    count = std::clamp<long long>(count, 0,
                                  static_cast<long long>(registry_.ValueNames(root, key).size()));
    const std::filesystem::path folder =
        folder_.empty() ? DefaultDictionaryFolder(places_.AppDataFolder) : folder_;
    for (long long i = 0; i < count; ++i) {
        const std::string index = std::to_string(i);
        auto read = [&](const char* name, std::string_view fallback = {}) {
            return registry_.ReadString(root, key, name + index).value_or(std::string(fallback));
        };
        TDictionaryHeader header;
        header.Name = read("Name");
        header.IgnorePrefixes = read("IgnorePrefixes");
        header.IgnoreSuffixes = read("IgnoreSuffixes");
        header.Files = read("Files");
        header.DataFormat = read("DataFormat", kDefaultDataFormat);
        ClipHeaderFields(header);
        header.Installed = AllFilesIn(folder, header);
        installed_.push_back(std::move(header));
    }
}

void TDictionaryRegistration::Write(const std::vector<TDictionaryHeader>& installed,
                                    const std::filesystem::path& folder) {
    try {
        if (UsesCatalogue()) {
            TIniFile ini(CataloguePath());
            // Sections of dictionaries no longer installed go, so that the
            // file says what it holds.
            for (const std::string& section : ini.ReadSections())
                if (section.size() > 4 && platform::AnsiSameText(section.substr(0, 4), "Dict"))
                    ini.EraseSection(section);
            ini.WriteInteger("General", "Count", static_cast<int>(installed.size()));
            for (std::size_t i = 0; i < installed.size(); ++i) {
                const std::string section = "Dict" + std::to_string(i);
                const TDictionaryHeader& h = installed[i];
                ini.WriteString(section, "Name", h.Name);
                ini.WriteString(section, "IgnorePrefixes", h.IgnorePrefixes);
                ini.WriteString(section, "IgnoreSuffixes", h.IgnoreSuffixes);
                ini.WriteString(section, "Files", h.Files);
                ini.WriteString(section, "DataFormat", h.DataFormat);
            }
        } else {
            const auto root = places_.Root;
            const std::string_view key = kDictionariesKey;
            registry_.CreateKey(root, key);
            registry_.WriteString(root, key, "InstallPath", PathText(folder));
            registry_.WriteDword(root, key, "Count", static_cast<uint32_t>(installed.size()));
            for (std::size_t i = 0; i < installed.size(); ++i) {
                const std::string n = std::to_string(i);
                const TDictionaryHeader& h = installed[i];
                registry_.WriteString(root, key, "Name" + n, h.Name);
                registry_.WriteString(root, key, "IgnorePrefixes" + n, h.IgnorePrefixes);
                registry_.WriteString(root, key, "IgnoreSuffixes" + n, h.IgnoreSuffixes);
                registry_.WriteString(root, key, "Files" + n, h.Files);
                registry_.WriteString(root, key, "DataFormat" + n, h.DataFormat);
            }
            registry_.FlushKey(root);
        }
    } catch (const std::exception& e) {
        throw ERegistrationError(std::string("The installed dictionaries cannot be registered: ") +
                                 e.what());
    }
    Read();
}

} // namespace speller
