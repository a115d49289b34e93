#pragma once
// The project's bitmap folders: one text of folders, as the options dialog,
// the bitmap and movie commands and the component-help generator keep it
// (entries separated by ","), read by every writer that looks for pictures.
#include <string>
#include <string_view>
#include <vector>

namespace helpproject {

// The folder list's separator, which the commands write between entries.
inline constexpr std::string_view kBitmapFolderSeparator = ",";

// The entries of a folder list, split at any of `separators`, trimmed, empty
// ones left out.
std::vector<std::string> BitmapFolderEntries(std::string_view folders,
                                             std::string_view separators = kBitmapFolderSeparator);

// Appends `folder` (without a trailing separator) to the list unless an
// entry already names it, ignoring case. False when nothing was added.
bool AddBitmapFolder(std::string& folders, std::string_view folder);

} // namespace helpproject
