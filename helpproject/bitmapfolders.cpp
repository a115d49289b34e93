#include "helpproject/bitmapfolders.h"

#include <algorithm>

#include "helpproject/helputils.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"

namespace helpproject {

std::vector<std::string> BitmapFolderEntries(std::string_view folders,
                                             std::string_view separators) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = folders.size();
        std::string entry = TrimText(std::string(folders.substr(start, end - start)));
        if (!entry.empty())
            entries.push_back(std::move(entry));
        start = end + 1;
    }
    return entries;
}

bool AddBitmapFolder(std::string& folders, std::string_view folder) {
    const std::string item = platform::ExcludeTrailingSeparator(std::string(folder));
    if (item.empty())
        return false;
    const std::vector<std::string> entries = BitmapFolderEntries(folders);
    if (std::any_of(entries.begin(), entries.end(),
                    [&](const std::string& entry) { return platform::AnsiSameText(entry, item); }))
        return false;
    if (!folders.empty())
        folders += kBitmapFolderSeparator;
    folders += item;
    return true;
}

} // namespace helpproject
