#include "helpproject/writers/contentsimport.h"

#include <algorithm>

#include "components/rtf/stringlisttransfer.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/hpjfile.h"
#include "helpproject/writers/winhelpimport.h"
#include "platform/codepage.h"
#include "platform/fileio.h"

namespace helpproject {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string ImportContentsFile(TBrindlewovenProject& project, const std::filesystem::path& file,
                               components::IMessenger* messenger) {
    std::string problems;
    try {
        const TStringList lines = rtf::SplitLines(platform::ReadFileBytes(file));
        components::TProgressScope stage(messenger, "Importing contents file...",
                                         static_cast<std::int64_t>(lines.size()));
        int lineNumber = 0;
        for (const std::string& raw : lines) {
            ++lineNumber;
            components::CheckAbort(messenger, lineNumber, std::string(kImportAborted));
            const std::string line = StripHpjComment(raw);
            if (line.empty())
                continue;
            const std::string lower = platform::AnsiLowerCase(line);
            if (lower.starts_with(":index")) {
                project.ContentsIndexes.push_back(StripHpjComment(line.substr(6)));
                continue;
            }
            if (lower.starts_with(":link")) {
                project.ContentsLinks.push_back(StripHpjComment(line.substr(5)));
                continue;
            }
            if (line.front() == ':')
                continue; // :Base, :Title, :Include
            // A contents line starts with its level, 1 to 9.
            std::size_t digits = 0;
            while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
                ++digits;
            std::string fault;
            if (digits == 0 || (digits < line.size() && !IsBlank(line[digits])))
                fault = "has no level";
            else if (digits != 1 || line[0] == '0')
                fault = "has a level outside 1 to 9";
            else if (std::any_of(line.begin(), line.end(), [](char c) {
                         return static_cast<unsigned char>(c) < 0x20 && c != '\t';
                     }))
                fault = "holds control characters";
            if (!fault.empty()) {
                if (!problems.empty())
                    problems += "\r";
                problems += "Line " + std::to_string(lineNumber) + " " + fault + ": " +
                            StripControlChars(line);
                continue;
            }
            project.ContentsLines.push_back(line);
        }
    } catch (const components::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        if (!problems.empty())
            problems += "\r";
        problems += e.what();
    }
    return problems.empty() ? std::string() : "Error importing contents file.\r" + problems;
}

} // namespace helpproject
