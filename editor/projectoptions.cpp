#include "editor/projectoptions.h"

#include <algorithm>

#include "components/rtf/stringlisttransfer.h"
#include "helpproject/helputils.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"

namespace editor {

using helpproject::TBrindlewovenProject;

namespace {

std::vector<std::string> SplitBuildTags(const std::string& text) {
    std::vector<std::string> tags;
    for (const std::string& raw : helpproject::SplitDelimited(text, ';'))
        if (std::string tag = platform::Trim(raw); !tag.empty())
            tags.push_back(std::move(tag));
    return tags;
}

std::string JoinBuildTags(const std::vector<std::string>& tags) {
    std::string text;
    for (const std::string& tag : tags)
        text += (text.empty() ? "" : ";") + tag;
    return text;
}

helpproject::TStringList WithoutEmptyLines(const std::vector<std::string>& lines) {
    helpproject::TStringList kept;
    for (const std::string& line : lines)
        if (!line.empty())
            kept.push_back(line);
    return kept;
}

std::vector<std::string> ListLines(const std::string& text) {
    std::vector<std::string> lines = rtf::SplitLines(text);
    lines.erase(std::remove(lines.begin(), lines.end(), std::string()), lines.end());
    return lines;
}

} // namespace

TCompilerLists CompilerListsFromPaths(const helpproject::TCompilerPaths& paths) {
    return {ListLines(paths.HC31), ListLines(paths.HC95), ListLines(paths.HCHTML)};
}

void StoreCompilerLists(const TCompilerLists& lists, helpproject::TCompilerPaths& paths) {
    paths.HC31 = rtf::JoinLines(lists.WinHelp16);
    paths.HC95 = rtf::JoinLines(lists.WinHelp32);
    paths.HCHTML = rtf::JoinLines(lists.HtmlHelp);
}

const std::vector<std::int32_t>& HelpFileKindTable() {
    static const std::vector<std::int32_t> kinds = {0,   16,  32,  48,  64,  80, 96,
                                                    112, 272, 304, 320, 336, 352};
    return kinds;
}

int HelpFileKindIndex(std::int32_t kind) {
    const auto& kinds = HelpFileKindTable();
    const auto at = std::find(kinds.begin(), kinds.end(), kind);
    return at == kinds.end() ? 0 : static_cast<int>(at - kinds.begin());
}

TProjectOptionsValues OptionsFromProject(const TBrindlewovenProject& project,
                                         const helpproject::TCompilerPaths& paths,
                                         const TCompilerLists& lists,
                                         const TEditorSettings& settings) {
    TProjectOptionsValues v;
    v.Title = project.Title;
    v.Copyright = project.Copyright;
    v.LocaleID = project.LocaleID;
    v.BitmapPaths = project.BitmapPaths;
    v.Settings = settings;
    v.OutputFolder = project.OutputFolder;
    v.BuildTags = SplitBuildTags(project.BuildTags);
    v.CompilerRadio =
        IsWinHelp(project.Compiler) ? project.Compiler : helpproject::THelpCompiler::HtmlHelp;
    v.HC31Path = paths.HC31Sel;
    v.HC95Path = paths.HC95Sel;
    v.HCHTMLPath = paths.HCHTMLSel;
    v.HC31Items = lists.WinHelp16;
    v.HC95Items = lists.WinHelp32;
    v.HCHTMLItems = lists.HtmlHelp;
    v.CHeader = project.CHeader;
    v.KindIndex = HelpFileKindIndex(project.HelpFileKind);
    v.Config.assign(project.Config.begin(), project.Config.end());
    v.Baggage.assign(project.Baggage.begin(), project.Baggage.end());
    v.Citation = project.Citation;
    v.Compress = project.Compress;
    v.NoImages = project.NoImages;
    v.PngImages = project.HtmlPngImages;
    v.Background = project.HtmlBackgroundColor;
    v.Text = project.HtmlTextColor;
    v.Links = project.HtmlLinkColor;
    v.Visited = project.HtmlVisitedColor;
    v.Active = project.HtmlActiveColor;
    v.FullTextSearch = project.HtmlFullTextSearch;
    v.AdvancedSearch = project.HtmlAdvancedSearch;
    v.Favorites = project.HtmlFavorites;
    v.CollapseContents = project.HtmlCollapseContents;
    v.X = project.WindowX;
    v.Y = project.WindowY;
    v.Width = project.WindowWidth;
    v.Height = project.WindowHeight;
    v.RememberPosition = project.WindowRememberPos;
    v.PopupsAsLinks = project.HtmlPopupsAsLinks;
    return v;
}

void ApplyOptionsToProject(const TProjectOptionsValues& v, TBrindlewovenProject& project,
                           helpproject::TCompilerPaths& paths, TEditorSettings& settings) {
    project.Title = v.Title;
    project.Copyright = v.Copyright;
    project.LocaleID = v.LocaleID;
    project.BitmapPaths = v.BitmapPaths;
    settings = v.Settings;
    project.Compiler = v.CompilerRadio;
    paths.HC31Sel = v.HC31Path;
    paths.HC95Sel = v.HC95Path;
    paths.HCHTMLSel = v.HCHTMLPath;
    project.OutputFolder =
        v.OutputFolder.empty() ? std::string() : platform::IncludeTrailingSeparator(v.OutputFolder);
    project.CHeader = v.CHeader;
    project.BuildTags = JoinBuildTags(v.BuildTags);
    const auto& kinds = HelpFileKindTable();
    project.HelpFileKind =
        kinds[static_cast<std::size_t>(std::clamp(v.KindIndex, 0, int(kinds.size()) - 1))];
    project.Config = WithoutEmptyLines(v.Config);
    project.Baggage = WithoutEmptyLines(v.Baggage);
    project.Compress = v.Compress;
    project.NoImages = v.NoImages;
    project.Citation = v.Citation;
    project.HtmlPngImages = v.PngImages;
    project.HtmlBackgroundColor = v.Background;
    project.HtmlTextColor = v.Text;
    project.HtmlLinkColor = v.Links;
    project.HtmlVisitedColor = v.Visited;
    project.HtmlActiveColor = v.Active;
    project.HtmlFullTextSearch = v.FullTextSearch;
    project.HtmlAdvancedSearch = v.AdvancedSearch;
    project.HtmlFavorites = v.Favorites;
    project.HtmlCollapseContents = v.CollapseContents;
    project.WindowX = v.X;
    project.WindowY = v.Y;
    project.WindowWidth = v.Width;
    project.WindowHeight = v.Height;
    project.WindowRememberPos = v.RememberPosition;
    project.HtmlPopupsAsLinks = v.PopupsAsLinks;
}

} // namespace editor
