#pragma once
// What a writer did and found. The writers take the project as it is and
// leave it so; everything they chose or found comes back here instead, for
// the make's build record (TBuildRecord), the error log ("MISSING IMAGES:",
// "BROKEN LINKS:") and the few changes a make leaves in the project.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

class TBrindlewovenProject;

struct TBuildReport {
    // Picture and movie names that no picture folder holds, in the order
    // looked up.
    TStringList MissingImages;
    // Links, buttons and anchors that lead nowhere, one line each
    // ("link=intro in topic 12 Title").
    TStringList BrokenLinks;
    // Every file written, in the order written.
    TStringList FilesWritten;
    // The pictures and movies read, in the order found.
    TStringList FilesRead;
    // The files of FilesWritten that are compiler input only, to be wiped
    // after the compiler ran.
    TStringList TempFiles;
    // The topics written, in number order; the first is the default topic.
    std::vector<std::int32_t> IncludedTopics;
    // Topics written under the automatic ID ("Vellumar" + number) because
    // their own could not serve.
    std::vector<std::int32_t> AutomaticIDs;
    // The file names the output uses; empty for the ones a writer does not
    // deal with.
    std::string HelpFileName;
    std::string CntFileName;
    std::string ChmFileName;
    std::string ErrorLogFileName;
    // The locale as the WinHelp writer keeps it: trimmed, or cleared when it
    // is no "0x" code. Unset when the writer leaves the locale alone.
    std::optional<std::string> LocaleID;
};

// What a make leaves in the project itself: the locale as kept and the
// automatic IDs of the topics written under them (both saved with the
// project), and the Included flags of the topics written, which "Show help
// file" reads.
void KeepBuildChoices(TBrindlewovenProject& project, const TBuildReport& report);

} // namespace helpproject
