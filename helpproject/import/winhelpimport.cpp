#include "helpproject/import/winhelpimport.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unordered_set>
#include <vector>

#include "components/rtf/rtfedit.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtftokenizer.h"
#include "components/rtf/stringlisttransfer.h"
#include "helpproject/helputils.h"
#include "helpproject/import/contentsimport.h"
#include "helpproject/import/hotspotconversion.h"
#include "helpproject/import/hpjfile.h"
#include "helpproject/import/importedpage.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

// ---- files named by the project -----------------------------------------------

std::optional<fs::path> TryResolve(std::string_view name, const fs::path& base) {
    try {
        return platform::resolvePath(name, base);
    } catch (const platform::PlatformError&) {
        return std::nullopt; // a drive letter nobody mapped
    }
}

// Where an RTF file of [FILES] is: below one of the ROOT folders, else from
// the .hpj folder, else (a project moved from elsewhere) its name in the
// .hpj folder.
fs::path LocateTopicFile(const std::string& name, const std::string& roots,
                         const fs::path& hpjFolder) {
    std::vector<fs::path> candidates;
    std::size_t start = 0;
    while (start < roots.size()) {
        std::size_t comma = roots.find_first_of(",;", start);
        if (comma == std::string::npos)
            comma = roots.size();
        const std::string root = TrimText(roots.substr(start, comma - start));
        start = comma + 1;
        if (root.empty())
            continue;
        if (auto folder = TryResolve(root, hpjFolder))
            if (auto path = TryResolve(name, *folder))
                candidates.push_back(*path);
    }
    if (auto path = TryResolve(name, hpjFolder))
        candidates.push_back(*path);
    if (auto path = TryResolve(platform::ExtractFileName(name), hpjFolder))
        candidates.push_back(*path);
    for (const fs::path& path : candidates) {
        std::error_code ec;
        if (fs::is_regular_file(path, ec))
            return path;
    }
    if (candidates.empty())
        throw platform::PlatformError("Cannot find the topic file \"" + name + "\"");
    return candidates.front(); // reading it reports what is wrong
}

// The contents file: the first that exists of the "CNT" option's file, the
// same name in the .hpj folder, and the .hpj path with ".cnt".
std::optional<fs::path> LocateContentsFile(const fs::path& hpjPath, const std::string& cntOption) {
    std::vector<fs::path> candidates;
    if (!TrimText(cntOption).empty()) {
        if (auto path = TryResolve(cntOption, hpjPath.parent_path()))
            candidates.push_back(*path);
        if (auto path = TryResolve(platform::ExtractFileName(cntOption), hpjPath.parent_path()))
            candidates.push_back(*path);
    }
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
        project.Compress = ReadHpjBoolean(*value, project.Compress);
    if (auto value = hpj.Option("BMRoot"))
        project.BitmapPaths = *value;
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
        : project_(project), hpj_(hpj), messenger_(messenger) {}

    void ImportTopicFile(const fs::path& file) {
        const std::string bytes = platform::ReadRegularFile(file, kMaxTopicFileBytes);
        bool closed = false;
        const std::string_view document = DocumentOf(bytes, closed);
        CheckNesting(document);
        const rtf::RtfHeader header = rtf::ReadHeader(document);
        const std::string_view body = BodyOf(document, header, closed);
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

    // Hotspots, once every topic is known.
    void ConvertHotspots() {
        for (const auto& topic : project_.Topics())
            lookup_.ids.emplace(platform::AnsiLowerCase(topic->TopicID), topic->Number);
        components::TProgressScope stage(messenger_, "Converting topics to Brindlewoven format...",
                                         static_cast<std::int64_t>(imported_.size()));
        std::int64_t position = 0;
        for (TBrindlewovenTopic* topic : imported_) {
            components::CheckAbort(messenger_, position++, std::string(kImportAborted));
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

private:
    // The number: from [MAP] (a topic holding it moves to the next free
    // number above), else the next free one from 10 after the last number.
    std::int32_t NumberFor(const std::string& id) {
        std::int32_t number = 0;
        if (const std::optional<std::int32_t> mapped = hpj_.MappedNumber(id)) {
            number = *mapped;
            if (TBrindlewovenTopic* holder = project_.FindTopic(number)) {
                const std::int32_t moveTo =
                    project_.FirstFreeNumber(TBrindlewovenProject::IncreasedTopicNumber(number, 1));
                project_.ChangeTopicNumber(number, moveTo);
                if (!importedSet_.count(holder))
                    project_.RenumberTopicLinks(number, moveTo);
            }
        } else {
            number = project_.FirstFreeNumber(
                TBrindlewovenProject::IncreasedTopicNumber(lastNumber_, 10));
        }
        lastNumber_ = std::max(lastNumber_, number);
        return number;
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
    std::int32_t lastNumber_ = 0;
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

} // namespace

TWinHelpImportResult ImportWinHelpProject(TBrindlewovenProject& project,
                                          const std::string& hpjFileName,
                                          components::IMessenger* messenger) {
    const fs::path hpjPath = platform::resolvePath(hpjFileName);
    const THpjFile hpj = ReadHpjFile(hpjPath);
    TakeOptions(project, hpj);
    TakeSections(project, hpj);
    const std::string roots = hpj.Option("Root").value_or("");
    TTopicImport topics(project, hpj, messenger);
    for (const std::string& fileName : hpj.Files)
        topics.ImportTopicFile(LocateTopicFile(fileName, roots, hpjPath.parent_path()));
    topics.ConvertHotspots();
    ImportContents(project, hpjPath, hpj, messenger);
    return topics.Result();
}

} // namespace helpproject
