#pragma once
// One make's own files and findings: the help file it produces, the
// compiler's input and log in the make's private temporary folder, and what
// the writers reported. Whoever runs the make owns the record and hands it to
// the writers, the compiler run and the clean-up; the project only supplies
// the content and keeps none of it.
#include <string>

#include "helpproject/brindlewoventopic.h"
#include "helpproject/build/buildreport.h"

namespace helpproject {

struct TBuildRecord {
    // The help file the compiler's output goes to: the .hlp of the WinHelp
    // compilers, the .chm of HTML Help (the other one empty).
    std::string HelpFileName;
    std::string ChmFileName;
    // The compiler's input: the help project, the topic file, the HTML Help
    // project; and the compiler's error log.
    std::string HpjFileName;
    std::string RtfFileName;
    std::string HhpFileName;
    std::string ErrorLogFileName;
    // Further compiler input, wiped after the compiler ran.
    TStringList TempFiles;
    // What the writers did and found (the missing pictures and broken links
    // the error log lists, the topics written, the contents file of the
    // WinHelp compilers); meaningful once Written.
    TBuildReport Report;
    bool Written = false;

    // Takes the writers' report: the names they chose replace the record's,
    // their temporary files join the list, and the report is kept.
    void TakeReport(const TBuildReport& report);
};

} // namespace helpproject
