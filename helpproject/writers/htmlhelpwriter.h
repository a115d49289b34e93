#pragma once
// The HTML Help compiler input: one page per topic in "html", the pictures
// in "images", the contents file (.hhc), the index file (.hhk) and the help
// project (.hhp). Also the index items and the contents tree that the web
// help writer builds the same way.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "helpproject/brindlewoventopic.h"
#include "helpproject/build/buildreport.h"
#include "helpproject/build/tempfilenames.h"
#include "helpproject/writers/markuphtml.h"

namespace components {
class IMessenger;
}

namespace helpproject {

class TBrindlewovenProject;
class TBuildSelection;

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
// The index of the written topics' K keywords, each with its page.
THtmlIndex BuildTopicIndex(const TBuildSelection& topics, const THtmlPageNames& names);
// An index keyword ("keyword" or "keyword, sub-keyword") and how many
// topics it lists.
struct TKeywordTopicCount {
    std::string Keyword;
    std::size_t Topics = 0;
};
// The `count` index entries of the topics a build writes (with the build
// tags when `applyBuildTags`) that list the most topics, most first; equal
// counts in index order.
std::vector<TKeywordTopicCount> KeywordsWithMostTopics(const TBrindlewovenProject& project,
                                                       bool applyBuildTags, std::size_t count);
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
// Writes one entry at its indent.
using THtmlContentsItem =
    std::function<void(const std::string& indent, const THtmlContentsEntry& entry)>;
// The entries as nested UL lists, one tab deeper for each level, a
// heading's list after its item. `closeItems` ends every item with its own
// end tag, after its list (pages need it; the contents file, a sitemap, is
// written in the sitemap's own form without).
void AppendContentsTree(TStringList& lines, const std::vector<THtmlContentsEntry>& entries,
                        const THtmlContentsItem& addItem, bool closeItems = false);

// "_" for every blank, so a page name can serve as a [MAP]/[ALIAS] symbol.
std::string HhpSymbol(const std::string& pageName);

struct THtmlHelpWriteOptions {
    // The help project (.hhp); every file goes to its folder.
    std::string HhpFileName;
    // The "Compiled file=" name when compiling. Empty: the .hhp's name with
    // ".chm".
    std::string ChmFileName;
    // The gauge and the user's abort; nullptr: neither.
    components::IMessenger* Messenger = nullptr;
    // The "Error log file=" name when compiling. Empty: a new temporary file
    // from `TempNames`, or without one the help project's name with ".log".
    std::string ErrorLogFileName;
    ITempFileNames* TempNames = nullptr;
    // The folder of HhpFileName is the make's own private temporary folder,
    // which no one else writes and no one reads before the compiler: each
    // file is written once under its final name.
    bool PrivateFolder = false;
};

// Writes the whole HTML Help compiler input to the folder of the options'
// HhpFileName. ForCompile: every written page, the .hhc, the .hhk and the
// .hhp go to the report's TempFiles, and the compiled-file and error-log
// lines are written (their names come back in the report). ApplyBuildTags: only the topics the
// build tags let through are written, and EProjectError stops a build that leaves none. The user's
// abort ends the run with components::EAbort("HTML Export aborted by user").
TBuildReport WriteHtmlHelpProject(const TBrindlewovenProject& project, bool forCompile,
                                  bool applyBuildTags, const THtmlHelpWriteOptions& options = {});

} // namespace helpproject
