#include "setup_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

namespace setuptest {

TSandbox::TSandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bwsetupXXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    roots_ = platform::SystemRoots::InSandbox(dir_ + "/root", platform::InstallScope::User);
    roots_.CreateFolders();
}

TSandbox::~TSandbox() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListFolder(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int RunMkpackage(const std::string& json, const std::string& out,
                 const std::vector<std::string>& extra) {
    std::string description = out + ".json";
    WriteFile(description, json);
    std::string command =
        std::string("'") + BW_TOOLS_DIR "/mkpackage' '" + description + "' '" + out + "'";
    for (const auto& a : extra)
        command += " '" + a + "'";
    command += " > /dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BuildPackage(const std::string& json, const std::string& out,
                  const std::vector<std::string>& extra) {
    ASSERT_EQ(RunMkpackage(json, out, extra), 0) << "mkpackage failed for " << out;
}

std::string DecodeHexDump(const std::string& text) {
    std::string bytes;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        bool first = true;
        while (words >> word) {
            if (first && word.size() > 2) { // the offset column
                first = false;
                continue;
            }
            first = false;
            if (word.size() != 2)
                throw std::runtime_error("bad hex pair: " + word);
            bytes += static_cast<char>(std::stoi(word, nullptr, 16));
        }
    }
    return bytes;
}

std::string ZeroBomb(std::uint64_t count) {
    std::string out = "\x78\x01";
    std::uint32_t bits = 0;
    int nbits = 0;
    auto put = [&](std::uint32_t v, int n) {
        bits |= v << nbits;
        nbits += n;
        while (nbits >= 8) {
            out += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            nbits -= 8;
        }
    };
    auto code = [&](std::uint32_t c, int n) {
        for (int i = n - 1; i >= 0; --i)
            put((c >> i) & 1, 1);
    };
    put(1, 1);
    put(1, 2);
    code(0x30, 8);
    std::uint64_t left = count - 1;
    for (; left >= 258; left -= 258)
        put(0xA3, 13); // length 258 and distance 1, already bit-reversed
    for (; left > 0; --left)
        code(0x30, 8);
    code(0, 7);
    if (nbits > 0)
        put(0, 8 - nbits);
    std::uint32_t adler = (static_cast<std::uint32_t>(count % 65521) << 16) | 1;
    for (int s = 24; s >= 0; s -= 8)
        out += static_cast<char>((adler >> s) & 0xFF);
    return out;
}

std::string SamplePackageJson() {
    return R"({
  "settings": {"publisher": "Vexlor", "publisherUrl": "http://vexlor.example", "product": "Demo",
               "version": "1.0", "releaseDate": "45000", "readme": "readme.txt",
               "appFolder": "%PROGRAMFILES%\\Demo", "menuFolder": "%PROGRAMSMENU%\\Demo"},
  "supportFiles": {"readme": {"text": "Read me first."}},
  "files": [{"name": "a.txt", "text": "hello"},
            {"name": "big.bin", "generated": {"size": 300000, "seed": 7}}],
  "components": [{"name": "Main", "description": "The program", "userMayChoose": false,
     "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}, {"file": "big.bin"}],
                  "folders": [{"name": "Help", "items": [{"file": "readme.txt"}]}]},
                 {"name": "%APPMENU%", "items": [{"shortcut": "a.txt", "name": "Demo"},
                                                 {"url": "http://vexlor.example", "name": "Home"}]}]}]
})";
}

} // namespace setuptest
