#pragma once
// Showing the built help file in the viewer the registry names for its kind.
#include <cstdint>
#include <functional>
#include <string>
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

// Starts the viewer command that the registry keeps for the kind of help file
// (HKCU kHelpViewersKey, value "hlp" or "chm": a command line whose "%1" is
// replaced by the file, or by the page for HTML Help; without "%1" the file is
// appended). Throws std::runtime_error with a clear message when none is set.
class TRegistryHelpViewer : public IHelpViewer {
public:
    explicit TRegistryHelpViewer(platform::Registry& registry) : registry_(registry) {}
    void Show(const THelpViewRequest& request) override;
    // The argv the command line gives for a request.
    static std::vector<std::string> CommandFor(const std::string& commandLine,
                                               const THelpViewRequest& request);

private:
    platform::Registry& registry_;
};

// Shows the built help file at `topicNumber`, calling `makeHelpFile` first when
// no help file exists yet (the main window's make command).
void ShowBuiltHelp(TBrindlewovenProject& project, std::int32_t topicNumber, IHelpViewer& viewer,
                   const std::function<void()>& makeHelpFile);

} // namespace helpproject
