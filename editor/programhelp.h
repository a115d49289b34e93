#pragma once
// The program's own help: every Help command and every dialog's Help button
// hands its context number here. The help file lies beside the program, as
// an HTML Help file shown by the viewer the registry names for .chm files,
// or as web help (one page per context) shown in the desktop's browser.
#include <filesystem>
#include <functional>
#include <string>

#include "helpproject/build/helpviewer.h"

namespace components {
class IMessenger;
}

namespace editor {

inline constexpr const char* kProgramHelpFile = "Brindlewoven.chm";
inline constexpr const char* kProgramWebHelpFolder = "BrindlewovenHelp";

class TProgramHelp {
public:
    using TUrlOpener = std::function<void(const std::string& url)>;

    // `folder`: where the program and its help file lie.
    TProgramHelp(std::filesystem::path folder, helpproject::IHelpViewer& viewer, TUrlOpener openUrl,
                 components::IMessenger& messenger);

    // Shows the topic of that context number; says so when no help is
    // installed or nothing can show it.
    void ShowContext(int context);

    // The page that carries a context's topic in either form of the help.
    static std::string PageName(int context);
    std::filesystem::path ChmFile() const { return folder_ / kProgramHelpFile; }
    std::filesystem::path WebFolder() const { return folder_ / kProgramWebHelpFolder; }

private:
    bool ShowWebHelp(int context);

    std::filesystem::path folder_;
    helpproject::IHelpViewer& viewer_;
    TUrlOpener openUrl_;
    components::IMessenger& messenger_;
};

} // namespace editor
