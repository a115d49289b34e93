#pragma once
// An INI file that also stores string lists: a count under NAME_ListCount
// and the entries under NAME_0, NAME_1, ...
#include <string>
#include <string_view>
#include <vector>

#include "speller/inifile.h"

namespace speller {

class TEnhancedINI : public TIniFile {
public:
    using TIniFile::TIniFile;

    // Appends the non-empty entries 0 .. count-1 to `list` (not cleared
    // first). Only entries present in the file are read, so a count far
    // beyond them costs nothing.
    void ReadList(std::string_view section, std::string_view name,
                  std::vector<std::string>& list) const;
    // Writes the count and every entry in one save. Entries beyond the new
    // count stay in the file; ReadList ignores them.
    void WriteList(std::string_view section, std::string_view name,
                   const std::vector<std::string>& list);
    // Both lists of a user word list in one save.
    void WriteLists(std::string_view section1, std::string_view name1,
                    const std::vector<std::string>& list1, std::string_view section2,
                    std::string_view name2, const std::vector<std::string>& list2);
};

} // namespace speller
