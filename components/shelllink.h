#pragma once
// Shortcut (.lnk) files in the binary shell-link format: the header, the
// link info with the volume and the local base path, and the string data
// (description, working folder, arguments, icon location) as ANSI text.
// Loading also understands Unicode string data, network link info, and a
// target given only by its ID list (a volume and file entries).
#include <cstdint>
#include <string>

namespace components {

class TShellLink {
public:
    std::string Arguments;
    std::string Description;
    std::uint16_t HotKey = 0;
    std::string IconPath;
    int IconIndex = 0;
    std::string Path;
    int ShowCmd = 1;
    std::string WorkingDirectory;

    // Fills the properties from a shortcut file; throws std::runtime_error
    // "Cannot load " + file name when it cannot be read or is no shortcut.
    void Load(const std::string& fileName);
    // Writes the properties into a shortcut file (through a temporary file);
    // throws std::runtime_error "Cannot save " + file name.
    void Save(const std::string& fileName) const;

    // The file's bytes as Save writes them.
    std::string Serialize() const;
    // Parses bytes as Load does; throws std::runtime_error with a reason.
    void Parse(const std::string& bytes);
};

// The path a shortcut file points to, or the file name itself when that is
// empty. Errors of Load propagate.
std::string ResolveShortcut(const std::string& fileName);

} // namespace components
