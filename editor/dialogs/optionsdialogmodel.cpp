#include "editor/dialogs/optionsdialogmodel.h"

#include <algorithm>

#include "editor/compilersearch.h"
#include "platform/codepage.h"

namespace editor {

namespace {

constexpr int kDelphi1 = 1;
constexpr int kDelphi3 = 3;

std::string CheckCompiler(helpproject::THelpCompiler kind, const std::string& path,
                          const std::string& wrongName, const TFileExists& exists) {
    if (!AcceptedCompilerName(kind, path))
        return wrongName;
    if (!exists(path))
        return "Cannot find " + path;
    return {};
}

} // namespace

std::string CheckOptions(const TProjectOptionsValues& v, const TFileExists& exists) {
    std::string failure;
    switch (v.CompilerRadio) {
    case helpproject::THelpCompiler::WinHelp16:
        failure = CheckCompiler(helpproject::THelpCompiler::WinHelp16, v.HC31Path,
                                "Please specify the location of the 16-bit WinHelp compiler you "
                                "want to use.  The file name of this compiler is either HC31.EXE "
                                "or HCP.EXE",
                                exists);
        break;
    case helpproject::THelpCompiler::WinHelp32:
        failure = CheckCompiler(helpproject::THelpCompiler::WinHelp32, v.HC95Path,
                                "Please specify the location of the 32-bit WinHelp compiler you "
                                "want to use.  The file name of this compiler is HCRTF.EXE",
                                exists);
        break;
    case helpproject::THelpCompiler::HtmlHelp:
        failure = CheckCompiler(helpproject::THelpCompiler::HtmlHelp, v.HCHTMLPath,
                                "Please specify the location of the HTML Help compiler you want "
                                "to use.  The file name of this compiler is HHC.EXE",
                                exists);
        break;
    default:
        return "You must select a help compiler";
    }
    if (!failure.empty())
        return failure;
    if (v.CompilerRadio == helpproject::THelpCompiler::WinHelp32 && v.KindIndex == kDelphi1)
        return "Help files for Delphi 1 VCL components must be compiled with the 16-bit WinHelp "
               "compiler";
    if (v.CompilerRadio == helpproject::THelpCompiler::WinHelp16 && v.KindIndex >= kDelphi3)
        return "Help files for Delphi 3 (or later) and C++Builder components must be compiled "
               "with HCRTF\rHCRTF ships with Delphi 3 (or later) and C++Builder";
    return {};
}

int CompilerForKindIndex(int kindIndex, int compilerRadio) {
    if (kindIndex == kDelphi1)
        return 0;
    if (kindIndex >= kDelphi3)
        return 1;
    return compilerRadio;
}

const std::vector<std::string>& HelpFileKindNames() {
    static const std::vector<std::string> names = {"Regular Help File (anything not in this list)",
                                                   "Delphi 1 VCL component",
                                                   "Delphi 2 VCL component",
                                                   "Delphi 3 VCL component",
                                                   "Delphi 4 VCL component",
                                                   "Delphi 5 VCL component",
                                                   "Delphi 6 VCL/CLX component",
                                                   "Delphi 7 VCL/CLX component",
                                                   "C++Builder 1 VCL component",
                                                   "C++Builder 3 VCL component",
                                                   "C++Builder 4 VCL component",
                                                   "C++Builder 5 VCL component",
                                                   "C++Builder 6 VCL/CLX component"};
    return names;
}

void TBuildTagList::SetBuildTags(const std::vector<std::string>& projectTags,
                                 const std::vector<std::string>& checked) {
    // A tag the expression names stays listed even when no topic uses it
    // (yet): OK must not drop it from the expression.
    std::vector<std::string> sorted = projectTags;
    sorted.insert(sorted.end(), checked.begin(), checked.end());
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return platform::AnsiCompareText(a, b) < 0;
    });
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](const std::string& a, const std::string& b) {
                                 return platform::AnsiSameText(a, b);
                             }),
                 sorted.end());
    entries_.clear();
    for (const std::string& tag : sorted) {
        const bool on = std::any_of(checked.begin(), checked.end(), [&](const std::string& c) {
            return platform::AnsiSameText(c, tag);
        });
        entries_.emplace_back(tag, on);
    }
}

std::vector<std::string> TBuildTagList::GetBuildTags() const {
    std::vector<std::string> tags;
    for (const auto& [tag, on] : entries_)
        if (on)
            tags.push_back(tag);
    return tags;
}

TPixelRect HelpWindowFromWizard(const TPixelRect& placed) {
    return {std::clamp(placed.Left, 0, 9999), std::clamp(placed.Top, 0, 9999),
            std::clamp(placed.Width, 1, 9999), std::clamp(placed.Height, 1, 9999)};
}

} // namespace editor
