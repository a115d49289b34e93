#pragma once
// Shared helpers of the speller tests: temporary folders and file bytes.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace speller::testing {

// A fresh folder under /tmp, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
// The bytes of a commented hex source ("#" comments, blanks ignored).
std::string HexSourceBytes(std::string_view source);
// The Debian word list the larger tests use.
inline constexpr const char* kWordListPath = "/usr/share/dict/american-english";

} // namespace speller::testing
