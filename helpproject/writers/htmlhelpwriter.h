#pragma once
// The HTML Help compiler input: one page per topic in "html", the pictures
// in "images", the contents file (.hhc), the index file (.hhk) and the help
// project (.hhp). Also the index items and the contents tree that the web
// help writer builds the same way.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "helpproject/brindlewoventopic.h"
#include "helpproject/writers/htmlexportprogress.h"
#include "helpproject/writers/markuphtml.h"

namespace helpproject {

class TBrindlewovenProject;

// Orders like a sorted string list that ignores case; equal keys are one.
struct TAnsiTextLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// One index keyword: its pages ("title" + char 12 + "page.htm") and its
// sub-keywords (by lower-cased sub-keyword).
class THHKItem {
public:
    explicit THHKItem(std::string keyword) : Keyword(std::move(keyword)) {}
    std::string Keyword;
    std::set<std::string, TAnsiTextLess> Pages;
    std::map<std::string, std::unique_ptr<THHKItem>, TAnsiTextLess> SubKeywords;
};

// First-level keywords by their lower-cased text.
using THtmlIndex = std::map<std::string, std::unique_ptr<THHKItem>, TAnsiTextLess>;

// Adds the K keywords of one topic ("a;b,sub;...") with its page line.
void AddTopicToIndex(THtmlIndex& index, const std::string& keywords, const std::string& pageLine);
// Splits the page line into title and page file.
void SplitIndexPage(const std::string& pageLine, std::string& title, std::string& page);

// One entry of the contents tree: a heading (Link empty) or a link.
struct THtmlContentsEntry {
    int Level = 1;
    std::string Name; // escaped
    std::string Link; // escaped; empty for a heading
};
// The contents lines as entries: lines not starting with 1..9 skipped,
// entries whose ID is not in `targets` left out.
std::vector<THtmlContentsEntry> BuildHtmlContents(const TStringList& contentsLines,
                                                  const TStringList& targets);

// "_" for every blank, so a page name can serve as a [MAP]/[ALIAS] symbol.
std::string HhpSymbol(const std::string& pageName);

struct THtmlHelpWriteOptions {
    THtmlExportProgress* Progress = nullptr;
    // The "Error log file=" name when compiling; empty: a new temporary file
    // name is made.
    std::string ErrorLogFileName;
};

// Writes the whole HTML Help compiler input to the folder of HhpFileName.
// ForCompile: every written file goes to TempFiles, and the compiled-file
// and error-log lines are written (the log name is stored in the project).
// ApplyBuildTags: only the included topics are written.
void WriteHtmlHelpProject(TBrindlewovenProject& project, bool forCompile, bool applyBuildTags,
                          const THtmlHelpWriteOptions& options = {});

// Saves lines as CR LF text through a temporary file.
void SaveHtmlLines(const std::string& fileName, const TStringList& lines);

} // namespace helpproject
