#pragma once
// A private temporary folder for one operation: created 0700 with mkdtemp
// under $TMPDIR (or /tmp), files inside it created exclusively and without
// following links, and the whole folder removed when the object goes away,
// whichever way the operation ends.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "bw");
    // Creates the folder inside `parent` instead of $TMPDIR.
    TempFolder(std::string_view prefix, const std::filesystem::path& parent);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&& other) noexcept;
    TempFolder& operator=(TempFolder&& other) noexcept;

    const std::filesystem::path& Path() const { return path_; }
    // Creates a new empty file (O_EXCL|O_NOFOLLOW, mode 0600) whose name is
    // based on `nameHint` (only its last component; unsafe bytes replaced),
    // made unique with "-1", "-2", ... before the extension when taken, and returns its path.
    std::filesystem::path NewFile(std::string_view nameHint);
    // The name of the n-th retry (n = 1, 2, ...) when the hint's own name is
    // taken, from the hint's stem and extension (with its dot, or empty).
    using NameVariant =
        std::function<std::string(std::string_view stem, std::string_view extension, unsigned n)>;
    // NewFile with another numbering ("readme2.txt" rather than
    // "readme-1.txt").
    std::filesystem::path NewFile(std::string_view nameHint, const NameVariant& variant);
    // Removes the folder now (the destructor does it otherwise).
    void Remove() noexcept;

private:
    std::filesystem::path path_;
};

// $TMPDIR when it names an existing folder, else /tmp; in a sandbox its
// own temporary folder, made without following a link below the sandbox
// (PlatformError when one is in the way).
std::filesystem::path SystemTempDirectory();

} // namespace platform
