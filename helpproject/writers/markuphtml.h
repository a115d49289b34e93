#pragma once
// Turning the markup codes left in a page's HTML into HTML: jumps, popups,
// anchors, macro and cross-file links, links to anchors, links to outside
// files, buttons, pictures and movies. Each translator makes one forward
// pass over the page; a hotspot (the STRIKE or U element that RtfToHtml made
// of the formatted link text) is found through the still-open formatting
// tags met so far, so the cost stays linear in the page (logarithmic in the
// number of hotspot tags).
//
// Two inputs that the translators treat differently from a search that
// starts again at the top after every replacement: a code that only comes
// into being when an earlier code is cut out ("{li{link=a}nk=b}") stays
// text, and formatting tags that a link argument carries into its own anchor
// are not taken for hotspot tags. Neither is written by the editor.
//
// A link code that stands inside its hotspot's format (the jump's format set
// for the whole paragraph, or over the code too) still makes its link: the
// hotspot runs from the format's opening tag to the code. A link whose topic,
// ID or anchor exists nowhere leaves its text plain and goes to the broken
// links; it never becomes an anchor with an empty address.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

class TBrindlewovenProject;
class TBuildSelection;

// The page name (no extension) of every topic an export writes, free of
// collisions.
//
// Page names come from topic IDs lower-cased with the characters that file
// names cannot hold removed, so two IDs can give one name ("Intro" and
// "intro", "a:b" and "ab", an ID "bw12" and topic 12's automatic name, or the
// names the writers use themselves such as "cnt" and "idx"). Rather than let
// one page overwrite another, the topic that comes later in the topic list
// gets the automatic name "bw" + number (with "_2", "_3", ... in the rare
// case that name is taken too), and every link, contents entry, index entry,
// [FILES] and [MAP] line uses that name. Topics with automatic names keep
// theirs before anything else is given out.
class THtmlPageNames {
public:
    // The names of the topics in `topics`. `reserved`: names no page may take
    // (compared ignoring case).
    void Build(const TBrindlewovenProject& project, const TBuildSelection& topics,
               const TStringList& reserved = {});
    // Empty when the topic gets no page.
    std::string NameOf(std::int32_t number) const;
    bool Has(std::int32_t number) const { return names_.count(number) != 0; }

private:
    std::map<std::int32_t, std::string> names_;
};

// The page name of a topic number: from `names` when given, otherwise the
// topic's own HtmlFileName. Empty when there is no such page.
std::string HtmlPageOf(const TBrindlewovenProject& project, std::int32_t number,
                       const THtmlPageNames* names);

// "12" or "12 Title".
std::string HtmlTopicLabel(const TBrindlewovenTopic& topic);

// The picture or movie name of a "{bm"/"{flash=" code as it stands in HTML:
// tags taken out, character references undone, trimmed. Used both when the
// names are collected and when the codes are replaced, so both agree.
std::string PictureNameFromHtml(std::string_view raw);
// Adds every picture and movie name of the page to `names` (sorted, no
// duplicates ignoring case).
void CollectHtmlPictureNames(std::string_view html, TStringList& names);

// Translators. `html` is the whole page; `label` the topic label for the
// lines added to `brokenLinks` (may be empty). `pages` may be null (then each
// topic's HtmlFileName is used).
void ConvertLinkIdCodes(const TBrindlewovenProject& project, TStringList& brokenLinks,
                        const std::string& label, std::string& html, bool& popupFlag,
                        bool popupsAsScript, bool singlePage, bool noLinks,
                        const THtmlPageNames* pages = nullptr);
void ConvertTargetCodes(const TBrindlewovenProject& project, std::string& html,
                        const std::string& pageName, TStringList* targets);
void ConvertLinkCodes(const TBrindlewovenProject& project, TStringList& brokenLinks,
                      const std::string& label, std::string& html, bool noLinks,
                      const TStringList* targets);
void ConvertLinkTargetCodes(const TBrindlewovenProject& project, TStringList& brokenLinks,
                            const std::string& label, std::string& html, bool noLinks,
                            const TStringList* targets);
void ConvertLinkFileCodes(const TBrindlewovenProject& project, std::string& html, bool noLinks,
                          bool htmlHelpForm);
void ConvertButtonCodes(const TBrindlewovenProject& project, TStringList& brokenLinks,
                        const std::string& label, std::string& html, bool htmlHelpForm,
                        bool singlePage, bool noLinks, const THtmlPageNames* pages = nullptr);
void InsertImageCodes(const TBrindlewovenProject& project, std::string& html,
                      const TStringList& pictures, bool& popupFlag);

// The second conversion pass of a page in a multi-page output (HTML Help
// or web help): links, buttons and pictures, then the empty FONT tags are
// dropped and the popup script added where a popup was made. Empties `html`
// and returns the page's lines.
TStringList ConvertPageLinksAndPictures(const TBrindlewovenProject& project,
                                        TStringList& brokenLinks, const TBrindlewovenTopic& topic,
                                        std::string& html, const THtmlPageNames& pages,
                                        const TStringList& targets, const TStringList& pictures,
                                        bool popupsAsScript, bool htmlHelpForm);

// The value of the first "key=value" line whose key equals `key` (as given:
// callers pass lower-cased keys), or nothing.
bool LookupKeyValue(const TStringList& list, std::string_view key, std::string& value,
                    bool ignoreCase = false);

// Page lines joined with CR LF, and split again.
std::string JoinHtmlLines(const TStringList& lines);
TStringList SplitHtmlLines(const std::string& text);

} // namespace helpproject
