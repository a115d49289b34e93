#pragma once
// The HTML Help compiler on Linux: Free Pascal's chmcmd, run on a copy of the
// written help project that it accepts, with its messages kept as the
// project's error log.
#include <string>

#include "helpproject/build/compilerrun.h"

namespace helpproject {

struct TChmcmdResult {
    bool Produced = false; // a non-empty .chm exists at the build's ChmFileName
    int ExitCode = 0;
    std::string Log; // chmcmd's merged standard output and error
};

// True when the configured HTML Help compiler is chmcmd (by file name).
bool IsChmcmd(const std::string& compilerPath);

// The help project as chmcmd takes it. chmcmd refuses [MAP] symbols that no
// [ALIAS] line defines, and for those it accepts it stores the absolute
// build path as the context target, which no viewer can open inside the
// .chm; so the copy leaves [MAP] out: the compiled file keeps every page,
// picture, the contents and the index, without context numbers.
std::string ChmcmdProjectText(const std::string& hhpText);

// chmcmd's log as the error log shows it. The one "Found file
// html/javascript:... couldn't find it on disk" warning per popup link is
// harmless and would bury the real errors: those lines become one counted
// line. When the log holds "Error: Anchor ... undefined" lines, a header says
// where they come from and when they are harmless.
std::string ChmcmdLogForReading(const std::string& log);

// Compiles the build's HhpFileName into its ChmFileName (the .hhp name with
// ".chm" when none is set). The log goes to its ErrorLogFileName (the .hhp
// name with ".log" when none is set).
// The log is kept as ChmcmdLogForReading gives it. A non-zero exit, a missing or an empty .chm is a
// failure; an empty or partial .chm is deleted. A chmcmd that cannot be run gives exit code 127 and
// its shell's message as log.
TChmcmdResult CompileWithChmcmd(TBuildRecord& build, const std::string& chmcmdPath = "chmcmd",
                                IProgramRunner* runner = nullptr);

// The compiler seam's form: runs HCHTMLSel through CompileWithChmcmd and
// throws EHelpCompilerError when chmcmd cannot be started.
class TChmcmdHtmlHelpCompiler : public IHtmlHelpCompiler {
public:
    void Compile(const TBrindlewovenProject& project, TBuildRecord& build,
                 const TCompilerPaths& paths, IProgramRunner& runner) override;
    TChmcmdResult LastResult;
};

} // namespace helpproject
