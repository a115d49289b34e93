#pragma once
// Showing the built help file in the viewer the registry names for its kind,
// or else in one found on PATH.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "helpproject/brindlewovenproject.h"

namespace platform {
class Registry;
}

namespace helpproject {

inline constexpr int kHelpContext = 1;  // open at a context number
inline constexpr int kHelpContents = 3; // open at the contents

struct THelpViewRequest {
    std::string Kind;           // "hlp" or "chm"
    std::string File;           // the help file
    std::string Folder;         // the help file's folder, the viewer's working folder
    int Command = kHelpContext; // WinHelp: kHelpContext or kHelpContents
    std::uint32_t Context = 0;  // WinHelp: the topic number
    std::string Page;           // HTML Help: "file.chm::/html/page.htm"
};

class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    virtual void Show(const THelpViewRequest& request) = 0;
};

inline constexpr const char* kHelpViewersKey = "Software\\Vexlor\\Brindlewoven\\Help viewers";

// Reads an environment variable; nullopt when it is not set.
using TEnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;
// The process environment.
std::optional<std::string> ProcessEnvironment(const std::string& name);

// The argv that shows a request. A command line the registry keeps for the
// kind wins; otherwise the first viewer found on PATH, told in its own way
// to open the page inside a .chm: xchm "file:/ABSOLUTE/FILE.chm#xchm:/PAGE",
// kchmviewer "-showPage /PAGE FILE"; okular, then the desktop opener
// xdg-open, take the file alone (.hlp files: xdg-open only). Throws
// std::runtime_error with a clear message when nothing is found.
std::vector<std::string> HelpViewerCommand(const THelpViewRequest& request,
                                           const std::string& registryCommandLine,
                                           const TEnvironmentLookup& environment);

// Starts the viewer HelpViewerCommand chooses, with the command line the
// registry keeps for the kind of help file (HKCU kHelpViewersKey, value "hlp"
// or "chm": a command line whose "%1" is replaced by the file and "%2" by the
// page inside a .chm, "/html/page.htm"; a word that is "%2" alone goes when
// there is no page; with neither the file is appended).
class TRegistryHelpViewer : public IHelpViewer {
public:
    explicit TRegistryHelpViewer(platform::Registry& registry,
                                 TEnvironmentLookup environment = ProcessEnvironment)
        : registry_(registry), environment_(std::move(environment)) {}
    void Show(const THelpViewRequest& request) override;
    // The argv the command line gives for a request.
    static std::vector<std::string> CommandFor(const std::string& commandLine,
                                               const THelpViewRequest& request);

private:
    platform::Registry& registry_;
    TEnvironmentLookup environment_;
};

// Shows the built help file at `topicNumber`, calling `makeHelpFile` first when
// no help file exists yet (the main window's make command).
void ShowBuiltHelp(TBrindlewovenProject& project, std::int32_t topicNumber, IHelpViewer& viewer,
                   const std::function<void()>& makeHelpFile);

} // namespace helpproject
