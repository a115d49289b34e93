#pragma once
// The project options dialog's logic: the checks made on OK, in order, with
// their messages; the build-tag check list; what choosing a kind of help
// file does to the compiler choice.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/dialogs/positionwizard.h"
#include "editor/projectoptions.h"

namespace editor {

// Whether a file exists (tests give their own).
using TFileExists = std::function<bool(const std::string& path)>;

// The first check that fails on OK, as its message; empty when OK may close
// the dialog. Compiler file names are accepted in any case, with or
// without ".exe"; chmcmd passes for the HTML Help compiler.
std::string CheckOptions(const TProjectOptionsValues& values, const TFileExists& exists);

// "Delphi 1 VCL component" asks for the 16-bit compiler, the third entry on
// for the 32-bit one; other kinds keep the choice.
int CompilerForKindIndex(int kindIndex, int compilerRadio);

// The HTML Help window's place as the position wizard left it, held to what
// the position boxes take (left and top 0..9999, width and height 1..9999).
TPixelRect HelpWindowFromWizard(const TPixelRect& placed);

// The kinds of help file as the list shows them.
const std::vector<std::string>& HelpFileKindNames();

// The sorted check list of build tags.
class TBuildTagList {
public:
    // Every build tag the project's topics use, each checked when the
    // expression names it.
    void SetBuildTags(const std::vector<std::string>& projectTags,
                      const std::vector<std::string>& checked);
    // The checked entries in list order.
    std::vector<std::string> GetBuildTags() const;
    const std::vector<std::pair<std::string, bool>>& Entries() const { return entries_; }
    void SetChecked(std::size_t index, bool checked) { entries_.at(index).second = checked; }

private:
    std::vector<std::pair<std::string, bool>> entries_;
};

} // namespace editor
