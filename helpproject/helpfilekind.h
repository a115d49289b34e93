#pragma once
// The kinds of help file a project makes (TBrindlewovenProject::HelpFileKind):
// regular help, or the VCL component help of one version of a development
// system, which decides the library help its links and contents point to.
#include <cstdint>

namespace helpproject {

// The help compiler a project is made with (TBrindlewovenProject::Compiler),
// numbered as the project file stores it. A number this version does not
// know is kept as it came and counts as chosen.
enum class THelpCompiler : std::int32_t { None = -1, WinHelp16 = 0, WinHelp32 = 1, HtmlHelp = 2 };

constexpr bool IsWinHelp(THelpCompiler compiler) {
    return compiler == THelpCompiler::WinHelp16 || compiler == THelpCompiler::WinHelp32;
}

inline constexpr std::int32_t kRegularHelp = 0;

// Delphi n (1 to 7): 16, 32, ... 112.
constexpr std::int32_t DelphiHelpKind(int version) {
    return 16 * version;
}

// C++Builder n (1, 3, 4, 5, 6): 272, 304, ... 352.
constexpr std::int32_t CppBuilderHelpKind(int version) {
    return 256 + 16 * version;
}

// Delphi 1 and 2 component help, which works the old way: topics carry B
// keywords, the keyword generator runs after the compiler, and Delphi links
// go to the environment's help file by name.
constexpr bool IsDelphi1Or2Help(std::int32_t kind) {
    return kind == DelphiHelpKind(1) || kind == DelphiHelpKind(2);
}

// From Delphi 3 on the environment reads a contents file of the component
// help, so one is written even without contents lines.
constexpr bool NeedsContentsFile(std::int32_t kind) {
    return kind >= DelphiHelpKind(3);
}

} // namespace helpproject
