#pragma once
// Test dictionaries registered in a sandbox registry, for the speller's
// widget tests and the editor's spell commands.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "speller/dictionaryregistration.h"

namespace speller::testing {

// An English dictionary of `words` installed in `folder` and registered in
// `registry`; the places a speller over them uses.
TDictionaryPlaces InstallEnglish(platform::Registry& registry, const std::filesystem::path& folder,
                                 const std::vector<std::string>& words);

// Common English words for texts of tests.
const std::vector<std::string>& SmallEnglish();

} // namespace speller::testing
