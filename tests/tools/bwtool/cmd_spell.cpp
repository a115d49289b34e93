// bwtool spell DIC [--suggest]: reads words from stdin (UTF-8 or
// Windows-1252, any blanks between them) and prints every word the
// dictionary does not hold, one a line, with --suggest followed by ": " and
// its quick suggestions separated by ", ".
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "bwtool.h"
#include "platform/codepage.h"
#include "speller/dictionary.h"
#include "speller/vxspeller.h"

namespace {

std::string ToAnsi(const std::string& line) {
    std::string converted = platform::Utf8ToCp1252(line);
    return platform::Cp1252ToUtf8(converted) == line ? converted : line;
}

int Spell(const std::vector<std::string>& args) {
    std::string file;
    bool suggest = false;
    for (const auto& arg : args) {
        if (arg == "--suggest")
            suggest = true;
        else if (file.empty())
            file = arg;
        else
            return 2;
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: bwtool spell DIC [--suggest]\n");
        return 2;
    }
    speller::TDictionary dictionary(file);
    if (!dictionary.Load()) {
        std::fprintf(stderr, "bwtool spell: no dictionary \"%s\"\n", file.c_str());
        return 1;
    }
    std::ios::sync_with_stdio(false);
    std::string line, out;
    while (std::getline(std::cin, line)) {
        std::string text = ToAnsi(line);
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t begin = text.find_first_not_of(" \t\r\n", pos);
            if (begin == std::string::npos)
                break;
            std::size_t end = text.find_first_of(" \t\r\n", begin);
            if (end == std::string::npos)
                end = text.size();
            std::string word = text.substr(begin, end - begin);
            pos = end;
            std::string lower = platform::AnsiLowerCase(word);
            if (dictionary.IsWord(word) || (lower != word && dictionary.IsWord(lower)))
                continue;
            out = platform::Cp1252ToUtf8(word);
            if (suggest) {
                out += ":";
                const char* separator = " ";
                for (const auto& s : speller::QuickSuggestionsFrom({&dictionary}, word)) {
                    out += separator;
                    out += platform::Cp1252ToUtf8(s);
                    separator = ", ";
                }
            }
            out += '\n';
            std::fwrite(out.data(), 1, out.size(), stdout);
        }
    }
    return 0;
}

} // namespace

BW_COMMAND("spell", "DIC [--suggest]", Spell);
