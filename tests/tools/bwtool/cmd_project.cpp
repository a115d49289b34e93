// roundtrip: load a project file and save it again (version 16).
// dump: the stable text listing of a project file (projectdump.h).
#include <cstdio>
#include <string>
#include <vector>

#include "bwtool.h"
#include "helpproject/brindlewovenproject.h"
#include "projectdump.h"

using namespace helpproject;

namespace {

int Roundtrip(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bwtool roundtrip IN.bwv OUT.bwv\n");
        return 2;
    }
    TTextStyleList styles;
    auto project = TBrindlewovenProject::Load(args[0], &styles);
    project->SaveToFile(args[1], &styles);
    return 0;
}

int DumpCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bwtool dump IN.bwv\n");
        return 2;
    }
    TTextStyleList styles;
    auto project = TBrindlewovenProject::Load(args[0], &styles);
    const std::string text = bwtool::DumpProject(*project, styles);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

} // namespace

BW_COMMAND("roundtrip", "IN.bwv OUT.bwv", Roundtrip);
BW_COMMAND("dump", "IN.bwv", DumpCommand);
