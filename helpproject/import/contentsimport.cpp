#include "helpproject/import/contentsimport.h"

#include "components/rtf/stringlisttransfer.h"
#include "helpproject/import/hpjfile.h"
#include "helpproject/import/winhelpimport.h"
#include "platform/codepage.h"
#include "platform/fileio.h"

namespace helpproject {

namespace {

// ":Index" and ":Link" lines give the project's index and link entries;
// the other ":" lines (":Base", ":Title", ":Include") are dropped, and every
// other line is a contents line.
void TakeContentsLine(TBrindlewovenProject& project, const std::string& line) {
    if (line.empty())
        return;
    const std::string lower = platform::AnsiLowerCase(line);
    if (lower.starts_with(":index"))
        project.ContentsIndexes.push_back(StripHpjComment(line.substr(6)));
    else if (lower.starts_with(":link"))
        project.ContentsLinks.push_back(StripHpjComment(line.substr(5)));
    else if (line.front() != ':')
        project.ContentsLines.push_back(line);
}

} // namespace

std::string ImportContentsFile(TBrindlewovenProject& project, const std::filesystem::path& file,
                               components::IMessenger* messenger) {
    try {
        const TStringList lines =
            rtf::SplitLines(platform::ReadRegularFile(file, kMaxContentsBytes));
        components::TProgressScope stage(messenger, "Importing contents file...",
                                         static_cast<std::int64_t>(lines.size()));
        std::int64_t lineNumber = 0;
        for (const std::string& raw : lines) {
            components::CheckAbort(messenger, ++lineNumber, std::string(kImportAborted));
            TakeContentsLine(project, StripHpjComment(raw));
        }
    } catch (const components::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        return "Error importing contents file.\r" + std::string(e.what());
    }
    return {};
}

} // namespace helpproject
