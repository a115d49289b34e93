#pragma once
// Freedesktop launchers in place of the shortcuts a package installs, and
// the MIME and launcher files derived from the file types it registers.
#include <string>
#include <string_view>
#include <vector>

namespace platform {
struct SystemRoots;
}

namespace setup {

// A string value of a desktop entry: "\" "\n" "\t" "\r" and a leading blank
// escaped. Texts with CR or LF are refused before they get here.
std::string EscapeDesktopValue(std::string_view value);
// One Exec argument: quoted when it holds a reserved character, with
// "\"", "`", "$" and "\" escaped inside the quotes, and "%" doubled.
std::string QuoteExecArgument(std::string_view argument);
// Splits a Windows-style argument text at blanks outside double quotes.
std::vector<std::string> SplitArguments(std::string_view text);

struct TLauncher {
    std::string name;                   // Windows-1252
    std::string description;            // Windows-1252
    std::string target;                 // native path of the program
    std::vector<std::string> arguments; // native (UTF-8), one per argument
    std::string workingDirectory;
    std::string icon; // native path; used only when the format can show it
    // The target is a document: the launcher hands it to the desktop's
    // default application for its type ("xdg-open"), without arguments.
    bool document = false;
};

// Whether an installed file is a Windows program by its extension (".exe",
// ".com", ".bat", ".cmd"): its launcher starts it as it is, which works
// where a compatibility layer runs such files.
bool IsWindowsProgramName(const std::string& path);
// Whether a launcher for the installed file opens it as a document: a file
// that is neither executable nor a Windows program.
bool OpensAsDocument(const std::string& path);

// The text of an application launcher (Type=Application).
std::string LauncherText(const TLauncher& launcher);
// The text of a link launcher (Type=Link).
std::string LinkLauncherText(const std::string& name, const std::string& url,
                             const std::string& icon);
// Writes the text unless the file already holds it; true when written. A
// link, a folder or a device in the launcher's place is replaced, never
// read or written through.
bool WriteLauncherFile(const std::string& path, const std::string& text);

// The MIME type a registered extension is projected to.
std::string MimeTypeForExtension(std::string_view extension);

struct TMimeProjection {
    std::string extension; // ".abc"
    std::string description;
    std::string openCommandTarget; // native path of the program that opens it
    std::string openArguments;     // the verb's command text
    std::string icon;
};
// The files ProjectFileType writes for an extension: the MIME package file
// (in the scope's MIME folder) and the hidden launcher (in the scope's
// folder of launchers).
std::vector<std::string> FileTypeFiles(const platform::SystemRoots& roots,
                                       const std::string& extension);
// The folders below which those files are written and no link is followed:
// the sandbox root when sandboxed, else the scope's MIME and launcher folders.
std::vector<std::string> FileTypeFolderRoots(const platform::SystemRoots& roots);
// Writes the MIME package file and a hidden launcher for the type, then
// runs update-mime-database over the MIME folder when it is present.
// Returns the files written.
std::vector<std::string> ProjectFileType(const platform::SystemRoots& roots,
                                         const TMimeProjection& type);
// Runs update-mime-database on the folder when the program exists; false
// when it is absent or failed.
bool UpdateMimeDatabase(const std::string& mimeFolder);

} // namespace setup
