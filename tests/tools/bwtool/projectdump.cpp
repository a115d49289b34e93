#include "projectdump.h"

#include <cstdio>

namespace bwtool {

using namespace helpproject;

namespace {

std::string Visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 32 || c == 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

void Field(std::string& out, const char* name, const std::string& value) {
    out += name;
    out += '=';
    out += Visible(value);
    out += '\n';
}

void Field(std::string& out, const char* name, long long value) {
    Field(out, name, std::to_string(value));
}

void FieldBool(std::string& out, const char* name, bool value) {
    Field(out, name, value ? "TRUE" : "FALSE");
}

void List(std::string& out, const char* name, const TStringList& list) {
    out += "[" + std::string(name) + "] " + std::to_string(list.size()) + "\n";
    for (const auto& item : list)
        out += "  " + Visible(item) + "\n";
}

} // namespace

std::string DumpProject(const TBrindlewovenProject& p, const TTextStyleList& styles) {
    std::string out;
    out += "[options]\n";
    Field(out, "HelpFileKind", p.HelpFileKind);
    Field(out, "Compiler", static_cast<long long>(p.Compiler));
    Field(out, "Title", p.Title);
    Field(out, "BuildTags", p.BuildTags);
    Field(out, "Citation", p.Citation);
    Field(out, "Copyright", p.Copyright);
    FieldBool(out, "Compress", p.Compress);
    Field(out, "LocaleID", p.LocaleID);
    Field(out, "BitmapPaths", p.BitmapPaths);
    FieldBool(out, "CHeader", p.CHeader);
    Field(out, "OutputFolder", p.OutputFolder);
    FieldBool(out, "NoImages", p.NoImages);
    FieldBool(out, "HtmlPngImages", p.HtmlPngImages);
    Field(out, "HtmlBackgroundColor", p.HtmlBackgroundColor);
    Field(out, "HtmlTextColor", p.HtmlTextColor);
    Field(out, "HtmlLinkColor", p.HtmlLinkColor);
    Field(out, "HtmlVisitedColor", p.HtmlVisitedColor);
    Field(out, "HtmlActiveColor", p.HtmlActiveColor);
    FieldBool(out, "HtmlFullTextSearch", p.HtmlFullTextSearch);
    FieldBool(out, "HtmlAdvancedSearch", p.HtmlAdvancedSearch);
    FieldBool(out, "HtmlFavorites", p.HtmlFavorites);
    FieldBool(out, "HtmlCollapseContents", p.HtmlCollapseContents);
    Field(out, "WindowX", p.WindowX);
    Field(out, "WindowY", p.WindowY);
    Field(out, "WindowWidth", p.WindowWidth);
    Field(out, "WindowHeight", p.WindowHeight);
    FieldBool(out, "WindowRememberPos", p.WindowRememberPos);
    FieldBool(out, "HtmlPopupsAsLinks", p.HtmlPopupsAsLinks);
    Field(out, "WebFormat", p.WebFormat);
    FieldBool(out, "WebGifImages", p.WebGifImages);
    FieldBool(out, "WebFlag", p.WebFlag);
    Field(out, "WebContentsLabel", p.WebContentsLabel);
    Field(out, "WebContentsTitle", p.WebContentsTitle);
    Field(out, "WebIndexLabel", p.WebIndexLabel);
    Field(out, "WebIndexTitle", p.WebIndexTitle);
    Field(out, "WebPreviousLabel", p.WebPreviousLabel);
    Field(out, "WebNextLabel", p.WebNextLabel);
    FieldBool(out, "WebUseBuildTags", p.WebUseBuildTags);
    Field(out, "WebOutputFile", p.WebOutputFile);
    List(out, "config", p.Config);
    List(out, "baggage", p.Baggage);
    out += "[topics] " + std::to_string(p.Topics().size()) + "\n";
    for (const auto& t : p.Topics()) {
        out += "[topic " + std::to_string(t->Number) + "]\n";
        Field(out, "TopicID", t->TopicID);
        Field(out, "Title", t->Title);
        Field(out, "KKeywords", t->KKeywords);
        Field(out, "AKeywords", t->AKeywords);
        Field(out, "BKeywords", t->BKeywords);
        Field(out, "BuildTag", t->BuildTag);
        Field(out, "BrowseSequence", t->BrowseSequence);
        Field(out, "Status", t->Status);
        Field(out, "Window", t->Window);
        Field(out, "EntryMacro", t->EntryMacro);
        FieldBool(out, "Bookmark", t->Bookmark);
        List(out, "text", t->Text);
    }
    List(out, "windows", p.Windows);
    List(out, "contents-indexes", p.ContentsIndexes);
    List(out, "contents-links", p.ContentsLinks);
    List(out, "contents", p.ContentsLines);
    out += "[styles] " + std::to_string(styles.Count()) + "\n";
    for (const auto& item : styles.Items()) {
        const TTextStyleMacro& s = *item.Style;
        out += "[style " + Visible(item.Name) + "]\n";
        Field(out, "FontColor", s.Font.Color);
        Field(out, "FontName", s.Font.Name);
        Field(out, "FontPitch", s.Font.Pitch);
        Field(out, "FontSize", s.Font.Size);
        Field(out, "FontCharset", s.Font.Charset);
        Field(out, "FontStyle", s.FontStyleText());
        Field(out, "Alignment", s.Alignment);
        Field(out, "Numbering", s.Numbering);
        Field(out, "FirstIndent", s.FirstIndent);
        Field(out, "LeftIndent", s.LeftIndent);
        Field(out, "RightIndent", s.RightIndent);
        std::string tabs;
        for (std::int32_t i = 0; i < s.TabCount; ++i)
            tabs += (i ? "," : "") + std::to_string(s.Tabs[static_cast<std::size_t>(i)]);
        Field(out, "Tabs", tabs);
    }
    return out;
}

} // namespace bwtool
