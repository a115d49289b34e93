#pragma once
// The input files of the WinHelp compilers: the help project (.hpj), the
// topic file (.rtf), the contents file (.cnt) and the C header of help IDs.
//
// Build mode (making a help file) runs the build-tag filter and writes only
// the included topics, and asks the compiler for an error log; export mode
// writes every topic and hands the build tags to the compiler instead.
// Every file is written through a temporary file in its folder, so a failed
// write leaves the previous file (or none) and never a half-written one.
#include <filesystem>
#include <string>
#include <string_view>

#include "helpproject/brindlewovenproject.h"

namespace platform {
class TempFolder;
}

namespace helpproject {

// Hands out names of new temporary files (the main window's service; the
// headless core uses a private temporary folder).
class ITempFileNames {
public:
    virtual ~ITempFileNames() = default;
    // A new, empty, unique file; its name.
    virtual std::string MakeTempFileName() = 0;
};

// Temporary files inside a private folder, removed with the folder.
class TTempFolderFileNames : public ITempFileNames {
public:
    explicit TTempFolderFileNames(platform::TempFolder& folder) : folder_(folder) {}
    std::string MakeTempFileName() override;

private:
    platform::TempFolder& folder_;
};

// The text converted to the OEM code page when the project's compiler is
// the 16-bit one; unchanged otherwise.
std::string ToOemText(const TBrindlewovenProject& project, std::string_view text);

// The project's help file name: the project file name, or the output folder
// followed by the project file's name, with the extension ".hlp".
std::string DefaultHelpFileName(const TBrindlewovenProject& project);

// Writes HpjFileName and RtfFileName (set by the caller) and, for the 32-bit
// compiler, the contents file. Sets HelpFileName, CntFileName (when the
// caller left it empty) and, in build mode, ErrorLogFileName (a name from
// `tempNames`; without one, the help project's name with ".err").
// Throws EBrindlewoven for a topic at fault and EProjectError when the build
// tags exclude every topic.
void WriteWinHelpSources(TBrindlewovenProject& project, bool buildMode,
                         ITempFileNames* tempNames = nullptr);

// Writes CntFileName. In build mode entries whose topic is not included (or
// does not exist) are dropped; the topics' Included flags must be current.
void WriteContentsFile(const TBrindlewovenProject& project, bool buildMode);

// The file name of the C header: the help file's name (the .chm for the
// HTML Help compiler) with its extension replaced by "_HELPID.C".
std::string HelpIdHeaderFileName(const TBrindlewovenProject& project);
// Writes the C header of help IDs for the included topics.
void WriteHelpIdHeader(const TBrindlewovenProject& project);

// Path helpers shared by the help-file writers and the compiler runs.
std::string FolderOfName(const std::string& fileName); // without the trailing separator
std::string NameOnly(const std::string& fileName);
std::string ChangeFileExt(const std::string& fileName, std::string_view extension);
// An ANSI file name of the project as a path of this system.
std::filesystem::path ProjectPath(const std::string& fileName);

} // namespace helpproject
