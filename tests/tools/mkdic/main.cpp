// mkdic WORDS.txt OUT.dic [--max-nodes N] [--force-k7] [--alphabet LETTERS]
// Writes a dictionary file from a word list (one word per line; UTF-8 lines
// are converted to Windows-1252).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/fileio.h"
#include "tests/speller/dicbuilder_support.h"

int main(int argc, char** argv) {
    std::string input, output;
    speller::testing::DicBuildOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--max-nodes" && i + 1 < argc)
            options.maxNodes = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--force-k7")
            options.forceK7 = true;
        else if (arg == "--alphabet" && i + 1 < argc)
            options.alphabet = argv[++i];
        else if (input.empty())
            input = arg;
        else if (output.empty())
            output = arg;
        else
            input.clear(), output.clear(), i = argc;
    }
    if (input.empty() || output.empty()) {
        std::fprintf(
            stderr, "usage: mkdic WORDS.txt OUT.dic [--max-nodes N] [--force-k7] [--alphabet L]\n");
        return 2;
    }
    try {
        auto words = speller::testing::ReadWordList(input);
        platform::WriteFileAtomic(output, speller::testing::BuildDictionary(words, options));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdic: %s\n", e.what());
        return 1;
    }
    return 0;
}
