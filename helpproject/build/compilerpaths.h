#pragma once
// The paths of the help compilers and the keyword generator, kept in the
// registry from one run of the program to the next.
#include <string>

namespace platform {
class Registry;
}

namespace helpproject {

inline constexpr const char* kCompilerPathsKey = "Software\\Vexlor\\Brindlewoven\\Compiler paths";

struct TCompilerPaths {
    std::string HC31;      // the options dialog's list of 16-bit compiler paths
    std::string HC95;      // ... of 32-bit compiler paths
    std::string HCHTML;    // ... of HTML Help compiler paths
    std::string HC31Sel;   // the chosen 16-bit WinHelp compiler
    std::string HC95Sel;   // the chosen 32-bit WinHelp compiler
    std::string HCHTMLSel; // the chosen HTML Help compiler
    std::string KWGen;     // the keyword generator, at most 255 characters
    bool operator==(const TCompilerPaths&) const = default;
};

// The paths under HKCU; missing values (or a missing key) read as empty.
TCompilerPaths LoadCompilerPaths(platform::Registry& registry);
// Writes the seven values, but only when one differs from what the registry
// holds, so an unchanged set never touches the hive. Registry failures are
// swallowed: losing the paths must not stop the program from closing.
void SaveCompilerPaths(platform::Registry& registry, const TCompilerPaths& paths);

} // namespace helpproject
