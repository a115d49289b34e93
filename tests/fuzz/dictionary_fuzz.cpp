// Dictionary files come from outside: any bytes must load or be refused with
// EDictionaryError, and a dictionary that loads must answer lookups and
// suggestions without reading outside its data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "speller/dictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    speller::TDictionary dictionary("fuzz.dic");
    try {
        dictionary.LoadFromBytes(bytes);
    } catch (const speller::EDictionaryError&) {
        return 0;
    }
    // Words made of the tail of the input, and a few fixed ones.
    std::string_view tail = bytes.substr(size > 64 ? size - 64 : 0);
    for (std::size_t len = 0; len <= tail.size() && len < 12; ++len)
        dictionary.IsWord(tail.substr(0, len));
    dictionary.IsWord(std::string(300, 'a'));
    speller::TWordList list;
    dictionary.SetSuggestLimit(50);
    dictionary.Suggest(std::string(tail.substr(0, tail.size() < 8 ? tail.size() : 8)), list);
    dictionary.Suggest("abcde", list);
    return 0;
}
