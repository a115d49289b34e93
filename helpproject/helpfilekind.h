#pragma once
// The kinds of help file a project makes (TBrindlewovenProject::HelpFileKind):
// regular help, or the VCL component help of one version of a development
// system, which decides the library help its links and contents point to.
#include <cstdint>

namespace helpproject {

inline constexpr std::int32_t kRegularHelp = 0;

// Delphi n (1 to 7): 16, 32, ... 112.
constexpr std::int32_t DelphiHelpKind(int version) {
    return 16 * version;
}

// C++Builder n (1, 3, 4, 5, 6): 272, 304, ... 352.
constexpr std::int32_t CppBuilderHelpKind(int version) {
    return 256 + 16 * version;
}

} // namespace helpproject
