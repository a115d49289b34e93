#include "setup/foldervariables.h"

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/resolvepath.h"
#include "platform/systemfolders.h"
#include "setup/packageheader.h"
#include "setup/packagenames.h"
#include "setup/packagereader.h"
#include "setup/setuperrors.h"
#include "setup/uistrings.h"

namespace setup {

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string WithPercents(const std::string& name) {
    std::string upper = platform::AnsiUpperCase(name);
    if (upper.size() >= 2 && upper.front() == '%' && upper.back() == '%')
        return upper;
    return "%" + upper + "%";
}

std::string StripTrailingSeparator(std::string path) {
    if (path.size() > 1 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

// The system folders in the order they are looked up.
const char* const kSystemOrder[] = {
    "%PROGRAMFILES%", "%COMMONFILES%",      "%STARTMENU%",         "%PROGRAMSMENU%",
    "%DESKTOP%",      "%SENDTO%",           "%STARTUP%",           "%MYDOCUMENTS%",
    "%APPDATAROOT%",  "%LOCALAPPDATAROOT%", "%COMMONAPPDATAROOT%", "%WINDOWS%",
    "%SYSTEM%",       "%SYSTEMDRIVE%",      "%SETUPFOLDER%",       "%SETUPDRIVE%"};

} // namespace

std::string NativeToPackageText(const std::string& native, const std::string& what) {
    if (!platform::Utf8FitsCp1252(native))
        throw ESetupError(what + " cannot be recorded: " + native +
                          " holds a character that Windows-1252 cannot hold.");
    return platform::Utf8ToCp1252(native);
}

std::string PackageTextToNative(const std::string& text) {
    std::string out = platform::Cp1252ToUtf8(text);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

void TFolderVariables::InitSystemFolders(const platform::SystemRoots& roots) {
    sandbox_ = roots.sandbox.empty() ? std::string() : NormalisePath(roots.sandbox.string());
    drives_ = platform::DriveMap::LoadFor(roots);
    for (const auto& v : platform::SystemFolderVariables(roots))
        SetSystemFolder(v.name, v.path.string(), v.shared);
}

void TFolderVariables::SetSystemFolder(const std::string& name, const std::string& path,
                                       bool shared) {
    std::string key = WithPercents(name);
    for (auto& f : system_)
        if (f.name == key) {
            f.path = path;
            f.shared = shared;
            return;
        }
    system_.push_back(TSpecialFolder{key, {}, path, shared});
}

void TFolderVariables::SetSetupPath(const std::string& packagePath) {
    std::string folder = Confine(ExtractFileDir(packagePath));
    if (folder != "/")
        folder += '/';
    SetSystemFolder("%SETUPFOLDER%", folder, false);
    // Linux has no drive letters: the drive of the package is the mount
    // point of the file system it lies on.
    std::string drive = "/";
    if (auto info = platform::DriveOfPath(ExtractFileDir(packagePath)))
        drive = info->root.string();
    SetSystemFolder("%SETUPDRIVE%", Confine(drive), false);
}

TSpecialFolder& TFolderVariables::Define(const std::string& name, const std::string& caption,
                                         const std::string& path, bool shared) {
    TSpecialFolder folder{WithPercents(name), caption, StripTrailingSeparator(path), shared, false};
    for (auto& f : defined_)
        if (f.name == folder.name) {
            f = std::move(folder);
            return f;
        }
    return defined_.emplace_back(std::move(folder));
}

void TFolderVariables::DefineNative(const std::string& name, const std::string& caption,
                                    const std::string& path, bool shared) {
    TSpecialFolder& f = Define(name, caption, path, shared);
    f.path = StripTrailingSeparator(Confine(path));
    f.native = true;
}

std::string TFolderVariables::Confine(const std::string& nativePath) const {
    if (sandbox_.empty() || nativePath.empty() || nativePath[0] != '/')
        return nativePath;
    std::string path = NormalisePath(nativePath);
    if (path.empty()) // ".." above the root: the root itself
        path = "/";
    if (IsPathUnder(path, sandbox_))
        return path;
    return path == "/" ? sandbox_ : sandbox_ + path;
}

bool TFolderVariables::InsideSandbox(const std::string& nativePath) const {
    return sandbox_.empty() || IsPathUnder(nativePath, sandbox_);
}

std::optional<std::string> TFolderVariables::MapLiteralFolder(const std::string& text) const {
    bool drive = text.size() >= 2 && text[1] == ':' && IsNameChar(text[0]) &&
                 !(text[0] >= '0' && text[0] <= '9');
    bool rooted = !text.empty() && (text[0] == '\\' || text[0] == '/');
    if (!drive && !rooted)
        return std::nullopt;
    try {
        return Confine(platform::resolvePath(text, "/", drives_).string());
    } catch (const std::exception&) {
        return std::nullopt; // a drive the map does not know
    }
}

const TSpecialFolder* TFolderVariables::Find(const std::string& name) const {
    std::string key = WithPercents(name);
    for (const auto& f : defined_)
        if (f.name == key)
            return &f;
    return nullptr;
}

void TFolderVariables::InitAppFolderVariables(const TSettings& settings, const TUiStrings& ui) {
    if (!settings.appFolder.empty())
        Define("%APPFOLDER%", ui.Get(ui::kAppFolderCaption), settings.appFolder, false);
    if (!settings.commonAppFolder.empty())
        Define("%APPCOMMONFOLDER%", ui.Get(ui::kCommonAppFolderCaption), settings.commonAppFolder,
               true);
    if (!settings.menuFolder.empty())
        Define("%APPMENU%", ui.Get(ui::kMenuFolderCaption), settings.menuFolder, false);
}

void TFolderVariables::DefineFromSupportLibrary(const std::string& text) {
    std::size_t pos = 0;
    auto field = [&](std::string& out) {
        std::size_t end = text.find('|', pos);
        if (end == std::string::npos)
            return false;
        out = text.substr(pos, end - pos);
        pos = end + 1;
        return true;
    };
    for (;;) {
        std::string name, caption, path;
        if (!field(name) || !field(caption))
            return;
        bool shared = pos < text.size() && text[pos] == '*';
        if (shared)
            ++pos;
        if (!field(path))
            return;
        if (!name.empty())
            Define(name, caption, path, shared);
    }
}

void TFolderVariables::ExpandDefinedFolders() {
    for (auto& f : defined_) {
        if (f.native)
            continue;
        auto found = Lookup(f.path, 0);
        if (!found) {
            // A literal folder stays below its drive or root.
            if (ClimbsOutOfBase(f.path))
                throw EInvalidPackage("This is not a valid setup package: the folder \"" +
                                      f.path.substr(0, 64) + "\" climbs out of its drive.");
            if (auto mapped = MapLiteralFolder(f.path)) {
                f.path = StripTrailingSeparator(*mapped);
                f.native = true;
            }
            continue;
        }
        std::string rest = found->dropRest ? std::string() : f.path.substr(found->length);
        // The rest is relative to the variable's folder: one safe name per level.
        if (!rest.empty() && rest[0] != '\\')
            throw EInvalidPackage("This is not a valid setup package: the folder \"" +
                                  f.path.substr(0, 64) +
                                  "\" does not separate its variable from the rest.");
        for (std::size_t i = 0; i < rest.size();) {
            std::size_t j = rest.find('\\', i + 1);
            if (j == std::string::npos)
                j = rest.size();
            std::string part = rest.substr(i, j - i);
            if (!part.empty() && part[0] == '\\')
                part.erase(0, 1);
            if (!part.empty() || j < rest.size())
                CheckComponentName(part, "folder name");
            i = j;
        }
        f.path = StripTrailingSeparator(found->value + PackageTextToNative(rest));
        f.native = true;
    }
}

void TFolderVariables::SetPortable(bool portable, const std::string& folder) {
    portable_ = portable;
    portableFolder_ = StripTrailingSeparator(Confine(folder));
}

std::optional<TFolderVariables::Found> TFolderVariables::Lookup(const std::string& text,
                                                                std::size_t pos) const {
    if (pos >= text.size() || text[pos] != '%')
        return std::nullopt;
    std::size_t i = pos + 1;
    while (i < text.size() && IsNameChar(text[i]))
        ++i;
    if (i >= text.size() || text[i] != '%')
        return std::nullopt;
    std::string key = platform::AnsiUpperCase(text.substr(pos, i + 1 - pos));
    Found found;
    found.length = i + 1 - pos;
    if (portable_) {
        found.value = portableFolder_;
        found.dropRest = key != "%APPFOLDER%";
        return found;
    }
    for (const auto& f : defined_)
        if (f.name == key) {
            found.value = f.path;
            found.shared = f.shared;
            return found;
        }
    for (const char* name : kSystemOrder) {
        if (key != name)
            continue;
        for (const auto& f : system_)
            if (f.name == key) {
                found.value = f.path;
                found.shared = f.shared;
                return found;
            }
    }
    if (!supportText_.empty()) {
        std::string upper = platform::AnsiUpperCase(supportText_);
        std::size_t at = upper.find(key);
        if (at != std::string::npos) {
            std::size_t start = at + key.size();
            if (start < supportText_.size() && supportText_[start] == '*') {
                found.shared = true;
                ++start;
            }
            std::size_t end = supportText_.find('%', start);
            if (end == std::string::npos)
                end = supportText_.size();
            found.value = supportText_.substr(start, end - start);
            if (auto mapped = MapLiteralFolder(found.value))
                found.value = StripTrailingSeparator(*mapped);
            return found;
        }
    }
    return std::nullopt;
}

std::vector<TFolderVariables::Piece>
TFolderVariables::Pieces(const std::string& text, bool leadingOnly, bool* shared) const {
    if (shared)
        *shared = false;
    std::vector<Piece> pieces;
    std::string literal;
    bool inPath = false;
    auto flush = [&] {
        if (!literal.empty())
            pieces.push_back({std::move(literal), false});
        literal.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '%' && (!leadingOnly || i == 0)) {
            if (auto found = Lookup(text, i)) {
                flush();
                pieces.push_back({found->value, true});
                if (shared && i == 0)
                    *shared = found->shared;
                if (found->dropRest)
                    return pieces;
                i += found->length;
                inPath = true;
                continue;
            }
        }
        char c = text[i++];
        if (c == '"')
            inPath = false;
        literal += inPath && c == '\\' ? '/' : c;
    }
    flush();
    return pieces;
}

std::string TFolderVariables::ExpandFolderVariable(const std::string& text, bool* shared) const {
    std::string out;
    for (const Piece& piece : Pieces(text, true, shared))
        out += piece.folder ? piece.text : platform::Cp1252ToUtf8(piece.text);
    return out;
}

std::string TFolderVariables::ExpandAllFolderVariables(const std::string& text) const {
    std::string out;
    for (const Piece& piece : Pieces(text, false))
        out += piece.folder ? NativeToPackageText(piece.text, "A folder") : piece.text;
    return out;
}

std::string TFolderVariables::ExpandAllToNative(const std::string& text) const {
    std::string out;
    for (const Piece& piece : Pieces(text, false))
        out += piece.folder ? piece.text : platform::Cp1252ToUtf8(piece.text);
    return out;
}

std::optional<std::string> TFolderVariables::VariableFolder(const std::string& variable,
                                                            bool* shared) const {
    std::string key = WithPercents(variable);
    auto found = Lookup(key, 0);
    if (!found || found->length != key.size())
        return std::nullopt;
    if (shared)
        *shared = found->shared;
    return found->value;
}

std::string TFolderVariables::ExpandPackagePath(const std::string& text, bool* shared) const {
    auto found = Lookup(text, 0);
    if (!found)
        throw EInvalidPackage("This is not a valid setup package: the folder \"" +
                              text.substr(0, 64) + "\" does not start with a defined variable.");
    if (shared)
        *shared = found->shared;
    std::string root = found->value;
    if (root.empty() || root[0] != '/')
        throw EInvalidPackage("The folder \"" + text.substr(0, 64) + "\" cannot be installed: " +
                              text.substr(0, found->length) + " stands for \"" +
                              root.substr(0, 64) + "\", which is not a full path.");
    std::string rest = found->dropRest ? std::string() : text.substr(found->length);
    std::string path = NormalisePath(root + PackageTextToNative(rest));
    if (path.empty() || !IsPathUnder(path, root))
        throw EInvalidPackage("This is not a valid setup package: the folder \"" +
                              text.substr(0, 64) + "\" leads outside " + root + ".");
    return path;
}

namespace {

void AddRoot(std::vector<std::string>& roots, const std::string& path) {
    if (path.empty() || path[0] != '/')
        return;
    std::string norm = NormalisePath(path);
    if (!norm.empty())
        roots.push_back(norm);
}

} // namespace

std::vector<std::string> TFolderVariables::Roots() const {
    std::vector<std::string> roots = SystemFolderRoots();
    for (const auto& f : defined_)
        AddRoot(roots, f.path);
    return roots;
}

std::vector<std::string> TFolderVariables::SystemFolderRoots() const {
    std::vector<std::string> roots;
    if (portable_)
        AddRoot(roots, portableFolder_);
    for (const auto& f : system_)
        AddRoot(roots, f.path);
    return roots;
}

std::vector<std::string> TFolderVariables::TrustedRoots() const {
    std::vector<std::string> roots = SystemFolderRoots();
    if (sandbox_.empty())
        return roots;
    // Inside a sandbox the system's folders are the sandbox's own: a link
    // in their place is as suspect as one in the target.
    std::vector<std::string> trusted{sandbox_};
    for (const auto& r : roots)
        if (!IsPathUnder(r, sandbox_))
            trusted.push_back(r);
    return trusted;
}

} // namespace setup
