#include "platform/resolvepath.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/systemfolders.h"
#include "platform/textutil.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

int LetterIndex(char letter) {
    unsigned char u = static_cast<unsigned char>(letter);
    if (u >= 'a' && u <= 'z') {
        return u - 'a';
    }
    if (u >= 'A' && u <= 'Z') {
        return u - 'A';
    }
    return -1;
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

// The entry of `folder` whose name equals `component` ignoring case in the
// Windows-1252 fold. Names that Windows-1252 cannot hold never match
// loosely. With several candidates the smallest name wins, so the answer
// does not depend on the order the file system lists them in.
std::optional<std::string> FindIgnoringCase(const fs::path& folder, const std::string& component) {
    const std::string wanted = Utf8ToCp1252(component);
    std::optional<std::string> best;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return std::nullopt;
    }
    for (const fs::directory_entry& entry : it) {
        std::string name = entry.path().filename().string();
        if (!Utf8FitsCp1252(name)) {
            continue;
        }
        if (AnsiSameText(Utf8ToCp1252(name), wanted) && (!best || name < *best)) {
            best = name;
        }
    }
    return best;
}

} // namespace

void DriveMap::Set(char letter, fs::path folder) {
    int i = LetterIndex(letter);
    if (i < 0) {
        throw PlatformError(std::string("\"") + letter + "\" is not a drive letter");
    }
    folders_[static_cast<size_t>(i)] = std::move(folder);
}

void DriveMap::Remove(char letter) {
    int i = LetterIndex(letter);
    if (i >= 0) {
        folders_[static_cast<size_t>(i)].reset();
    }
}

void DriveMap::Clear() {
    for (auto& f : folders_) {
        f.reset();
    }
}

std::optional<fs::path> DriveMap::Get(char letter) const {
    int i = LetterIndex(letter);
    if (i < 0) {
        return std::nullopt;
    }
    return folders_[static_cast<size_t>(i)];
}

bool DriveMap::Empty() const {
    return std::none_of(folders_.begin(), folders_.end(),
                        [](const auto& f) { return f.has_value(); });
}

std::string DriveMap::Letters() const {
    std::string letters;
    for (size_t i = 0; i < folders_.size(); ++i) {
        if (folders_[i]) {
            letters += static_cast<char>('A' + i);
        }
    }
    return letters;
}

DriveMap DriveMap::LoadFromDosDevices(const fs::path& folder) {
    DriveMap map;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return map;
    }
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        // "c:" is a drive; "c::" names the raw device and is of no use here.
        if (name.size() != 2 || name[1] != ':' || LetterIndex(name[0]) < 0) {
            continue;
        }
        fs::path target = fs::read_symlink(entry.path(), ec);
        if (ec) {
            ec.clear();
            continue;
        }
        if (target.is_relative()) {
            target = folder / target;
        }
        map.Set(name[0], target.lexically_normal());
    }
    return map;
}

DriveMap DriveMap::LoadFromConfig(const fs::path& file) {
    DriveMap map;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::string text = Trim(line);
        if (text.empty() || text[0] == '#' || text[0] == ';') {
            continue;
        }
        size_t eq = text.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        std::string key = Trim(std::string_view(text).substr(0, eq));
        std::string value = Trim(std::string_view(text).substr(eq + 1));
        if (!key.empty() && key.back() == ':') {
            key.pop_back();
        }
        if (key.size() != 1 || LetterIndex(key[0]) < 0 || value.empty()) {
            continue;
        }
        map.Set(key[0], value);
    }
    return map;
}

DriveMap DriveMap::LoadFromEnvironment() {
    return LoadFor(DefaultSystemRoots());
}

DriveMap DriveMap::LoadFor(const SystemRoots& roots) {
    fs::path prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine && roots.sandbox.empty()) {
        prefix = wine;
    } else {
        prefix = roots.home / ".wine";
    }
    std::error_code ec;
    if (fs::is_directory(prefix / "dosdevices", ec)) {
        DriveMap map = LoadFromDosDevices(prefix / "dosdevices");
        if (!map.Empty()) {
            return map;
        }
    }
    fs::path config = roots.xdgConfigHome / "vexlor" / "drives.conf";
    if (fs::exists(config, ec)) {
        DriveMap map = LoadFromConfig(config);
        if (!map.Empty()) {
            return map;
        }
    }
    DriveMap map;
    map.Set('C', "/");
    return map;
}

DriveMap& DriveMap::Default() {
    static DriveMap map = LoadFromEnvironment();
    return map;
}

fs::path resolvePath(std::string_view ansiPath, const fs::path& base) {
    return resolvePath(ansiPath, base, DriveMap::Default());
}

fs::path resolvePath(std::string_view ansiPath, const fs::path& base, const DriveMap& drives) {
    std::string text = Cp1252ToUtf8(ansiPath);
    std::replace(text.begin(), text.end(), '\\', '/');

    fs::path start;
    std::string_view rest = text;
    if (rest.size() >= 2 && rest[1] == ':' && LetterIndex(rest[0]) >= 0) {
        std::optional<fs::path> folder = drives.Get(rest[0]);
        if (!folder) {
            throw PlatformError(
                "The drive " +
                std::string(1, static_cast<char>(AnsiUpper(static_cast<unsigned char>(rest[0])))) +
                ": of \"" + Cp1252ToUtf8(ansiPath) + "\" is not mapped to a folder");
        }
        start = *folder;
        rest.remove_prefix(2);
    } else if (!rest.empty() && rest[0] == '/') {
        start = "/";
    } else if (!base.empty()) {
        start = base;
    } else {
        std::error_code ec;
        start = fs::current_path(ec);
        if (ec) {
            start = "/";
        }
    }

    std::vector<std::string> components;
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t slash = rest.find('/', pos);
        if (slash == std::string_view::npos) {
            slash = rest.size();
        }
        if (slash > pos) {
            components.emplace_back(rest.substr(pos, slash - pos));
        }
        pos = slash + 1;
    }

    fs::path result = start;
    bool matching = true; // false once a component matched nothing
    for (const std::string& component : components) {
        if (component == ".") {
            continue;
        }
        if (component == "..") {
            if (result.has_relative_path()) {
                result = result.parent_path();
            }
            matching = Exists(result);
            continue;
        }
        if (matching && !Exists(result / component)) {
            if (std::optional<std::string> found = FindIgnoringCase(result, component)) {
                result /= *found;
                continue;
            }
            matching = false;
        }
        result /= component;
    }
    return result;
}

} // namespace platform
