// Loading and saving the project file.
#include "helpproject/projectfile.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/helpfilekind.h"
#include "helpproject/helputils.h"
#include "helpproject/projectfilelines.h"
#include "platform/fileio.h"

namespace helpproject {

namespace {

constexpr const char* kOldLocale = "0x0409   English (U.S.)";

std::string FolderOf(const std::string& fileName) {
    std::size_t cut = fileName.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : fileName.substr(0, cut + 1);
}

std::unique_ptr<TBrindlewovenTopic> ReadTopic(TProjectFileReader& in, int version) {
    auto topic = std::make_unique<TBrindlewovenTopic>(0, std::string());
    topic->Number = in.ReadInteger();
    topic->TopicID = in.ReadLine();
    topic->Title = in.ReadLine();
    topic->KKeywords = in.ReadLine();
    topic->BKeywords = in.ReadLine();
    topic->BuildTag = in.ReadLine();
    topic->BrowseSequence = in.ReadLine();
    topic->Status = in.ReadLine();
    topic->Window = in.ReadLine();
    topic->EntryMacro = in.ReadLine();
    if (version >= 3)
        topic->AKeywords = in.ReadLine();
    topic->Bookmark = in.ReadBoolean();
    in.ReadStrings(topic->Text);
    return topic;
}

void WriteTopic(TProjectFileWriter& out, const TBrindlewovenTopic& topic) {
    out.WriteInteger(topic.Number);
    for (const std::string* field :
         {&topic.TopicID, &topic.Title, &topic.KKeywords, &topic.BKeywords, &topic.BuildTag,
          &topic.BrowseSequence, &topic.Status, &topic.Window, &topic.EntryMacro, &topic.AKeywords})
        out.WriteLine(StripControlChars(*field));
    out.WriteBoolean(topic.Bookmark);
    out.WriteStrings(topic.Text);
}

} // namespace

void TBrindlewovenProject::LoadFromBytes(const std::string& bytes, const std::string& fileName,
                                         TTextStyleList* styles) {
    TProjectFileReader in(bytes, fileName);
    if (in.AtEnd() || in.ReadLine() != kProjectFileMagic)
        throw EProjectError(fileName + " is not a Brindlewoven project file");
    // The version is read as a full number: a byte would take 272 for 16.
    const std::int32_t version = in.ReadInteger();
    if (version > kProjectFileVersion)
        throw EProjectError(fileName +
                            " was created with a newer version of Brindlewoven.\rPlease use "
                            "that version to edit the project");
    if (version < 1)
        throw EProjectError(fileName + " has the unknown project file version " +
                            std::to_string(version));

    if (version >= 5)
        in.ReadLine(); // "..."
    if (version <= 3)
        HelpFileKind = in.ReadBoolean() ? DelphiHelpKind(2) : kRegularHelp;
    else
        HelpFileKind = in.ReadInteger();
    Compiler = static_cast<THelpCompiler>(in.ReadInteger());
    Title = in.ReadLine();
    BuildTags = in.ReadLine();
    Citation = in.ReadLine();
    Copyright = in.ReadLine();
    Compress = in.ReadBoolean();
    LocaleID = version >= 7 ? in.ReadLine() : std::string(kOldLocale);
    BitmapPaths = in.ReadLine();
    in.ReadStrings(Config);
    in.ReadStrings(Baggage);
    CHeader = version >= 6 ? in.ReadBoolean() : false;
    if (version >= 9) {
        OutputFolder = in.ReadLine();
        NoImages = in.ReadBoolean();
    } else {
        OutputFolder = FolderOf(fileName);
        NoImages = false;
    }
    if (version >= 11) {
        HtmlPngImages = in.ReadBoolean();
        HtmlBackgroundColor = in.ReadInteger();
        HtmlTextColor = in.ReadInteger();
        HtmlLinkColor = in.ReadInteger();
        HtmlVisitedColor = in.ReadInteger();
        HtmlActiveColor = in.ReadInteger();
    }
    if (version >= 12) {
        HtmlFullTextSearch = in.ReadBoolean();
        HtmlAdvancedSearch = in.ReadBoolean();
        HtmlFavorites = in.ReadBoolean();
    }
    if (version >= 14)
        HtmlCollapseContents = in.ReadBoolean();
    if (version >= 15) {
        WindowX = in.ReadInteger();
        WindowY = in.ReadInteger();
        WindowWidth = in.ReadInteger();
        WindowHeight = in.ReadInteger();
        WindowRememberPos = in.ReadBoolean();
    }
    if (version >= 16)
        HtmlPopupsAsLinks = in.ReadBoolean();
    if (version >= 13) {
        WebFormat = static_cast<std::uint8_t>(in.ReadInteger());
        WebGifImages = in.ReadBoolean();
        WebFlag = in.ReadBoolean();
        WebContentsLabel = in.ReadLine();
        WebContentsTitle = in.ReadLine();
        WebIndexLabel = in.ReadLine();
        WebIndexTitle = in.ReadLine();
        WebPreviousLabel = in.ReadLine();
        WebNextLabel = in.ReadLine();
        WebUseBuildTags = in.ReadBoolean();
        WebOutputFile = in.ReadLine();
    }

    const std::int32_t topicCount = in.ReadCount();
    std::vector<std::unique_ptr<TBrindlewovenTopic>> topics;
    topics.reserve(static_cast<std::size_t>(std::min(topicCount, 4096)));
    for (std::int32_t i = 0; i < topicCount; ++i)
        topics.push_back(ReadTopic(in, version));
    // The topic list must be in number order with unique numbers; a file
    // edited by hand may hold them in any order.
    std::stable_sort(topics.begin(), topics.end(),
                     [](const auto& a, const auto& b) { return a->Number < b->Number; });
    for (std::size_t i = 1; i < topics.size(); ++i)
        if (topics[i]->Number == topics[i - 1]->Number)
            throw EProjectError(fileName + " holds topic number " +
                                std::to_string(topics[i]->Number) + " more than once");

    in.ReadStrings(Windows);
    in.ReadStrings(ContentsIndexes);
    in.ReadStrings(ContentsLinks);
    in.ReadStrings(ContentsLines);

    std::vector<std::pair<std::string, TTextStyleMacro>> readStyles;
    const std::int32_t styleCount = in.ReadCount();
    for (std::int32_t i = 0; i < styleCount; ++i) {
        std::string name = in.ReadLine();
        TTextStyleMacro style;
        style.ReadFromText(in, version);
        readStyles.emplace_back(std::move(name), std::move(style));
    }

    // Everything is read: only now does anything outside this project change.
    topics_ = std::move(topics);
    RebuildTopicLists();
    if (styles) {
        styles->Clear();
        for (const auto& [name, style] : readStyles)
            styles->Add(name, style);
    }
    FileName = fileName;
    RebuildSortedView();
}

void TBrindlewovenProject::LoadFromFile(const std::string& fileName, TTextStyleList* styles) {
    RemoveLeftoverSaveFiles(fileName);
    const std::string bytes = ReadProjectFileBytes(fileName);
    LoadFromBytes(bytes, fileName, styles);
}

void TBrindlewovenProject::RemoveLeftoverSaveFiles(const std::string& fileName) {
    // A save that is writing now changed its file within this margin and
    // holds its lock; anything older and unlocked is what a killed save left.
    constexpr auto kMargin = std::chrono::seconds(2);
    try {
        platform::RemoveStaleTempFiles(platform::SaveTargetOf(fileName),
                                       std::filesystem::file_time_type::clock::now() - kMargin);
    } catch (const std::exception&) {
        // Leftovers that cannot be removed never stop a load.
    }
}

std::unique_ptr<TBrindlewovenProject> TBrindlewovenProject::Load(const std::string& fileName,
                                                                 TTextStyleList* styles) {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->LoadFromFile(fileName, styles);
    return project;
}

std::string TBrindlewovenProject::SaveToBytes(const TTextStyleList* styles) const {
    std::string bytes;
    std::size_t estimate = 4096;
    for (const auto& topic : topics_)
        for (const auto& line : topic->Text)
            estimate += line.size() + 2;
    bytes.reserve(estimate);
    TProjectFileWriter out(bytes);
    out.WriteLine(kProjectFileMagic);
    out.WriteInteger(kProjectFileVersion);
    out.WriteLine("...");
    out.WriteInteger(HelpFileKind);
    out.WriteInteger(static_cast<std::int32_t>(Compiler));
    out.WriteLine(Title);
    out.WriteLine(BuildTags);
    out.WriteLine(Citation);
    out.WriteLine(Copyright);
    out.WriteBoolean(Compress);
    out.WriteLine(LocaleID);
    out.WriteLine(BitmapPaths);
    out.WriteStrings(Config);
    out.WriteStrings(Baggage);
    out.WriteBoolean(CHeader);
    out.WriteLine(OutputFolder);
    out.WriteBoolean(NoImages);
    out.WriteBoolean(HtmlPngImages);
    out.WriteInteger(HtmlBackgroundColor);
    out.WriteInteger(HtmlTextColor);
    out.WriteInteger(HtmlLinkColor);
    out.WriteInteger(HtmlVisitedColor);
    out.WriteInteger(HtmlActiveColor);
    out.WriteBoolean(HtmlFullTextSearch);
    out.WriteBoolean(HtmlAdvancedSearch);
    out.WriteBoolean(HtmlFavorites);
    out.WriteBoolean(HtmlCollapseContents);
    out.WriteInteger(WindowX);
    out.WriteInteger(WindowY);
    out.WriteInteger(WindowWidth);
    out.WriteInteger(WindowHeight);
    out.WriteBoolean(WindowRememberPos);
    out.WriteBoolean(HtmlPopupsAsLinks);
    out.WriteInteger(WebFormat);
    out.WriteBoolean(WebGifImages);
    out.WriteBoolean(WebFlag);
    out.WriteLine(WebContentsLabel);
    out.WriteLine(WebContentsTitle);
    out.WriteLine(WebIndexLabel);
    out.WriteLine(WebIndexTitle);
    out.WriteLine(WebPreviousLabel);
    out.WriteLine(WebNextLabel);
    out.WriteBoolean(WebUseBuildTags);
    out.WriteLine(WebOutputFile);
    out.WriteInteger(static_cast<std::int64_t>(topics_.size()));
    for (const auto& topic : topics_)
        WriteTopic(out, *topic);
    out.WriteStrings(Windows);
    out.WriteStrings(ContentsIndexes);
    out.WriteStrings(ContentsLinks);
    out.WriteStrings(ContentsLines);
    if (!styles) {
        out.WriteInteger(0);
    } else {
        out.WriteInteger(static_cast<std::int64_t>(styles->Count()));
        for (const auto& item : styles->Items()) {
            out.WriteLine(item.Name);
            item.Style->WriteToText(out);
        }
    }
    return bytes;
}

void TBrindlewovenProject::SaveToFile(const std::string& fileName, const TTextStyleList* styles) {
    const std::string bytes = SaveToBytes(styles);
    try {
        // Through a link the save goes to the link's target, and the link
        // stays.
        platform::WriteFileAtomic(platform::SaveTargetOf(fileName), bytes);
    } catch (const std::exception& e) {
        throw EProjectError(e.what());
    }
    FileName = fileName;
}

} // namespace helpproject
