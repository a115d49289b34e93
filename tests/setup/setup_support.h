#pragma once
// Helpers shared by the setup engine's tests: a sandbox folder, packages
// built with the test tool mkpackage, and the hand-made hex-dump fixture.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/systemfolders.h"

namespace setuptest {

// A fresh folder under the system's temporary folder, removed at the end.
class TSandbox {
public:
    TSandbox();
    ~TSandbox();
    TSandbox(const TSandbox&) = delete;
    TSandbox& operator=(const TSandbox&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    // Every system root below Dir()/root, in user scope.
    const platform::SystemRoots& Roots() const { return roots_; }

private:
    std::string dir_;
    platform::SystemRoots roots_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Names in a folder, sorted.
std::vector<std::string> ListFolder(const std::string& dir);

// Runs mkpackage on the JSON text; returns its exit code. `extra` holds
// further arguments (already separated).
int RunMkpackage(const std::string& json, const std::string& out,
                 const std::vector<std::string>& extra = {});
// The same, failing the current test when the tool fails.
void BuildPackage(const std::string& json, const std::string& out,
                  const std::vector<std::string>& extra = {});

// The bytes of an annotated hex dump: hex pairs, "#" comments, and an
// offset column at the start of each line that is ignored.
std::string DecodeHexDump(const std::string& text);

// A zlib stream of `count` zeros made of fixed-code runs of 258: about
// 13 bits per 258 bytes, so a gibibyte fits in a few megabytes.
std::string ZeroBomb(std::uint64_t count);

// A small package description with one component, two files and a readme.
std::string SamplePackageJson();

} // namespace setuptest
