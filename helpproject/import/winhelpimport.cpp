#include "helpproject/import/winhelpimport.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "components/rtf/rtfedit.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtftokenizer.h"
#include "components/rtf/stringlisttransfer.h"
#include "helpproject/bitmapfolders.h"
#include "helpproject/helputils.h"
#include "helpproject/import/contentsimport.h"
#include "helpproject/import/hotspotconversion.h"
#include "helpproject/import/hpjfile.h"
#include "helpproject/import/importedpage.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/locale.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

// ---- files named by the project -----------------------------------------------

// Where an RTF file of [FILES] is: below one of the ROOT folders, else from
// the .hpj folder, else (a project moved from elsewhere) its name in the
// .hpj folder. None there stops the import with every place it looked.
fs::path LocateTopicFile(const std::string& name, const std::vector<fs::path>& roots,
                         const fs::path& hpjFolder) {
    std::vector<fs::path> folders = roots;
    folders.push_back(hpjFolder);
    const std::vector<fs::path> candidates = HpjFileCandidates(name, folders, hpjFolder);
    for (const fs::path& path : candidates) {
        std::error_code ec;
        if (fs::exists(path, ec))
            return path; // reading it reports what else is wrong
    }
    std::string message = "Cannot find the topic file \"" + name + "\" of [FILES].";
    if (candidates.empty())
        message += "\rIts drive is not mapped.";
    else
        message += "\rLooked for:";
    for (const fs::path& path : candidates)
        message += "\r" + path.string();
    throw EProjectError(message);
}

// The contents file: the first that exists of the "CNT" option's file, the
// same name in the .hpj folder, and the .hpj path with ".cnt".
std::optional<fs::path> LocateContentsFile(const fs::path& hpjPath, const std::string& cntOption) {
    std::vector<fs::path> candidates;
    if (!TrimText(cntOption).empty())
        candidates = HpjFileCandidates(cntOption, {hpjPath.parent_path()}, hpjPath.parent_path());
    candidates.push_back(fs::path(hpjPath).replace_extension(".cnt"));
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        if (fs::exists(candidate, ec))
            return candidate;
    }
    return std::nullopt;
}

// ---- the .hpj ----------------------------------------------------------------------

void TakeOptions(TBrindlewovenProject& project, const THpjFile& hpj) {
    if (auto value = hpj.Option("Title"))
        project.Title = *value;
    if (auto value = hpj.Option("Build"))
        project.BuildTags = *value;
    if (auto value = hpj.Option("Citation"))
        project.Citation = *value;
    if (auto value = hpj.Option("Copyright"))
        project.Copyright = *value;
    if (auto value = hpj.Option("Compress"))
        project.Compress = ReadHpjCompress(*value, project.Compress);
    const std::vector<std::string> bitmapRoots = hpj.OptionValues("BMRoot");
    if (!bitmapRoots.empty()) {
        project.BitmapPaths.clear();
        for (const std::string& roots : bitmapRoots)
            for (const std::string& folder : BitmapFolderEntries(roots, ",;"))
                AddBitmapFolder(project.BitmapPaths, folder);
    }
    // "LCID=0x419 0x0 0x0": the locale, then sorting flags.
    if (auto value = hpj.Option("LCID"))
        if (const std::optional<std::uint32_t> lcid = platform::ParseLocaleOption(*value))
            project.LocaleID = platform::LocaleOptionText(*lcid);
}

// Without an LCID option, the locale of the first topic file's text when
// it is written in another code page than the program's own Windows-1252
// (which a project without a locale is taken to be in): its language when
// that fits the code page, else the language the code page was made for.
std::optional<std::string> LocaleOfDocument(const rtf::RtfHeader& header) {
    constexpr int kProgramCodePage = 1252;
    std::optional<int> codePage = header.codePage;
    if (!codePage && header.defaultFont)
        if (const rtf::FontEntry* font = header.FindFont(*header.defaultFont))
            codePage = platform::AnsiCodePageForCharset(font->charset < 0 ? 0 : font->charset);
    if (!codePage || *codePage == kProgramCodePage)
        return std::nullopt;
    if (header.language && *header.language > 0 &&
        platform::AnsiCodePageForLocale(static_cast<std::uint32_t>(*header.language)) == *codePage)
        return platform::LocaleOptionText(static_cast<std::uint32_t>(*header.language));
    if (const std::optional<std::uint32_t> lcid = platform::LocaleForAnsiCodePage(*codePage))
        return platform::LocaleOptionText(*lcid);
    return std::nullopt;
}

// [CONFIG], [BAGGAGE] and [WINDOWS] replace the project's lists only when
// the .hpj has them.
void TakeSections(TBrindlewovenProject& project, const THpjFile& hpj) {
    if (hpj.HasConfig)
        project.Config = hpj.Config;
    if (hpj.HasBaggage)
        project.Baggage = hpj.Baggage;
    if (hpj.HasWindows)
        project.Windows = hpj.Windows;
    if (!hpj.HasFiles)
        throw EProjectError("[FILES] section missing in HPJ file");
}

// ---- topic files --------------------------------------------------------------------

// Refuses nesting the RTF engine refuses, before pages are cut.
void CheckNesting(std::string_view document) {
    rtf::Lexer lexer(document);
    rtf::Token token;
    while (lexer.Next(token)) {
    }
    if (!lexer.Error().empty())
        throw EProjectError("Invalid RTF file.\r" + lexer.Error());
}

// The topic file's document: from "{\rtf" to its closing brace, or to the
// end of a file cut short.
std::string_view DocumentOf(std::string_view bytes, bool& closed) {
    const std::size_t docStart = bytes.find("{\\rtf");
    if (docStart == std::string_view::npos)
        throw EProjectError("Invalid RTF file.\r(/rtf not found)");
    const std::size_t closing = rtf::MatchingBrace(bytes, docStart);
    closed = closing != std::string_view::npos;
    const std::size_t docEnd = closed ? closing + 1 : bytes.size();
    return bytes.substr(docStart, docEnd - docStart);
}

// The document after its header groups, without its closing brace.
std::string_view BodyOf(std::string_view document, const rtf::RtfHeader& header, bool closed) {
    const std::size_t bodyEnd = closed ? document.size() - 1 : document.size();
    const std::string_view body =
        header.bodyOffset < bodyEnd
            ? document.substr(header.bodyOffset, bodyEnd - header.bodyOffset)
            : std::string_view();
    if (TrimText(body).empty())
        throw EProjectError("RTF file seems to be empty");
    return body;
}

// One import of topics into a project: the numbers given so far and the
// topics added, which the hotspot conversion then rewrites.
class TTopicImport {
public:
    TTopicImport(TBrindlewovenProject& project, const THpjFile& hpj,
                 components::IMessenger* messenger)
        : project_(project), hpj_(hpj), messenger_(messenger) {
        // An [ALIAS] of a mapped ID gives its number to the topic it answers
        // as, unless that topic is mapped itself; the first line wins.
        for (const auto& [alias, target] : hpj_.AliasLines)
            if (const std::optional<std::int32_t> number = hpj_.MappedNumber(alias))
                aliasNumbers_.emplace(platform::AnsiLowerCase(hpj_.AliasTarget(alias)), *number);
    }

    void ImportTopicFile(const fs::path& file) {
        const std::string bytes = platform::ReadRegularFile(file, kMaxTopicFileBytes);
        bool closed = false;
        const std::string_view document = DocumentOf(bytes, closed);
        CheckNesting(document);
        const rtf::RtfHeader header = rtf::ReadHeader(document);
        const std::string_view body = BodyOf(document, header, closed);
        if (!localeTaken_) {
            localeTaken_ = true;
            if (project_.LocaleID.empty() && !hpj_.Option("LCID"))
                project_.LocaleID = LocaleOfDocument(header).value_or("");
        }
        const std::string topicHeader = ImportedTopicHeader(header);
        const std::vector<std::string_view> pages = rtf::SplitAtPage(body);
        components::TProgressScope stage(messenger_, "Reading topics from RTF file...",
                                         static_cast<std::int64_t>(pages.size()));
        std::int64_t position = 0;
        for (std::string_view page : pages) {
            components::CheckAbort(messenger_, position++, std::string(kImportAborted));
            AddTopic(ReadImportedPage(page), topicHeader);
        }
    }

    // Once every topic is known: the contents topic first, then the
    // hotspots. `polled` shows the stage and polls for the user's abort;
    // after a failure the topics read are finished without either.
    void Finish(bool polled) {
        PutContentsTopicFirst();
        for (const auto& topic : project_.Topics())
            lookup_.ids.emplace(platform::AnsiLowerCase(topic->TopicID), topic->Number);
        for (const auto& [alias, target] : hpj_.AliasLines) {
            const auto found = lookup_.ids.find(platform::AnsiLowerCase(hpj_.AliasTarget(alias)));
            if (found != lookup_.ids.end())
                lookup_.ids.emplace(platform::AnsiLowerCase(alias), found->second);
        }
        components::IMessenger* messenger = polled ? messenger_ : nullptr;
        components::TProgressScope stage(messenger, "Converting topics to Brindlewoven format...",
                                         static_cast<std::int64_t>(imported_.size()));
        std::int64_t position = 0;
        for (TBrindlewovenTopic* topic : imported_) {
            components::CheckAbort(messenger, position++, std::string(kImportAborted));
            try {
                topic->SetText(rtf::SplitLines(
                    helpproject::ConvertHotspots(rtf::JoinLines(topic->Text), lookup_)));
            } catch (const std::exception&) {
                throw EBrindlewoven("Error converting topic #" + std::to_string(topic->Number),
                                    topic->Number);
            }
        }
    }

    TWinHelpImportResult Result() const { return result_; }
    const TStringList& Warnings() const { return warnings_; }

private:
    // The number given by [MAP], or through an [ALIAS] that answers as `id`.
    std::optional<std::int32_t> MapNumber(const std::string& id) const {
        if (const std::optional<std::int32_t> mapped = hpj_.MappedNumber(id))
            return mapped;
        const auto alias = aliasNumbers_.find(platform::AnsiLowerCase(id));
        if (alias == aliasNumbers_.end())
            return std::nullopt;
        return alias->second;
    }

    // The number: from [MAP] (a topic holding it moves to the next free
    // number above), else the next free one from 10 after the last number.
    std::int32_t NumberFor(const std::string& id) {
        std::int32_t number = 0;
        if (const std::optional<std::int32_t> mapped = MapNumber(id)) {
            number = *mapped;
            if (TBrindlewovenTopic* holder = project_.FindTopic(number)) {
                const std::int32_t moveTo =
                    project_.FirstFreeNumber(TBrindlewovenProject::IncreasedTopicNumber(number, 1));
                project_.ChangeTopicNumber(number, moveTo);
                if (!importedSet_.count(holder))
                    project_.RenumberTopicLinks(number, moveTo);
            }
        } else {
            number = NextNumber();
        }
        lastNumber_ = std::max(lastNumber_, number);
        return number;
    }

    std::int32_t NextNumber() const {
        return project_.FirstFreeNumber(
            TBrindlewovenProject::IncreasedTopicNumber(lastNumber_, 10));
    }

    // The pages open on the project's first topic, the one with the lowest
    // number: the topic CONTENTS= names becomes it. A topic numbered in
    // turn takes a number below the first one; one that [MAP] numbers keeps
    // its number, and the topics numbered in turn below it move above the
    // last number.
    void PutContentsTopicFirst() {
        const std::optional<std::string> option = hpj_.Option("Contents");
        if (!option || TrimText(*option).empty() || project_.Topics().empty())
            return;
        const std::string id = platform::AnsiLowerCase(hpj_.AliasTarget(TrimText(*option)));
        TBrindlewovenTopic* contents = nullptr;
        for (TBrindlewovenTopic* topic : imported_)
            if (platform::AnsiLowerCase(topic->TopicID) == id)
                contents = topic;
        TBrindlewovenTopic* first = project_.Topics().front().get();
        if (!contents || contents == first)
            return;
        if (!MapNumber(contents->TopicID) && first->Number > 1) {
            project_.ChangeTopicNumber(contents->Number,
                                       first->Number > 10 ? 10 : first->Number - 1);
            return;
        }
        for (TBrindlewovenTopic* topic : imported_) {
            if (topic->Number >= contents->Number || MapNumber(topic->TopicID))
                continue;
            const std::int32_t moveTo = NextNumber();
            project_.ChangeTopicNumber(topic->Number, moveTo);
            lastNumber_ = moveTo;
        }
        first = project_.Topics().front().get();
        if (first != contents)
            warnings_.push_back("The contents topic \"" + contents->TopicID +
                                "\" keeps its number " + std::to_string(contents->Number) +
                                "; the pages open on topic " + std::to_string(first->Number) +
                                ", which is numbered below it.");
    }

    void AddTopic(const TImportedPage& page, const std::string& topicHeader) {
        if (!page.HasID) {
            ++result_.PagesWithoutID;
            return;
        }
        TBrindlewovenTopic* topic = project_.AddTopic(NumberFor(page.ID), page.Title);
        topic->TopicID = page.ID;
        topic->KKeywords = page.KKeywords;
        topic->BKeywords = page.BKeywords;
        topic->BrowseSequence = page.BrowseSequence;
        topic->BuildTag = page.BuildTag;
        topic->Status = "Imported";
        topic->Window = page.Window;
        topic->EntryMacro = page.EntryMacro;
        topic->AKeywords = page.AKeywords;
        topic->SetText(rtf::SplitLines(topicHeader + "\r\n" + page.Body));
        imported_.push_back(topic);
        importedSet_.insert(topic);
        for (const std::string& target : page.Targets)
            lookup_.targets.insert(platform::AnsiLowerCase(target));
        ++result_.TopicsImported;
    }

    TBrindlewovenProject& project_;
    const THpjFile& hpj_;
    components::IMessenger* messenger_;
    TWinHelpImportResult result_;
    TStringList warnings_;
    std::int32_t lastNumber_ = 0;
    bool localeTaken_ = false;
    std::unordered_map<std::string, std::int32_t> aliasNumbers_; // lower-cased ID -> number
    std::vector<TBrindlewovenTopic*> imported_;
    std::unordered_set<const TBrindlewovenTopic*> importedSet_;
    TLinkLookup lookup_;
};

// A contents file that cannot be imported is shown; the import goes on.
void ImportContents(TBrindlewovenProject& project, const fs::path& hpjPath, const THpjFile& hpj,
                    components::IMessenger* messenger) {
    const std::optional<fs::path> file =
        LocateContentsFile(hpjPath, hpj.Option("CNT").value_or(""));
    if (!file)
        return;
    const std::string problem = ImportContentsFile(project, *file, messenger);
    if (!problem.empty() && messenger)
        messenger->ShowMessage(components::TMessageKind::Error, std::string(), problem);
}

// What the import left out without stopping: the person may want to know,
// nothing waits for an answer.
void ShowWarnings(const TStringList& warnings, components::IMessenger* messenger) {
    if (messenger)
        for (const std::string& warning : warnings)
            messenger->Warning(warning);
}

} // namespace

TWinHelpImportResult ImportWinHelpProject(TBrindlewovenProject& project,
                                          const std::string& hpjFileName,
                                          components::IMessenger* messenger) {
    const fs::path hpjPath = platform::resolvePath(hpjFileName);
    const THpjFile hpj = ReadHpjFile(hpjPath);
    TakeOptions(project, hpj);
    TakeSections(project, hpj);
    const std::vector<fs::path> roots = HpjRootFolders(hpj, hpjPath.parent_path());
    TTopicImport topics(project, hpj, messenger);
    try {
        for (const std::string& fileName : hpj.Files)
            topics.ImportTopicFile(LocateTopicFile(fileName, roots, hpjPath.parent_path()));
    } catch (...) {
        // The import ends here. The topics read so far stay, finished as
        // after a whole import, so that they can be edited and made.
        try {
            topics.Finish(false);
        } catch (const std::exception&) {
            // The first fault is the one to report.
        }
        TStringList warnings = hpj.Warnings;
        warnings.insert(warnings.end(), topics.Warnings().begin(), topics.Warnings().end());
        ShowWarnings(warnings, messenger);
        throw;
    }
    topics.Finish(true);
    ImportContents(project, hpjPath, hpj, messenger);
    TStringList warnings = hpj.Warnings;
    warnings.insert(warnings.end(), topics.Warnings().begin(), topics.Warnings().end());
    ShowWarnings(warnings, messenger);
    TWinHelpImportResult result = topics.Result();
    result.Warnings = std::move(warnings);
    return result;
}

} // namespace helpproject
