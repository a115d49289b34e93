// Description fields (all optional unless said otherwise):
//   stubSize (512), level (9), volumeSize (0)
//   uiStrings [..] (default: a built-in English list), uiStringOverrides {"50": ".."}
//   settings {publisher, publisherUrl, product, productUrl, version, releaseDate,
//             extraLine, icon, readme, licence, supportLibrary, appFolder,
//             commonAppFolder, menuFolder, backdropPicture, backdropTopCaption,
//             backdropBottomCaption}, settingsFlag (0), reservedGroup [3 texts]
//   installMode, portableMarkerKind, allDrives, portableFolder, advancedPage,
//   gradient, font {name,color,size,style,charset}, backdrop {...}
//   supportFiles {icon|readme|licence|supportLibrary|backdropPicture: CONTENT}
//   files [{name, CONTENT, date, version [high, low]}], uninstallers (true)
//   components [{name, description, userMayChoose, selected, dependencies,
//                folders [FOLDER]}]
//   FOLDER {name, folders [FOLDER], items [ITEM]}  (no "items": level ends 255)
//   ITEM {file REF, rule, notLogged, register} | {shortcut REF, name,
//        description, arguments, iconIndex, iconFile REF} | {url, name,
//        iconIndex, iconFile REF} | {kind N, hex ".."}
//   registry [{root, keys [{name, values [{name, string|dword|binary|logOnly}],
//             removeKey, keys [...]}]}] or {hex ".."}
//   fileTypes [{register, description, extension, iconFile REF, iconIndex,
//               actions [{verb, program REF, command}]}]
//   dotNet {versions, installerFile, downloadUrl, CONTENT}, thirdParty [{name,
//   downloadUrl, installerFile, parameters, registryKey, valueCheck,
//   expectedValue, filePath, CONTENT}]
//   finish {flags, program REF, parameters}, uninstallCommand {program REF,
//   parameters}, uninstallShortcut, uninstallOptions {bytes [3], reserved [3]}
// CONTENT is one of text, hex, source (a file), zeros N, generated {size, seed}.
// REF is a packaged file name (support files first, then files) or a number.
#include "packagebuilder.h"

#include <zlib.h>

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "platform/codepage.h"

namespace mkpackage {

using nlohmann::json;

namespace {

struct Faults {
    std::map<std::string, std::string> items;
    bool Has(const std::string& name) const { return items.count(name) != 0; }
    long long Number(const std::string& name) const {
        auto it = items.find(name);
        return it == items.end() || it->second.empty() ? -1 : std::stoll(it->second);
    }
};

void Put8(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
}
void Put16(std::string& out, unsigned v) {
    Put8(out, v);
    Put8(out, v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string Text(const json& j, const char* key, const std::string& fallback = {}) {
    if (!j.is_object() || !j.contains(key))
        return fallback;
    return platform::Utf8ToCp1252(j.at(key).get<std::string>());
}
long long Num(const json& j, const char* key, long long fallback = 0) {
    if (!j.is_object() || !j.contains(key))
        return fallback;
    const json& v = j.at(key);
    if (v.is_boolean())
        return v.get<bool>() ? 1 : 0;
    return v.get<long long>();
}

std::string FromHex(const std::string& hex) {
    std::string out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            v = (c | 0x20) - 'a' + 10;
        else
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out += static_cast<char>(nibble * 16 + v);
            nibble = -1;
        }
    }
    return out;
}

// Deterministic text-like bytes (words and line breaks) for large files.
std::string Generated(std::uint64_t size, std::uint64_t seed) {
    static const char* const words[] = {
        "setup ",   "volume ",   "package ",  "stream ",  "folder ", "variable ", "file ",
        "install ", "shortcut ", "registry ", "version ", "the ",    "of ",       "and ",
        "to ",      "a ",        "in ",       "with ",    "data ",   "byte ",     "42 ",
        "1997 ",    "\r\n",      "help ",     "topic ",   "index ",  "window ",   "menu "};
    std::string out;
    out.reserve(size);
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    while (out.size() < size) {
        x ^= x >> 12;
        x ^= x << 25;
        x ^= x >> 27;
        std::uint64_t r = x * 2685821657736338717ull;
        out += words[(r >> 33) % (sizeof words / sizeof words[0])];
        if (((r >> 20) & 63) == 0)
            out += static_cast<char>('A' + (r >> 40) % 26);
    }
    out.resize(size);
    return out;
}

std::string Content(const json& j, const std::string& base) {
    if (!j.is_object())
        return {};
    if (j.contains("text"))
        return platform::Utf8ToCp1252(j.at("text").get<std::string>());
    if (j.contains("hex"))
        return FromHex(j.at("hex").get<std::string>());
    if (j.contains("zeros"))
        return std::string(j.at("zeros").get<std::size_t>(), '\0');
    if (j.contains("generated"))
        return Generated(j.at("generated").at("size").get<std::uint64_t>(),
                         Num(j.at("generated"), "seed", 1));
    if (j.contains("source")) {
        std::string path = j.at("source").get<std::string>();
        if (!path.empty() && path[0] != '/' && !base.empty())
            path = base + "/" + path;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + path);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    return {};
}

std::string Deflate(const std::string& data, int level) {
    z_stream zs{};
    if (deflateInit(&zs, level) != Z_OK)
        throw std::runtime_error("deflateInit failed");
    std::string out(deflateBound(&zs, data.size()), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    int code = deflate(&zs, Z_FINISH);
    deflateEnd(&zs);
    if (code != Z_STREAM_END)
        throw std::runtime_error("deflate failed");
    out.resize(zs.total_out);
    return out;
}

std::string Record(const std::string& stream) {
    std::string out;
    Put32(out, static_cast<std::uint32_t>(stream.size()));
    return out + stream;
}

class Builder {
public:
    Builder(const json& d, const TBuildOptions& o) : d_(d), o_(o) {
        for (const auto& f : o.faults) {
            auto eq = f.find('=');
            faults_.items[f.substr(0, eq)] = eq == std::string::npos ? "" : f.substr(eq + 1);
        }
        level_ = static_cast<int>(Num(d, "level", 9));
    }

    TBuiltPackage Build();

private:
    std::string CS(const std::string& text) {
        if (text.empty())
            return std::string(4, '\0');
        return Record(Deflate(text, level_));
    }
    std::uint16_t Ref(const json& j, const char* key, std::uint16_t none = 0xFFFF) {
        if (!j.is_object() || !j.contains(key) || j.at(key).is_null())
            return none;
        const json& v = j.at(key);
        if (v.is_number())
            return static_cast<std::uint16_t>(v.get<long long>());
        std::string name = platform::Utf8ToCp1252(v.get<std::string>());
        for (std::size_t i = 0; i < names_.size(); ++i)
            if (names_[i] == name)
                return static_cast<std::uint16_t>(i);
        throw std::runtime_error("no packaged file named " + v.get<std::string>());
    }
    std::string Header();
    std::string Tables(const std::vector<std::uint32_t>& positions);
    std::string Level(const json& folder, bool top);
    std::string Items(const json& items);
    std::string RegistryTable();
    std::string RegistryLevel(const json& key);
    std::string FileTypes();

    const json& d_;
    const TBuildOptions& o_;
    Faults faults_;
    int level_ = 9;
    std::vector<std::string> names_; // the file index space
    std::size_t supportCount_ = 0;
    std::vector<std::string> supportBlobs_;
    struct PackageFile {
        std::uint32_t date = 0x5A6B3C20;
        std::uint32_t versionLow = 0xB669FD2E;
        std::uint32_t versionHigh = 0;
        std::uint32_t size = 0;
        std::uint32_t crc = 0;
        std::string stream; // length + zlib data
    };
    std::vector<PackageFile> files_; // one per index, support files included
    std::vector<std::string> rawInstallers_;
};

const char* const kDefaultUi[] = {
    "%s Setup", // 0
    "Welcome to the installation of ",
    "",               // 1, 2
    "Released on %s", // 3
    "Install",
    "Install %s", // 4, 5
    "Readme",
    "Show the readme file", // 6, 7
    "Components",
    "Choose the components to install", // 8, 9
    "Advanced",
    "Advanced options", // 10, 11
    "Exit",
    "Leave the installation",                                 // 12, 13
    "You need administrator rights to install this product.", // 14
    "A normal installation is not possible.",                 // 15
    "Licence agreement:",
    "I accept",
    "I decline", // 16-18
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "", // 19-27
    "< Back",
    "Proceed >",
    "Abort", // 28-30
    "Application folder",
    "Common application folder",
    "Menu folder", // 31-33
    "File types",
    "OK",
    "Cancel", // 34-36
    "Space needed: %s (%d%%)",
    "Show details", // 37, 38
    "",             // 39
    "Copying %s",
    "Creating shortcut %s", // 40, 41
    "Writing registry entries",
    "Registering file types",
    "Removing obsolete files", // 42-44
    "%s has been installed.",
    "Done",
    "A restart is needed.",
    "Restart now",
    "Restart later",                                 // 45-49
    "Please insert volume %d of the setup package.", // 50
    "%s is already installed.",
    "This package is newer.",
    "Install to update it.",
    "This package is the same.",
    "You may change the components.",
    "Choose the components.",
    "This package is older.",
    "Installing it is not recommended.", // 51-58
    "Uninstall %s",
    "",
    "",
    "",
    "",
    "",             // 59-64
    "Uninstall %s", // 65
    "An error occurred while installing %s:",
    "Do you want to continue?", // 66, 67
    "The installation was aborted.",
    "%s was installed with errors.",                                            // 68, 69
    "Setup cannot continue.",                                                   // 70
    "",                                                                         // 71
    "The file %s could not be read from the setup package. Please contact %s.", // 72
    "The file %s could not be written.",                                        // 73
    "The folder %s could not be created.",                                      // 74
    "Invalid folder.",
    "Not enough space on %s: %s needed, %s free.", // 75, 76
    "Portable",
    "Install onto a portable drive", // 77, 78
    "Drive:",
    "Drive",
    "Label",
    "Free",
    "No volume information",
    "Show all drives",
    "Folder:", // 79-85
    ".NET Framework %s is needed.",
    "The installer is running.",
    "Please download it:",
    "%s must be installed first."}; // 86-89

std::string Builder::Header() {
    std::string out;
    std::vector<std::string> ui;
    if (d_.contains("uiStrings")) {
        for (const auto& s : d_.at("uiStrings"))
            ui.push_back(platform::Utf8ToCp1252(s.get<std::string>()));
    } else {
        for (const char* s : kDefaultUi)
            ui.push_back(s);
    }
    if (d_.contains("uiStringOverrides"))
        for (const auto& [key, value] : d_.at("uiStringOverrides").items()) {
            std::size_t i = std::stoul(key);
            if (ui.size() <= i)
                ui.resize(i + 1);
            ui[i] = platform::Utf8ToCp1252(value.get<std::string>());
        }
    std::string uiText;
    for (const auto& s : ui)
        uiText += s + "\r\n";
    std::string uiStream = Deflate(uiText, level_);
    if (faults_.Has("truncate-string"))
        uiStream.resize(uiStream.size() / 2);
    if (faults_.Has("trailing-string"))
        uiStream += "TRAILING";
    if (faults_.Has("huge-string"))
        uiStream = ZeroBombStream(1ull << 30);
    out += Record(uiStream);

    const json empty = json::object();
    const json& s = d_.contains("settings") ? d_.at("settings") : empty;
    bool backdrop = d_.contains("backdrop") && !d_.at("backdrop").is_null();
    std::string settings;
    for (const char* key : {"publisher", "publisherUrl", "product", "productUrl", "version",
                            "releaseDate", "extraLine", "icon", "readme", "licence",
                            "supportLibrary", "appFolder", "commonAppFolder", "menuFolder"})
        settings += Text(s, key) + '\x0C';
    if (backdrop)
        for (const char* key : {"backdropPicture", "backdropTopCaption", "backdropBottomCaption"})
            settings += Text(s, key) + '\x0C';
    auto flag = static_cast<char>(Num(d_, "settingsFlag", 0));
    settings += flag;
    out += CS(settings);
    if (flag != 0)
        for (int i = 0; i < 3; ++i)
            out += CS(d_.contains("reservedGroup")
                          ? platform::Utf8ToCp1252(d_.at("reservedGroup")[i].get<std::string>())
                          : std::string());
    auto mode = static_cast<unsigned>(Num(d_, "installMode", 0));
    Put8(out, mode);
    if (mode != 0) {
        Put8(out, static_cast<unsigned>(Num(d_, "portableMarkerKind", 1)));
        Put8(out, static_cast<unsigned>(Num(d_, "allDrives", 0)));
        out += CS(Text(d_, "portableFolder", "\\Portable"));
    }
    out += std::string(68, '\0');
    Put8(out, static_cast<unsigned>(Num(d_, "advancedPage", 1)));
    Put8(out, static_cast<unsigned>(Num(d_, "gradient", 0)));
    auto font = [&](const json& f) {
        std::string rec(39, '\0');
        std::string name = Text(f, "name", "Tahoma");
        rec[0] = static_cast<char>(name.size());
        rec.replace(1, std::min<std::size_t>(name.size(), 31), name.substr(0, 31));
        std::string color;
        Put32(color, static_cast<std::uint32_t>(Num(f, "color", 0)));
        rec.replace(32, 4, color);
        rec[36] = static_cast<char>(Num(f, "size", 8));
        rec[37] = static_cast<char>(Num(f, "style", 0));
        rec[38] = static_cast<char>(Num(f, "charset", 0));
        return rec;
    };
    out += font(d_.contains("font") ? d_.at("font") : empty);
    Put8(out, backdrop ? 1 : 0);
    if (backdrop) {
        const json& b = d_.at("backdrop");
        std::string rec;
        for (const char* key :
             {"gradientColor1", "gradientColor2", "topShadowColor", "bottomShadowColor"})
            Put32(rec, static_cast<std::uint32_t>(Num(b, key, 0)));
        for (const char* key : {"pictureTransparent", "topShadow", "bottomShadow"})
            Put8(rec, static_cast<unsigned>(Num(b, key, 0)));
        rec += font(b.contains("topFont") ? b.at("topFont") : empty);
        rec += font(b.contains("bottomFont") ? b.at("bottomFont") : empty);
        out += CS(rec);
    }
    return out;
}

std::string Builder::Items(const json& items) {
    std::string out;
    for (const auto& item : items) {
        if (item.contains("kind")) {
            Put8(out, static_cast<unsigned>(Num(item, "kind")));
            out += FromHex(item.value("hex", ""));
        } else if (item.contains("file")) {
            unsigned kind = 0x80 | (Num(item, "rule", 0) & 3) | (Num(item, "notLogged") ? 4 : 0) |
                            (Num(item, "register") ? 8 : 0);
            Put8(out, kind);
            Put16(out, Ref(item, "file"));
        } else if (item.contains("shortcut")) {
            Put8(out, 0x40);
            Put16(out, Ref(item, "shortcut"));
            for (const char* key : {"name", "description", "arguments"}) {
                std::string t = Text(item, key);
                Put8(out, static_cast<unsigned>(t.size()));
                out += t;
            }
            Put8(out, static_cast<unsigned>(Num(item, "iconIndex", 0)));
            Put16(out, Ref(item, "iconFile"));
        } else if (item.contains("url")) {
            Put8(out, 0x20);
            for (const char* key : {"url", "name"}) {
                std::string t = Text(item, key);
                Put8(out, static_cast<unsigned>(t.size()));
                out += t;
            }
            Put8(out, static_cast<unsigned>(Num(item, "iconIndex", 0)));
            Put16(out, Ref(item, "iconFile"));
        }
    }
    return out;
}

std::string Builder::Level(const json& folder, bool top) {
    std::string out;
    if (folder.contains("folders"))
        for (const auto& sub : folder.at("folders")) {
            std::string name = Text(sub, "name");
            Put8(out, static_cast<unsigned>(name.size()));
            out += name;
            out += Level(sub, false);
        }
    if (folder.contains("items")) {
        Put8(out, 254);
        out += CS(Items(folder.at("items")));
    } else {
        Put8(out, 255);
    }
    (void)top;
    return out;
}

std::string Builder::RegistryLevel(const json& key) {
    std::string out;
    if (key.contains("values"))
        for (const auto& v : key.at("values")) {
            Put8(out, 2);
            out += Text(v, "name") + '\0';
            if (v.contains("string")) {
                Put8(out, 4);
                out += Text(v, "string") + '\0';
            } else if (v.contains("dword")) {
                Put8(out, 5);
                Put32(out, static_cast<std::uint32_t>(Num(v, "dword")));
            } else if (v.contains("binary")) {
                std::string bytes = FromHex(v.at("binary").get<std::string>());
                Put8(out, 6);
                Put32(out, static_cast<std::uint32_t>(bytes.size()));
                out += bytes;
            } else {
                Put8(out, 3);
            }
        }
    if (key.contains("keys"))
        for (const auto& sub : key.at("keys")) {
            Put8(out, 1);
            out += Text(sub, "name") + '\0';
            out += RegistryLevel(sub);
        }
    if (Num(key, "removeKey"))
        Put8(out, 31);
    Put8(out, 255);
    return out;
}

std::string Builder::RegistryTable() {
    if (!d_.contains("registry"))
        return {};
    const json& r = d_.at("registry");
    if (r.is_object())
        return FromHex(r.value("hex", ""));
    std::string out;
    for (const auto& root : r) {
        Put8(out, 0);
        out += Text(root, "root");
        out += RegistryLevel(root);
    }
    return out;
}

std::string Builder::FileTypes() {
    std::string out;
    if (!d_.contains("fileTypes"))
        return out;
    for (const auto& t : d_.at("fileTypes")) {
        Put8(out, static_cast<unsigned>(Num(t, "register", 1)));
        out += Text(t, "description") + '\x0C';
        out += Text(t, "extension") + '\x0C';
        Put16(out, Ref(t, "iconFile"));
        Put8(out, static_cast<unsigned>(Num(t, "iconIndex", 0)));
        const json actions = t.value("actions", json::array());
        Put8(out, static_cast<unsigned>(actions.size()));
        for (const auto& a : actions) {
            out += Text(a, "verb") + '\x0C';
            Put16(out, Ref(a, "program"));
            out += Text(a, "command") + '\x0C';
        }
    }
    return out;
}

std::string Builder::Tables(const std::vector<std::uint32_t>& positions) {
    std::string out;
    const json comps = d_.value("components", json::array());
    Put8(out,
         static_cast<unsigned>(Num(d_, "componentCount", static_cast<long long>(comps.size()))));
    for (const auto& c : comps) {
        std::string rec;
        Put8(rec, (Num(c, "userMayChoose", 1) ? 2 : 0) | (Num(c, "selected", 1) ? 1 : 0));
        std::string name = Text(c, "name");
        Put8(rec, static_cast<unsigned>(name.size()));
        rec += name;
        const json deps = c.value("dependencies", json::array());
        Put8(rec, static_cast<unsigned>(deps.size()));
        for (const auto& dep : deps)
            Put8(rec, static_cast<unsigned>(dep.get<int>()));
        rec += Text(c, "description");
        out += CS(rec);
    }
    std::string names;
    for (std::size_t i = supportCount_; i < names_.size(); ++i)
        names += names_[i] + "\r\n";
    out += CS(names);
    long long wrongSize = faults_.Number("wrong-size");
    long long wrongCrc = faults_.Number("wrong-crc");
    for (std::size_t i = 0; i < files_.size(); ++i)
        Put32(out, positions[i]);
    for (const auto& f : files_)
        Put32(out, f.date);
    for (const auto& f : files_) {
        Put32(out, f.versionLow);
        Put32(out, f.versionHigh);
    }
    for (std::size_t i = 0; i < files_.size(); ++i)
        Put32(out,
              files_[i].size + (static_cast<long long>(i - supportCount_) == wrongSize ? 1 : 0));
    for (std::size_t i = 0; i < files_.size(); ++i)
        Put32(out,
              files_[i].crc ^ (static_cast<long long>(i - supportCount_) == wrongCrc ? 1u : 0u));
    for (const auto& c : comps) {
        json root = json::object();
        root["folders"] = c.value("folders", json::array());
        out += Level(root, true);
    }
    out += CS(RegistryTable());
    out += CS(FileTypes());
    const json empty = json::object();
    const json& net = d_.contains("dotNet") ? d_.at("dotNet") : empty;
    std::size_t installer = 0;
    auto rawPosition = [&](std::size_t index) -> std::uint32_t {
        return positions.at(files_.size() + index);
    };
    Put8(out, static_cast<unsigned>(Num(net, "versions", 0)));
    if (Num(net, "versions", 0) != 0) {
        out += CS(Text(net, "installerFile"));
        out += CS(Text(net, "downloadUrl"));
        Put32(out, static_cast<std::uint32_t>(rawInstallers_[installer].size()));
        Put32(out, rawInstallers_[installer].empty() ? 0 : rawPosition(installer));
        ++installer;
    }
    const json third = d_.value("thirdParty", json::array());
    Put32(out, static_cast<std::uint32_t>(third.size()));
    for (const auto& p : third) {
        for (const char* key : {"name", "downloadUrl", "installerFile", "parameters", "registryKey",
                                "valueCheck", "expectedValue", "filePath"})
            out += CS(Text(p, key));
        Put32(out, static_cast<std::uint32_t>(rawInstallers_[installer].size()));
        Put32(out, rawInstallers_[installer].empty() ? 0 : rawPosition(installer));
        ++installer;
    }
    const json& fin = d_.contains("finish") ? d_.at("finish") : empty;
    auto flags = static_cast<unsigned>(Num(fin, "flags", 0));
    Put8(out, flags);
    if (flags & 4) {
        Put16(out, Ref(fin, "program"));
        out += CS(Text(fin, "parameters"));
    }
    const json& un = d_.contains("uninstallCommand") ? d_.at("uninstallCommand") : empty;
    std::uint16_t program = Ref(un, "program", 0);
    Put16(out, program);
    if (program != 0)
        out += CS(Text(un, "parameters"));
    Put8(out, static_cast<unsigned>(Num(d_, "uninstallShortcut", 1)));
    const json& opt = d_.contains("uninstallOptions") ? d_.at("uninstallOptions") : empty;
    const json bytes = opt.value("bytes", json::array({0, 0, 0}));
    for (int i = 0; i < 3; ++i)
        Put8(out, static_cast<unsigned>(bytes.at(i).get<int>()));
    if (bytes.at(0).get<int>() & 2)
        for (int i = 0; i < 3; ++i)
            out += CS(opt.contains("reserved")
                          ? platform::Utf8ToCp1252(opt.at("reserved")[i].get<std::string>())
                          : std::string());
    return out;
}

TBuiltPackage Builder::Build() {
    TBuiltPackage result;
    long long volumeSize = o_.volumeSize >= 0 ? o_.volumeSize : Num(d_, "volumeSize", 0);
    result.volumeSize = static_cast<std::int32_t>(volumeSize);
    std::size_t stubSize = static_cast<std::size_t>(Num(d_, "stubSize", 512));
    if (stubSize < 148)
        throw std::runtime_error("stubSize must be at least 148");

    // Support files: the blobs follow the header in this order.
    const json empty = json::object();
    const json& s = d_.contains("settings") ? d_.at("settings") : empty;
    const json& support = d_.contains("supportFiles") ? d_.at("supportFiles") : empty;
    std::vector<std::pair<const char*, bool>> order = {
        {"icon", true},
        {"readme", true},
        {"licence", true},
        {"supportLibrary", true},
        {"backdropPicture", d_.contains("backdrop") && !d_.at("backdrop").is_null()}};
    for (const auto& [key, used] : order) {
        std::string name = Text(s, key);
        if (!used || name.empty())
            continue;
        std::string data = Content(support.contains(key) ? support.at(key) : empty, o_.baseFolder);
        supportBlobs_.push_back(data);
        names_.push_back(name);
        PackageFile f;
        f.size = static_cast<std::uint32_t>(data.size());
        f.crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        files_.push_back(std::move(f));
    }
    supportCount_ = files_.size();

    json fileList = d_.value("files", json::array());
    if (d_.value("uninstallers", true)) {
        fileList.push_back({{"name", "Retraxal.exe"}, {"text", "uninstaller"}});
        fileList.push_back({{"name", "RetraxalV.exe"}, {"text", "uninstaller V"}});
    }
    long long truncate = faults_.Number("truncate-file");
    long long trailing = faults_.Number("trailing-file");
    for (std::size_t i = 0; i < fileList.size(); ++i) {
        const json& fj = fileList[i];
        names_.push_back(Text(fj, "name"));
        PackageFile f;
        std::string data = Content(fj, o_.baseFolder);
        f.size = static_cast<std::uint32_t>(data.size());
        f.crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        f.date = static_cast<std::uint32_t>(Num(fj, "date", 0x5A6B3C20));
        if (fj.contains("version")) {
            f.versionHigh = fj.at("version")[0].get<std::uint32_t>();
            f.versionLow = fj.at("version")[1].get<std::uint32_t>();
        }
        std::string stream = Deflate(data, level_);
        data.clear();
        data.shrink_to_fit();
        if (static_cast<long long>(i) == truncate)
            stream.resize(stream.size() / 2);
        if (static_cast<long long>(i) == trailing)
            stream += "TRAILING";
        f.stream = Record(stream);
        files_.push_back(std::move(f));
    }
    if (d_.contains("dotNet") && Num(d_.at("dotNet"), "versions", 0) != 0)
        rawInstallers_.push_back(Content(d_.at("dotNet"), o_.baseFolder));
    for (const auto& p : d_.value("thirdParty", json::array()))
        rawInstallers_.push_back(Content(p, o_.baseFolder));

    std::string head;
    Put32(head, static_cast<std::uint32_t>(volumeSize));
    head += Header();
    for (const auto& blob : supportBlobs_)
        head += CS(blob);

    // Positions are fixed-width, so the tables' length does not depend on
    // them: measure once with zeros, then write the real values.
    std::vector<std::uint32_t> positions(files_.size() + rawInstallers_.size(), 0);
    std::size_t tablesSize = Tables(positions).size();
    std::uint64_t at = stubSize + head.size() + tablesSize;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (i < supportCount_) {
            positions[i] = 0xFFFFFFFF;
            continue;
        }
        positions[i] = static_cast<std::uint32_t>(at);
        at += files_[i].stream.size();
    }
    for (std::size_t i = 0; i < rawInstallers_.size(); ++i) {
        positions[files_.size() + i] = static_cast<std::uint32_t>(at);
        at += rawInstallers_[i].size();
    }
    if (faults_.Has("position")) {
        std::string arg = faults_.items["position"];
        auto colon = arg.find(':');
        std::size_t index = supportCount_ + std::stoul(arg.substr(0, colon));
        positions.at(index) = static_cast<std::uint32_t>(std::stoull(arg.substr(colon + 1)));
    }

    std::string stub(stubSize, '\0');
    stub[0] = 'M';
    stub[1] = 'Z';
    const char note[] = "Test setup stub: the package follows.";
    stub.replace(64, sizeof note - 1, note);
    std::string offset;
    Put32(offset, faults_.Has("bad-offset") ? 0x7FFFFFF0u : static_cast<std::uint32_t>(stubSize));
    stub.replace(144, 4, offset);

    std::string& out = result.bytes;
    out.reserve(at);
    out += stub;
    out += head;
    out += Tables(positions);
    for (std::size_t i = supportCount_; i < files_.size(); ++i) {
        out += files_[i].stream;
        files_[i].stream.clear();
        files_[i].stream.shrink_to_fit();
    }
    for (const auto& raw : rawInstallers_)
        out += raw;

    if (volumeSize > 0) {
        std::size_t left = out.size();
        while (left > 0) {
            std::size_t n = std::min<std::size_t>(left, static_cast<std::size_t>(volumeSize));
            result.volumeCuts.push_back(n);
            left -= n;
        }
    } else {
        result.volumeCuts.push_back(out.size());
    }
    return result;
}

} // namespace

std::string ZeroBombStream(std::uint64_t count) {
    std::string out;
    out += '\x78';
    out += '\x01';
    std::uint32_t bits = 0;
    int nbits = 0;
    auto put = [&](std::uint32_t value, int n) { // LSB first
        bits |= value << nbits;
        nbits += n;
        while (nbits >= 8) {
            out += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            nbits -= 8;
        }
    };
    auto putCode = [&](std::uint32_t code, int n) { // Huffman codes go MSB first
        for (int i = n - 1; i >= 0; --i)
            put((code >> i) & 1, 1);
    };
    put(1, 1);        // final block
    put(1, 2);        // fixed Huffman codes
    putCode(0x30, 8); // literal 0
    std::uint64_t left = count - 1;
    // Length 258 (code 285, 11000101) then distance 1 (code 0, 00000),
    // bit-reversed once into the 13 bits that go out LSB first.
    while (left >= 258) {
        put(0xA3, 13);
        left -= 258;
    }
    while (left-- > 0)
        putCode(0x30, 8);
    putCode(0, 7); // end of block
    if (nbits > 0)
        put(0, 8 - nbits);
    std::uint32_t a = 1;
    auto b = static_cast<std::uint32_t>(count % 65521);
    std::uint32_t adler = (b << 16) | a;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((adler >> shift) & 0xFF);
    return out;
}

TBuiltPackage BuildPackage(const json& description, const TBuildOptions& options) {
    Builder builder(description, options);
    return builder.Build();
}

std::vector<std::string> BuildPackageFile(const std::string& descriptionPath,
                                          const std::string& outPath, TBuildOptions options) {
    std::ifstream in(descriptionPath);
    if (!in)
        throw std::runtime_error("cannot read " + descriptionPath);
    json description = json::parse(in);
    if (options.baseFolder.empty()) {
        auto slash = descriptionPath.find_last_of('/');
        options.baseFolder = slash == std::string::npos ? "." : descriptionPath.substr(0, slash);
    }
    TBuiltPackage built = BuildPackage(description, options);
    long long shortVolume = -1;
    for (const auto& f : options.faults)
        if (f.rfind("short-volume=", 0) == 0)
            shortVolume = std::stoll(f.substr(13));
    std::vector<std::string> written;
    std::size_t at = 0;
    for (std::size_t v = 0; v < built.volumeCuts.size(); ++v) {
        std::string name = outPath;
        if (v > 0) {
            auto slash = outPath.find_last_of('/');
            auto dot = outPath.find_last_of('.');
            std::string base =
                (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                    ? outPath.substr(0, dot)
                    : outPath;
            char digits[32];
            std::snprintf(digits, sizeof digits, "%03zu", v + 1);
            name = base + "." + digits;
        }
        std::size_t n = built.volumeCuts[v];
        std::size_t keep = n;
        if (static_cast<long long>(v + 1) == shortVolume)
            keep = n > 100 ? n - 100 : 0;
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(built.bytes.data() + at, static_cast<std::streamsize>(keep));
        if (!out)
            throw std::runtime_error("cannot write " + name);
        at += n;
        written.push_back(name);
    }
    return written;
}

} // namespace mkpackage
