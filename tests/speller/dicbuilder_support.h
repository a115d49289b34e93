#pragma once
// Writes dictionary files from a word list, for tests, the mkdic tool and
// the benchmark. The program itself only reads dictionaries.
#include <cstddef>
#include <string>
#include <vector>

namespace speller::testing {

struct DicBuildOptions {
    // Most nodes in one block (at most 65,536: list entries are 16 bits).
    std::size_t maxNodes = 65536;
    // Every node with children uses a counted list (child code 7).
    bool forceK7 = false;
    // Letters for suggestions; empty: every byte of the words, most frequent
    // first, then the digits.
    std::string alphabet;
};

// The .dic bytes. Throws std::runtime_error when the words cannot be laid
// out (more than 255 blocks, a word longer than a block may hold).
std::string BuildDictionary(const std::vector<std::string>& words,
                            const DicBuildOptions& options = {});

// The lines of a word list, converted from UTF-8 to Windows-1252 where they
// are UTF-8; empty lines dropped.
std::vector<std::string> ReadWordList(const std::string& path);

} // namespace speller::testing
