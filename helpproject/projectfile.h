#pragma once
// The project file (.bwv): its first line and the version this program
// writes. TBrindlewovenProject::LoadFromFile and SaveToFile read and write
// it (projectfile.cpp) through the line format of projectfilelines.h.
#include <string_view>

namespace helpproject {

inline constexpr std::string_view kProjectFileMagic = "Brindlewoven project file.";
inline constexpr int kProjectFileVersion = 16;

} // namespace helpproject
