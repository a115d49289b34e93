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
    std::size_t Count() const { return lines_.size(); }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// UI string indices the reader itself uses.
namespace ui {
inline constexpr std::size_t kMissingVolume = 50;
inline constexpr std::size_t kFileErrorClosing = 70;
inline constexpr std::size_t kReadError = 72;
inline constexpr std::size_t kWriteError = 73;
inline constexpr std::size_t kFolderError = 74;
} // namespace ui

} // namespace setup
