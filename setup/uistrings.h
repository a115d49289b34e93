#pragma once
// The package's UI strings and the formatter for them. The texts come from
// the package, so they are never handed to printf: a placeholder that does
// not fit its arguments leaves the whole text unformatted.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace setup {

using TFormatArg = std::variant<std::int64_t, std::string>;

// Placeholders: %s, %d, %u, %x (with optional index "n:", "-", width and
// precision) and %%. Any mismatch returns `format` unchanged.
std::string SafeFormat(std::string_view format, const std::vector<TFormatArg>& args);

// Splits a text into lines at CR LF, LF or CR; a final line break does not
// start another line.
std::vector<std::string> SplitLines(std::string_view text);

class TUiStrings {
public:
    TUiStrings() = default;
    explicit TUiStrings(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // Empty when the package has no such string.
    const std::string& Get(std::size_t index) const;
    std::string Format(std::size_t index, const std::vector<TFormatArg>& args) const {
        return SafeFormat(Get(index), args);
    }
    // Format, except that a sentence whose text argument is empty is left
    // out with the blank before it ("... damaged. Please contact %s." with
    // no publisher keeps only "... damaged.").
    std::string FormatLeavingOutEmpty(std::size_t index, const std::vector<TFormatArg>& args) const;
    std::size_t Count() const { return lines_.size(); }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// The indices of the UI strings the engine uses (format arguments in
// brackets).
namespace ui {
inline constexpr std::size_t kWindowCaption = 0; // (full product title)
inline constexpr std::size_t kAppFolderCaption = 31;
inline constexpr std::size_t kCommonAppFolderCaption = 32;
inline constexpr std::size_t kMenuFolderCaption = 33;
inline constexpr std::size_t kCopyingFile = 40;      // (target path)
inline constexpr std::size_t kCreatingShortcut = 41; // (target path)
inline constexpr std::size_t kRegistryStep = 42;
inline constexpr std::size_t kFileTypesStep = 43;
inline constexpr std::size_t kRemoveOldFilesStep = 44;
inline constexpr std::size_t kMissingVolume = 50; // (volume number)
// An earlier installation: found (its title); newer package text and hint;
// same package text, the text offering a component choice; the Components
// button's hint; older package text and hint.
inline constexpr std::size_t kEarlierInstallation = 51;
inline constexpr std::size_t kNewerPackage = 52;
inline constexpr std::size_t kNewerPackageHint = 53;
inline constexpr std::size_t kSamePackage = 54;
inline constexpr std::size_t kSamePackageChoice = 55;
inline constexpr std::size_t kComponentsHint = 56;
inline constexpr std::size_t kOlderPackage = 57;
inline constexpr std::size_t kOlderPackageHint = 58;
// The uninstaller's texts, lines 14-19 of the log; the first is also the
// uninstall shortcut's description (full product title).
inline constexpr std::size_t kUninstallerTextFirst = 59;
inline constexpr std::size_t kUninstallerTextLast = 64;
inline constexpr std::size_t kUninstallShortcutDescription = kUninstallerTextFirst;
inline constexpr std::size_t kUninstallShortcutName = 65; // (product name)
inline constexpr std::size_t kErrorIntroduction = 66;     // (full product title)
inline constexpr std::size_t kContinueQuestion = 67;
inline constexpr std::size_t kFileErrorClosing = 70;
inline constexpr std::size_t kReadError = 72;   // (file name, publisher text)
inline constexpr std::size_t kWriteError = 73;  // (path)
inline constexpr std::size_t kFolderError = 74; // (folder)
} // namespace ui

} // namespace setup
