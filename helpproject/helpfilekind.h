#pragma once
// The kinds of help file a project makes (the project's HelpFileKind, kept
// as an integer in the project file): a regular help file, or the component
// help of a development environment, which the writers hook into that
// environment's own help.
#include <cstdint>

namespace helpproject {

// Delphi n is 16 x n; C++Builder n is 256 + 16 x n.
enum THelpFileKind : std::int32_t {
    hfkRegular = 0,
    hfkDelphi1 = 16,
    hfkDelphi2 = 32,
    hfkDelphi3 = 48,
    hfkDelphi4 = 64,
    hfkDelphi5 = 80,
    hfkDelphi6 = 96,
    hfkDelphi7 = 112,
    hfkCppBuilder1 = 272,
    hfkCppBuilder3 = 304,
    hfkCppBuilder4 = 320,
    hfkCppBuilder5 = 336,
    hfkCppBuilder6 = 352,
};

// Delphi 1 and 2 component help, which works the old way: topics carry B
// keywords, the keyword generator runs after the compiler, and Delphi links
// go to the environment's help file by name.
constexpr bool IsDelphi1Or2Help(std::int32_t kind) {
    return kind == hfkDelphi1 || kind == hfkDelphi2;
}

// From Delphi 3 on the environment reads a contents file of the component
// help, so one is written even without contents lines.
constexpr bool NeedsContentsFile(std::int32_t kind) {
    return kind >= hfkDelphi3;
}

} // namespace helpproject
