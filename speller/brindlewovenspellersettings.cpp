#include "speller/brindlewovenspellersettings.h"

namespace speller {

const std::vector<std::string>& BrindlewovenAcceptedWords() {
    static const std::vector<std::string> words = {
        "avi",        "bmp",          "chm",      "dll",        "DOS",       "exe",
        "gif",        "HelpContext",  "hlp",      "hotspot",    "hypertext", "IDs",
        "mailto",     "pard",         "png",      "popup",      "shg",       "VCL",
        "wav",        "WinHelp",      "WMF",      "Alt",        "Ctrl",      "email",
        "e-mail",     "EUR",          "euro",     "FAQ",        "freeware",  "FTP",
        "htm",        "HTML",         "Internet", "shareware",  "URL",       "USD",
        "WWW",        "applet",       "bitmap",   "bitmaps",    "bookmark",  "bookmarked",
        "bookmarks",  "browsed",      "browser",  "browsers",   "CD",        "checkbox",
        "checkboxes", "decompressed", "download", "downloaded", "fax",       "gizmo",
        "pixels",     "recompile",    "redo",     "resize",     "resizing",  "ROM",
        "toolbar",    "toolbars",     "unindent"};
    return words;
}

void ApplyBrindlewovenSettings(TVXSpeller& speller) {
    speller.SetSelBehavior(TSelBehavior::sbAvoidUpDown);
    speller.SetOptions(soUpcase | soNumbers | soInternet | soAutoSuggest | soRecheck | soRepeated);
    for (const std::string& word : BrindlewovenAcceptedWords())
        speller.AddAlwaysIgnore(word);
}

} // namespace speller
