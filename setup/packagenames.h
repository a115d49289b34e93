#pragma once
// Rules for the names a package brings: each packaged name is one path
// component, a top-level folder starts with a defined folder variable, and
// after expansion a path stays under that variable's folder.
#include <string>
#include <string_view>

namespace setup {

inline constexpr std::size_t kMaxNameLength = 255;
inline constexpr int kMaxFolderDepth = 64;

// Empty when `name` is a safe single path component, else why not.
std::string ComponentNameProblem(std::string_view name);
// Throws EInvalidPackage naming `what` when the name is not one safe component.
void CheckComponentName(std::string_view name, const std::string& what);

// Whether a folder named relative to a base ("..\x", "a/../../b") climbs
// above that base on its way ("\" and "/" both separate; a leading drive
// part such as "C:" and leading separators are part of the base).
bool ClimbsOutOfBase(std::string_view relative);

// Collapses "." and "..", doubled and trailing separators of an absolute
// '/'-separated path; "" when ".." would climb above the root.
std::string NormalisePath(std::string_view path);
// True when `path` (normalised) is `root` or lies inside it.
bool IsPathUnder(std::string_view path, std::string_view root);

} // namespace setup
