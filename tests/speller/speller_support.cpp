#include "tests/speller/speller_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace speller::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bw-speller-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string HexSourceBytes(std::string_view source) {
    std::string bytes;
    int pending = -1;
    bool comment = false;
    for (char c : source) {
        if (c == '\n') {
            comment = false;
            continue;
        }
        if (comment)
            continue;
        if (c == '#') {
            comment = true;
            continue;
        }
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            continue;
        if (pending < 0) {
            pending = digit;
        } else {
            bytes += static_cast<char>(pending * 16 + digit);
            pending = -1;
        }
    }
    return bytes;
}

} // namespace speller::testing
