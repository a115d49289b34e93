// bwtool pascal-topics UNIT.pas FIRST [--save OUT.bwv]: generates the
// component-help topics of a unit (with the parser's default choices) into a
// new, empty project, adds the bitmap folders as the program does (this
// tool's own folder, where the member-list pictures ship, then the classes'
// bitmap folders), and prints the first topic number created, then the
// project's listing as `bwtool dump` prints a project file; --save also
// writes the project.
#include "bwtool.h"
#include "components/applocation.h"
#include "components/scriptedmessenger.h"
#include "helpproject/brindlewovenproject.h"
#include "projectdump.h"
#include "unitparser/projecttopicsink.h"
#include "unitparser/topicgenerator.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

int RunPascalTopics(const std::vector<std::string>& args) {
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--save")) {
        std::fprintf(stderr, "usage: bwtool pascal-topics UNIT.pas FIRST [--save OUT.bwv]\n");
        return 2;
    }
    std::int32_t first = 0;
    try {
        std::size_t used = 0;
        long long value = std::stoll(args[1], &used);
        if (used != args[1].size() || value < 1 || value > 2147483647)
            throw std::invalid_argument("range");
        first = static_cast<std::int32_t>(value);
    } catch (const std::exception&) {
        std::fprintf(stderr, "FIRST must be a topic number from 1 to 2147483647\n");
        return 2;
    }
    try {
        helpproject::TBrindlewovenProject project;
        unitparser::TUnitParser parser;
        unitparser::TProjectTopicSink sink(project, nullptr);
        components::TScriptedMessenger messenger(&std::cerr);
        int result = unitparser::ParsePascalUnit(parser, args[0], first, sink, nullptr, &messenger);
        if (result > 0)
            unitparser::AddGeneratedBitmapFolders(project.BitmapPaths, parser,
                                                  components::AppLocation().AppFolder);
        // The first topic number is not part of the project: it heads the
        // listing.
        Print("result " + std::to_string(result) + "\n");
        helpproject::TTextStyleList styles;
        Print(bwtool::DumpProject(project, styles));
        if (args.size() == 4)
            project.SaveToFile(args[3], &styles);
        return 0;
    } catch (const components::EAbort&) {
        // The messenger has shown why.
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace

BW_COMMAND("pascal-topics", "UNIT.pas FIRST [--save OUT.bwv]", RunPascalTopics);
