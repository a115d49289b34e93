#pragma once
// The settings of the help program's own speller: how its dialog keeps
// clear of the word, its options, the help-authoring words it always
// accepts and the registry key of its language.
#include <string>
#include <string_view>
#include <vector>

#include "speller/vxspeller.h"

namespace speller {

inline constexpr std::string_view kSpellKey = "Software\\Vexlor\\Brindlewoven\\Spell";

// Words of the help-authoring vocabulary, accepted in any capitalisation.
const std::vector<std::string>& BrindlewovenAcceptedWords();

// SelBehavior sbAvoidUpDown, the program's options and the accepted words.
void ApplyBrindlewovenSettings(TVXSpeller& speller);

} // namespace speller
