#include "tests/speller/ui/spellerui_support.h"

#include "tests/speller/dicbuilder_support.h"
#include "tests/speller/speller_support.h"

namespace speller::testing {

TDictionaryPlaces InstallEnglish(platform::Registry& registry, const std::filesystem::path& folder,
                                 const std::vector<std::string>& words) {
    std::filesystem::create_directories(folder / "dicts");
    DicBuildOptions options;
    options.alphabet = "etaoinsrhldcumfpgwybvkxjqz'";
    WriteBytes(folder / "dicts" / "en.dic", BuildDictionary(words, options));
    TDictionaryPlaces places{{}, false, folder / "appdata", platform::RootKey::CurrentUser};
    TDictionaryRegistration registration(registry, places);
    TDictionaryHeader header;
    header.Name = "English";
    header.IgnorePrefixes = "'";
    header.IgnoreSuffixes = "';'s";
    header.Files = "en.dic";
    registration.Write({header}, folder / "dicts");
    return places;
}

const std::vector<std::string>& SmallEnglish() {
    static const std::vector<std::string> words = {
        "the",     "a",     "an",    "and",   "to",    "in",    "is",   "it",   "of",    "on",
        "this",    "that",  "text",  "topic", "help",  "click", "here", "go",   "see",   "next",
        "line",    "word",  "words", "check", "spell", "cat",   "sat",  "mat",  "hello", "world",
        "receive", "their", "there", "with",  "for",   "page",  "more", "some", "two",   "one"};
    return words;
}

} // namespace speller::testing
