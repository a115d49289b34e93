#include "setup/packagetables.h"

#include "platform/codepage.h"
#include "platform/littleendian.h"
#include "setup/packagenames.h"
#include "setup/packagereader.h"
#include "setup/setuperrors.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

[[noreturn]] void Invalid(const std::string& detail) {
    throw EInvalidPackage("This is not a valid setup package: " + detail + ".");
}

// Reads fields of an inflated record, refusing to run past its end.
class Cursor {
public:
    Cursor(const std::string& data, std::string what) : data_(data), what_(std::move(what)) {}
    bool AtEnd() const { return pos_ >= data_.size(); }
    std::size_t Left() const { return data_.size() - pos_; }
    std::uint8_t Byte() {
        Need(1);
        return static_cast<std::uint8_t>(data_[pos_++]);
    }
    std::uint16_t Word() {
        Need(2);
        std::uint16_t v = platform::GetLE16(platform::BytesAt(data_, pos_));
        pos_ += 2;
        return v;
    }
    std::string Bytes(std::size_t n) {
        Need(n);
        std::string s = data_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    std::string ShortText() { return Bytes(Byte()); }
    std::string UpTo12() {
        std::size_t end = data_.find('\x0C', pos_);
        if (end == std::string::npos)
            Invalid(what_ + " ends inside a text");
        std::string s = data_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return s;
    }
    std::string Rest() {
        std::string s = data_.substr(pos_);
        pos_ = data_.size();
        return s;
    }

private:
    void Need(std::size_t n) const {
        if (n > data_.size() - pos_)
            Invalid(what_ + " ends too soon");
    }
    const std::string& data_;
    std::string what_;
    std::size_t pos_ = 0;
};

void CheckFileIndex(std::uint32_t index, std::size_t fileCount, const std::string& what,
                    bool noneAllowed) {
    if (noneAllowed && index == kNoFile)
        return;
    if (index >= fileCount)
        Invalid(what + " names file " + std::to_string(index) + ", but the file table has " +
                std::to_string(fileCount) + " entries");
}

void CheckNoControl(const std::string& text, const std::string& what) {
    for (unsigned char c : text)
        if (c < 0x20)
            Invalid(what + " \"" + text.substr(0, 64) + "\" holds a control character");
}

// Limits that keep a hostile package from making the trees huge in memory;
// a real package has at most 65,535 files to place.
constexpr std::size_t kMaxFolders = 65536;
constexpr std::size_t kMaxItems = 262144;

struct TreeBudget {
    std::size_t folders = 0;
    std::size_t items = 0;
};

void ReadLevel(TPackageReader& reader, TComponentFolder& folder, int depth, std::size_t fileCount,
               TreeBudget& budget) {
    for (;;) {
        std::uint8_t length = reader.ReadByte();
        if (length == 255)
            return;
        if (length == 254) {
            std::string data = reader.ReadCompressedString();
            if (depth == 0 && !data.empty())
                Invalid("a component has items outside any folder");
            folder.hasItemData = true;
            folder.items = ParseFolderItems(data, fileCount);
            budget.items += folder.items.size();
            if (budget.items > kMaxItems)
                Invalid("the folder trees hold more than " + std::to_string(kMaxItems) + " items");
            return;
        }
        if (depth + 1 > kMaxFolderDepth)
            Invalid("a folder tree is deeper than " + std::to_string(kMaxFolderDepth) + " levels");
        if (++budget.folders > kMaxFolders)
            Invalid("the folder trees hold more than " + std::to_string(kMaxFolders) + " folders");
        TComponentFolder sub;
        sub.name.resize(length);
        reader.Read(sub.name.data(), length);
        if (depth == 0) {
            std::string rest;
            if (!SplitFolderVariable(sub.name, sub.variable, rest))
                Invalid("the top-level folder \"" + sub.name +
                        "\" does not start with a folder variable");
            // The rest is a relative path: one safe component per level.
            std::size_t i = 0;
            while (i < rest.size()) {
                if (rest[i] != '\\')
                    Invalid("the top-level folder \"" + sub.name +
                            "\" does not separate its variable from the rest");
                std::size_t j = rest.find('\\', i + 1);
                if (j == std::string::npos)
                    j = rest.size();
                CheckComponentName(rest.substr(i + 1, j - i - 1), "folder name");
                i = j;
            }
        } else {
            CheckComponentName(sub.name, "folder name");
        }
        ReadLevel(reader, sub, depth + 1, fileCount, budget);
        folder.folders.push_back(std::move(sub));
    }
}

} // namespace

bool SplitFolderVariable(const std::string& text, std::string& variable, std::string& rest) {
    if (text.size() < 3 || text[0] != '%')
        return false;
    std::size_t i = 1;
    while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') ||
                               ((text[i] | 0x20) >= 'a' && (text[i] | 0x20) <= 'z')))
        ++i;
    if (i == 1 || i >= text.size() || text[i] != '%')
        return false;
    variable = platform::AnsiUpperCase(text.substr(0, i + 1));
    rest = text.substr(i + 1);
    return true;
}

int TComponentData::StateImage() const {
    if (required)
        return 4;
    if (userMayChoose) {
        if (selected)
            return 2;
        return previouslyInstalled ? 5 : 1;
    }
    return selected ? 4 : 3;
}

std::string TFileType::DisplayText() const {
    std::string text = extension + " -> " + description;
    if (!actions.empty()) {
        text += " (";
        for (std::size_t i = 0; i < actions.size(); ++i) {
            if (i > 0)
                text += ", ";
            text += actions[i].verb;
        }
        text += ")";
    }
    return text;
}

bool TPackageTables::AnyUserChoice() const {
    for (const auto& c : components)
        if (c.userMayChoose)
            return true;
    return false;
}

std::vector<TComponentData> ReadComponents(TPackageReader& reader) {
    std::uint8_t count = reader.ReadByte();
    std::vector<TComponentData> components(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string record = reader.ReadCompressedString();
        Cursor c(record, "component record " + std::to_string(i));
        TComponentData& comp = components[i];
        std::uint8_t flags = c.Byte();
        comp.userMayChoose = (flags & 2) != 0;
        comp.selected = (flags & 1) != 0;
        comp.name = c.ShortText();
        CheckNoControl(comp.name, "the component name");
        std::uint8_t deps = c.Byte();
        for (std::uint8_t d = 0; d < deps; ++d) {
            std::uint8_t index = c.Byte();
            if (index >= count)
                Invalid("component \"" + comp.name + "\" depends on component " +
                        std::to_string(index) + ", but there are " + std::to_string(count));
            comp.dependencies.push_back(index);
        }
        comp.description = c.Rest();
    }
    return components;
}

TFileTable ReadFileTable(TPackageReader& reader, const std::vector<std::string>& supportFiles) {
    TFileTable table;
    table.supportCount = static_cast<std::uint32_t>(supportFiles.size());
    std::vector<std::string> names = SplitLines(reader.ReadCompressedString());
    std::size_t count = supportFiles.size() + names.size();
    if (count >= kNoFile)
        Invalid("the file table has " + std::to_string(count) + " entries (at most 65535)");
    if (names.size() < 2)
        Invalid("the file table lacks the two uninstallers");
    table.files.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        table.files[i].name =
            i < supportFiles.size() ? supportFiles[i] : names[i - supportFiles.size()];
        CheckComponentName(table.files[i].name, "file name");
    }
    for (auto& f : table.files)
        f.position = reader.ReadDWord();
    for (auto& f : table.files)
        f.date = reader.ReadDWord();
    for (auto& f : table.files) {
        f.versionLow = reader.ReadDWord();
        f.versionHigh = reader.ReadDWord();
    }
    for (auto& f : table.files)
        f.size = reader.ReadDWord();
    for (auto& f : table.files)
        f.crc = reader.ReadDWord();
    for (std::size_t i = 0; i < count; ++i) {
        bool support = i < supportFiles.size();
        if (support != table.files[i].IsSupportFile())
            Invalid(
                "file " + std::to_string(i) + " (" + table.files[i].name + ") has " +
                (support ? "a package position, but it is a support file" : "no package position"));
    }
    return table;
}

void ReadComponentFolders(TPackageReader& reader, std::vector<TComponentData>& components,
                          std::size_t fileCount) {
    TreeBudget budget;
    for (auto& comp : components) {
        TComponentFolder root;
        ReadLevel(reader, root, 0, fileCount, budget);
        comp.folders = std::move(root.folders);
    }
}

std::vector<TFolderItem> ParseFolderItems(const std::string& data, std::size_t fileCount) {
    std::vector<TFolderItem> items;
    Cursor c(data, "the item data of a folder");
    while (!c.AtEnd()) {
        std::uint8_t kind = c.Byte();
        if (kind >= 0x20 && kind <= 0x2F) {
            TUrlItem url;
            url.kind = kind;
            url.url = c.ShortText();
            url.name = c.ShortText();
            CheckComponentName(url.name, "Internet shortcut name");
            url.iconIndex = c.Byte() & 0x0F;
            url.iconFile = c.Word();
            CheckFileIndex(url.iconFile, fileCount, "an Internet shortcut's icon", true);
            items.emplace_back(std::move(url));
        } else if (kind >= 0x40 && kind <= 0x4F) {
            TShortcutItem link;
            link.kind = kind;
            link.targetIndex = c.Word();
            CheckFileIndex(link.targetIndex, fileCount, "a shortcut", false);
            link.name = c.ShortText();
            if (!link.name.empty())
                CheckComponentName(link.name, "shortcut name");
            link.description = c.ShortText();
            link.arguments = c.ShortText();
            link.iconIndex = c.Byte() & 0x0F;
            link.iconFile = c.Word();
            CheckFileIndex(link.iconFile, fileCount, "a shortcut's icon", true);
            items.emplace_back(std::move(link));
        } else if (kind >= 0x80 && kind <= 0x8F) {
            TCopyItem file;
            file.kind = kind;
            file.fileIndex = c.Word();
            CheckFileIndex(file.fileIndex, fileCount, "a file item", false);
            file.replaceRule = kind & 3;
            file.notLogged = (kind & 4) != 0;
            file.registerAfterCopy = (kind & 8) != 0;
            items.emplace_back(file);
        } else {
            Invalid("a folder holds an item of unknown kind " + std::to_string(kind));
        }
    }
    return items;
}

std::vector<TFileType> ParseFileTypes(const std::string& data, std::size_t fileCount) {
    std::vector<TFileType> types;
    Cursor c(data, "the file-type table");
    while (!c.AtEnd()) {
        TFileType type;
        type.registerType = c.Byte() != 0;
        type.description = c.UpTo12();
        type.extension = c.UpTo12();
        if (type.extension.size() < 2 || type.extension[0] != '.')
            Invalid("the file type extension \"" + type.extension.substr(0, 64) +
                    "\" does not start with \".\"");
        CheckComponentName(type.extension, "file type extension");
        type.iconFile = c.Word();
        CheckFileIndex(type.iconFile, fileCount, "a file type's icon", true);
        type.iconIndex = c.Byte();
        std::uint8_t count = c.Byte();
        for (std::uint8_t i = 0; i < count; ++i) {
            TFileTypeAction action;
            action.verb = platform::AnsiLowerCase(c.UpTo12());
            CheckComponentName(action.verb, "file type verb");
            action.programFile = c.Word();
            CheckFileIndex(action.programFile, fileCount, "a file type's verb", true);
            action.command = c.UpTo12();
            type.actions.push_back(std::move(action));
        }
        types.push_back(std::move(type));
        if (types.size() > kNoFile)
            Invalid("the package defines more than 65535 file types");
    }
    return types;
}

std::vector<TFileType> ReadFileTypes(TPackageReader& reader, std::size_t fileCount) {
    return ParseFileTypes(reader.ReadCompressedString(), fileCount);
}

void ReadPrerequisites(TPackageReader& reader, TPackageTables& tables) {
    TDotNetRequirement& net = tables.dotNet;
    net.versions = reader.ReadByte();
    if (net.versions != 0) {
        net.installerFile = reader.ReadCompressedString();
        net.downloadUrl = reader.ReadCompressedString();
        net.size = reader.ReadDWord();
        net.position = reader.ReadDWord();
        if (!net.installerFile.empty())
            CheckComponentName(net.installerFile, "installer name");
    }
    std::uint32_t count = reader.ReadDWord();
    if (count > kNoFile)
        Invalid("the package names " + std::to_string(count) + " external installers");
    for (std::uint32_t i = 0; i < count; ++i) {
        T3rdParty p;
        for (std::string* text : {&p.name, &p.downloadUrl, &p.installerFile, &p.parameters,
                                  &p.registryKey, &p.valueCheck, &p.expectedValue, &p.filePath})
            *text = reader.ReadCompressedString();
        p.size = reader.ReadDWord();
        p.position = reader.ReadDWord();
        if (!p.installerFile.empty())
            CheckComponentName(p.installerFile, "installer name");
        tables.thirdParty.push_back(std::move(p));
    }
}

TFinishOptions ReadFinishOptions(TPackageReader& reader, std::size_t fileCount) {
    TFinishOptions finish;
    finish.flags = reader.ReadByte();
    if (finish.flags & 4) {
        finish.programFile = reader.ReadWord();
        CheckFileIndex(finish.programFile, fileCount, "the program to run when done", false);
        finish.parameters = reader.ReadCompressedString();
    }
    return finish;
}

TUninstallCommand ReadUninstallShortcut(TPackageReader& reader, std::size_t fileCount) {
    TUninstallCommand command;
    command.programFile = reader.ReadWord();
    if (command.programFile != 0) {
        CheckFileIndex(command.programFile, fileCount, "the uninstall command", false);
        command.parameters = reader.ReadCompressedString();
    }
    command.createShortcut = reader.ReadByte() != 0;
    return command;
}

TUninstallOptions ReadUninstallOptions(TPackageReader& reader) {
    TUninstallOptions options;
    reader.Read(options.bytes.data(), options.bytes.size());
    if (options.bytes[0] & 2)
        for (auto& text : options.reserved)
            text = reader.ReadCompressedString();
    return options;
}

TPackageTables ReadPackageTables(TPackageReader& reader,
                                 const std::vector<std::string>& supportFiles) {
    TPackageTables t;
    t.components = ReadComponents(reader);
    t.fileTable = ReadFileTable(reader, supportFiles);
    std::size_t fileCount = t.fileTable.files.size();
    ReadComponentFolders(reader, t.components, fileCount);
    t.registryTable = reader.ReadCompressedString();
    t.fileTypes = ReadFileTypes(reader, fileCount);
    ReadPrerequisites(reader, t);
    t.finish = ReadFinishOptions(reader, fileCount);
    t.uninstallCommand = ReadUninstallShortcut(reader, fileCount);
    t.uninstallOptions = ReadUninstallOptions(reader);
    return t;
}

void UpdateRequiredComponents(std::vector<TComponentData>& components) {
    for (auto& c : components)
        c.required = false;
    // Each pass can only set flags, so at most one pass per component
    // changes anything.
    bool changed = true;
    while (changed) {
        changed = false;
        for (std::size_t i = components.size(); i-- > 0;) {
            const TComponentData& c = components[i];
            if (!c.selected && !c.required)
                continue;
            for (std::uint8_t d : c.dependencies) {
                if (!components[d].required) {
                    components[d].required = true;
                    changed = true;
                }
            }
        }
    }
}

} // namespace setup
