#pragma once
// The program's command line: a project file, then optionally one of /c16,
// /c32, /chtml (or any other /c...) or /cweb with its output file, then
// optionally /b with build tags, then optionally /q. Parsing is a pure
// function; running it uses the project commands and the make pipeline.
//
// Batch runs (/q) never wait for a person: every question gets its safe
// answer and counts as "needed a person", messages go to stderr, and the
// exit status says what happened.
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "helpproject/helpfilekind.h"

namespace helpproject {
class TEditingSession;
class TTextStyleList;
struct TCompilerPaths;
} // namespace helpproject

namespace editor {

class TProjectCommands;
class TMakePipeline;
struct TEditorSettings;

struct TCommandLine {
    std::string ProjectFile; // as given; empty: no parameters
    // A "/c" switch was given: make (or export web help).
    bool Run = false;
    bool WebHelp = false;
    std::string WebOutputFile; // empty with WebHelp: missing
    // 0, 1 or 2 from /c16, /c32, /chtml; none keeps the project's.
    std::optional<helpproject::THelpCompiler> Compiler;
    std::optional<std::string> BuildTags;
    bool Quiet = false;
};

// Exit statuses of a batch run.
enum TBatchExit : int {
    kExitBuilt = 0,
    kExitBuildFailed = 1,
    kExitBadInput = 2,    // missing project or output file, arguments that cannot run
    kExitNeededPerson = 3 // something asked a question or wanted a dialog
};

// The parameters after the program's name, parsed by position. A /cweb
// whose output file is missing or is the quiet switch itself ("/q") has no
// output file; /q is then still seen, so that a batch run ends.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// How a run goes, decided from its arguments alone, before any window or
// windowing-system connection exists.
enum class TRunMode {
    Window, // the main window opens (with the project, and makes when asked)
    Quiet,  // no window at all: the run ends with its exit status
    Refused // the arguments cannot run: Message and kCommandLineUsage go to
            // stderr and the program ends with kExitBadInput
};

struct TRunDecision {
    TRunMode Mode = TRunMode::Window;
    std::string Message; // Refused: why
};

// The usage lines a refused run prints after its message.
extern const char* const kCommandLineUsage;

// Every run that names /q (anywhere, ignoring case) is a quiet one and never
// needs a display: it runs only when the line is complete and in order (the
// project file, a /c switch with the output file of /cweb, perhaps /b, then
// /q in its place) and is refused otherwise: no project file, nothing to
// make, /q out of its place, /cweb without its file, or a switch the program
// does not know. A run without /q is refused only for an unknown switch
// when there is no display to show the window that would ignore it. A "/"
// argument with a further "/" in it, or naming an existing file, is a path,
// not a switch.
TRunDecision DecideRun(const std::vector<std::string>& args,
                       const std::function<const char*(const char*)>& getenv);

struct TCommandLineResult {
    bool Quit = false; // end the program instead of entering the event loop
    int ExitCode = kExitBuilt;
};

// What the run needs besides the commands: normalising the project argument
// (file: URLs, shortcuts) and whether a person was asked anything.
struct TCommandLineServices {
    // Null: components::NormalizeFileArgument.
    std::function<std::string(const std::string&)> NormalizeFile;
    std::function<bool()> NeededPerson; // null: never
};

// Runs the parsed command line. Errors of opening, making and exporting are
// shown through the commands' messenger; in a quiet run they end it with a
// non-zero exit status, otherwise the program stays open.
TCommandLineResult RunCommandLine(const TCommandLine& commandLine, TProjectCommands& commands,
                                  TMakePipeline& make, const TCommandLineServices& services = {});

// A quiet run without a window's dialogs: over `session` (and `styles`, the
// window's text styles, may be null), with a messenger that answers every
// question with its safe answer and writes what it shows to `err`. File
// dialogs and Project Options count as needing a person. A quiet run whose
// make fails writes the make's Error Log to `err` after the message.
TCommandLineResult RunBatchCommandLine(const TCommandLine& commandLine,
                                       helpproject::TEditingSession& session,
                                       helpproject::TTextStyleList* styles,
                                       helpproject::TCompilerPaths& paths,
                                       const TEditorSettings& settings, std::ostream& err,
                                       const TCommandLineServices& services = {});

// The program's quiet run (Run and Quiet): no window is made and no topic
// shown. The project opens in a session of its own with the built-in text
// styles; `settings` are the program-wide settings the window would use.
// Messages go to `err`; a compiler that never ends is stopped at the time
// limit (BRINDLE_COMPILER_TIME_LIMIT, seconds; half an hour by default).
// Quit is always set: every path ends with the run's exit status.
TCommandLineResult RunQuietCommandLine(const TCommandLine& commandLine,
                                       helpproject::TCompilerPaths& paths,
                                       const TEditorSettings& settings, std::ostream& err,
                                       const TCommandLineServices& services = {});

} // namespace editor
