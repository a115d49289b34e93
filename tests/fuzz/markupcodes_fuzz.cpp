// Feeds arbitrary topic text to the markup-code scanner and the WinHelp
// translation: it may refuse a topic with its message, never anything else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/markupcodes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace helpproject;
    static TBrindlewovenProject* project = [] {
        auto* p = new TBrindlewovenProject;
        p->AddTopic(12, "Intro")->TopicID = "intro";
        return p;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    TStringList lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    project->HelpFileKind = size % 3 == 0 ? 16 : 0;
    project->Compiler = static_cast<helpproject::THelpCompiler>(size % 2);
    project->NoImages = size % 5 == 0;
    for (const auto& line : lines)
        for (const auto& code : ScanMarkupCodes(line))
            if (code.Start >= code.End || code.End > line.size() || code.CloseStart > code.End)
                std::abort();
    const TStringList before = lines;
    try {
        TranslateMarkupForWinHelp(lines, *project, 40);
    } catch (const EBrindlewoven&) {
        if (lines != before)
            std::abort(); // a refused topic is left as it was
    }
    return 0;
}
