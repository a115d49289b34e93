#pragma once
// The input files of the WinHelp compilers: the help project (.hpj), the
// topic file (.rtf), the contents file (.cnt) and the C header of help IDs.
//
// Build mode (making a help file) writes only the topics the build tags let
// through and asks the compiler for an error log; export mode writes every
// topic and hands the build tags to the compiler instead. Every file is
// written through a temporary file in its folder, so a failed write leaves
// the previous file (or none) and never a half-written one. The writers
// leave the project as it is; what they chose comes back in the report.
#include <filesystem>
#include <string>
#include <string_view>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/buildreport.h"
#include "helpproject/build/tempfilenames.h"

namespace helpproject {

// The text converted to the OEM code page when the project's compiler is
// the 16-bit one; unchanged otherwise.
std::string ToOemText(const TBrindlewovenProject& project, std::string_view text);

// Where the WinHelp writers write: the help project and the topic file, and
// the contents file (empty: the help file's name with ".cnt").
struct TWinHelpSourceFiles {
    std::string HpjFileName;
    std::string RtfFileName;
    std::string CntFileName;
};

// Writes the help project and the topic file of `files` and, for the 32-bit
// compiler, the contents file. The report gives HelpFileName, CntFileName
// (the given one, or one made from the help file's name), the locale as
// kept, the topics written, those written under the automatic ID and, in
// build mode, ErrorLogFileName (a name from `tempNames`; without one, the
// help project's name with ".err"). Throws EBrindlewoven for a topic at
// fault and EProjectError when the build tags exclude every topic.
TBuildReport WriteWinHelpSources(const TBrindlewovenProject& project,
                                 const TWinHelpSourceFiles& files, bool buildMode,
                                 ITempFileNames* tempNames = nullptr);

// Writes the contents file of the build `build` reports (its CntFileName,
// and its HelpFileName, else the project's). In build mode entries whose topic
// the build did not write (or that does not exist) are dropped. The file
// goes on the report's list of files written.
void WriteContentsFile(const TBrindlewovenProject& project, TBuildReport& build, bool buildMode);

// The file name of the C header: the help file's name (the .chm for the
// HTML Help compiler) with its extension replaced by "_HELPID.C".
std::string HelpIdHeaderFileName(const TBrindlewovenProject& project, const TBuildReport& build);
// Writes the C header of help IDs for the topics the build wrote.
void WriteHelpIdHeader(const TBrindlewovenProject& project, TBuildReport& build);

} // namespace helpproject
