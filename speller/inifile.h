#pragma once
// An INI file read and written on every call, with the rules of the desktop
// platform's private profile functions: section and key names are compared
// without regard to case (Windows-1252 fold), the first matching section and
// key win, names and values are trimmed of blanks and a value enclosed in a
// pair of equal quotes loses them. Text is kept as bytes. Lines may end in
// CR LF, LF or CR; the file is written with CR LF, through a temporary file
// renamed over the old one, so a failed save never loses it.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace speller {

// The parsed text of an INI file. Lines that are neither sections nor keys
// (comments, blank lines, stray text) are kept as they are.
class TIniDocument {
public:
    struct Line {
        std::string text; // the line as read (sections and keys are rewritten on change)
        enum Kind { Other, Section, Key } kind = Other;
        std::string name;  // trimmed section or key name
        std::string value; // trimmed, unquoted value of a key
    };

    static TIniDocument Parse(std::string_view text);
    std::string Text() const;

    // Index of the first line of the first section named `section`, or -1.
    int FindSection(std::string_view section) const;
    // Lines [begin, end) of the keys of the section starting at `sectionLine`.
    std::pair<std::size_t, std::size_t> SectionRange(int sectionLine) const;
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    void Write(std::string_view section, std::string_view key, std::string_view value);
    // Writes many keys of one section in a single pass (as Write for each).
    void WriteKeys(std::string_view section,
                   const std::vector<std::pair<std::string, std::string>>& keys);
    bool DeleteKey(std::string_view section, std::string_view key);
    bool EraseSection(std::string_view section);
    std::vector<std::string> SectionNames() const;
    // Key names of the section in file order (duplicates included).
    std::vector<std::string> KeyNames(std::string_view section) const;
    const std::vector<Line>& Lines() const { return lines_; }

private:
    std::vector<Line> lines_;
};

class TIniFile {
public:
    explicit TIniFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}
    virtual ~TIniFile() = default;

    const std::filesystem::path& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(std::string_view section) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

protected:
    // The file as it stands now (empty when it does not exist). A file that
    // exists but cannot be read throws platform::PlatformError.
    TIniDocument LoadDocument() const;
    // Loads the file, applies `change` and saves it in one write.
    void Update(const std::function<void(TIniDocument&)>& change);

private:
    std::filesystem::path fileName_;
};

// Parses an INI integer the way ReadInteger does.
std::optional<int> ParseIniInteger(std::string_view text);

} // namespace speller
