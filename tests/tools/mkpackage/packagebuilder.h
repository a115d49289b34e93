#pragma once
// The package builder behind mkpackage (test-only). See mkpackage.cpp for the
// switches and packagebuilder.cpp for the description's fields.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace mkpackage {

struct TBuildOptions {
    long long volumeSize = -1; // -1: as the description says (default 0)
    std::vector<std::string> faults;
    std::string baseFolder; // where "source" paths are resolved
};

// The whole package (all volumes joined) and the volume size written into it.
struct TBuiltPackage {
    std::string bytes;
    std::int32_t volumeSize = 0;
    std::vector<std::size_t> volumeCuts; // sizes of each volume
};

TBuiltPackage BuildPackage(const nlohmann::json& description, const TBuildOptions& options);
// Builds and writes OUT and its volumes; returns the files written.
std::vector<std::string> BuildPackageFile(const std::string& descriptionPath,
                                          const std::string& outPath, TBuildOptions options);

// A zlib stream of `count` zero bytes built by hand (fixed Huffman codes,
// runs of 258), small however large `count` is.
std::string ZeroBombStream(std::uint64_t count);

} // namespace mkpackage
