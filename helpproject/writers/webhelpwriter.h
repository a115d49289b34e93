#pragma once
// Web help: plain HTML pages for a web server or a browser, with a contents
// page, an index page (idx.htm) and, in the frame layout, a frameset. Files
// are named in UTF-8 on disk, as browsers ask for them; the pages stay
// 8-bit ANSI text.
#include <string>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/build/buildreport.h"

namespace components {
class IMessenger;
}

namespace helpproject {

class TBrindlewovenProject;
class TTextStyleList;

// What the user's abort ends the page passes with (the last link pass ends
// with "HTML Export aborted by user" as the other HTML writers do).
inline constexpr const char* kWebHelpExportAborted = "Web Help export aborted by user";

// The contents/index link line of the frame layout. `styles` gives the
// "*TopicText" font (nullptr: Arial 10 in the window-text colour).
std::string WebHelpNavigationHeader(const TBrindlewovenProject& project,
                                    const TTextStyleList* styles);

// An output file the export may not write.
class EWebOutputRefused : public EProjectError {
public:
    using EProjectError::EProjectError;
};

// Throws EWebOutputRefused with a clear message when WebOutputFile may not be
// written: it is the project file, or something other than a regular file
// (a folder, FIFO or device) stands there. A link is fine: its target is
// written and the link stays.
void CheckWebHelpOutput(const TBrindlewovenProject& project);

// Writes the web help of the project into the folder of WebOutputFile, in
// the layout WebFormat (0 simple, 1 with navigation, 2 frames); with
// WebUseBuildTags only the topics the build tags let through. Every file it
// writes is checked as CheckWebHelpOutput says, and no page replaces a
// picture the export reads (EWebOutputRefused).
TBuildReport ExportWebHelp(const TBrindlewovenProject& project,
                           const TTextStyleList* styles = nullptr,
                           components::IMessenger* messenger = nullptr);

} // namespace helpproject
