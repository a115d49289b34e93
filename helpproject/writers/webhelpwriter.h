#pragma once
// Web help: plain HTML pages for a web server or a browser, with a contents
// page, an index page (idx.htm) and, in the frame layout, a frameset. Files
// are named in UTF-8 on disk, as browsers ask for them; the pages stay
// 8-bit ANSI text.
#include <string>

#include "helpproject/writers/htmlexportprogress.h"

namespace helpproject {

class TBrindlewovenProject;
class TTextStyleList;

// The user stopped the page passes of the web help export.
class EWebHelpExportAborted : public EHtmlExportAborted {
public:
    const char* what() const noexcept override { return "Web Help export aborted by user"; }
};

// The progress and abort step of the page passes.
void CheckWebHelpExportAbort(THtmlExportProgress* progress, int value);

// The contents/index link line of the frame layout. `styles` gives the
// "*TopicText" font (nullptr: Arial 10 in the window-text colour).
std::string WebHelpNavigationHeader(const TBrindlewovenProject& project,
                                    const TTextStyleList* styles);

// Writes the web help of the project into the folder of WebOutputFile, in
// the layout WebFormat (0 simple, 1 with navigation, 2 frames).
void ExportWebHelp(TBrindlewovenProject& project, const TTextStyleList* styles = nullptr,
                   THtmlExportProgress* progress = nullptr);

} // namespace helpproject
