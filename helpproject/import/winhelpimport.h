#pragma once
// Import of a WinHelp project: the help project file (.hpj) with its options
// and sections, every RTF topic file it lists, cut into topics at "\page"
// with the topic fields taken from the footnotes and the hotspots turned into
// markup codes, and the contents file (.cnt).
//
// The units it is made of: hpjfile.h reads the .hpj, importedpage.h turns
// one page into a topic, hotspotconversion.h makes the link codes and
// contentsimport.h reads the contents file.
#include <cstdint>
#include <string>
#include <string_view>

#include "components/messengerseam.h"
#include "helpproject/brindlewovenproject.h"

namespace helpproject {

// The message of the abort exception (components::EAbort) when the user
// stops an import. Topics already added stay in the project.
inline constexpr std::string_view kImportAborted = "Import aborted by user";

// The largest RTF topic file the import reads.
inline constexpr std::uint64_t kMaxTopicFileBytes = 64u << 20;

struct TWinHelpImportResult {
    int TopicsImported = 0;
    int PagesWithoutID = 0; // pages skipped because they have no "#" footnote
    // What was left out without stopping the import ([MAP] includes that
    // could not be read, a contents topic that cannot come first), as the
    // messenger showed it.
    TStringList Warnings;
};

// Reads the project `hpjFileName` (a path as the user gave it; Windows paths
// with drive letters and backslashes are resolved) into `project`, showing
// its stages ("Reading topics from RTF file...", "Converting topics to
// Brindlewoven format...", "Importing contents file...") on `messenger` and
// polling it for the user's abort. Throws EProjectError for a missing
// [FILES] section, a [FILES] entry found nowhere (the message names every
// place looked at: each ROOT folder and the .hpj's own), an RTF file that
// is not RTF or is empty, EBrindlewoven for a topic that cannot be
// converted, components::EAbort (kImportAborted) when the user stopped it,
// and the platform's error for a file that cannot be read, is no regular
// file (a FIFO, a device) or is too large. The topics added until then
// stay, with their hotspots converted and the contents topic first, as
// after a whole import; the contents file is not read then.
//
// A contents file that cannot be imported does not stop it: the messenger
// shows the error ("Error importing contents file.\r..."), and the import
// goes on. What else was left out (Warnings) goes to the messenger's
// warnings, which wait for no answer.
//
// The project's locale comes from the LCID option, else, when the project
// has none and the first topic file is written in another code page than
// Windows-1252, from that file's code page and language.
TWinHelpImportResult ImportWinHelpProject(TBrindlewovenProject& project,
                                          const std::string& hpjFileName,
                                          components::IMessenger* messenger = nullptr);

} // namespace helpproject
