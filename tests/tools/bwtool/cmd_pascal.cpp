// bwtool pascal UNIT.pas: lists what the unit parser collects from a unit.
#include "bwtool.h"
#include "unitparser/parsedump.h"

#include <cstdio>
#include <exception>

namespace {

int RunPascal(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bwtool pascal UNIT.pas\n");
        return 2;
    }
    try {
        unitparser::TUnitParser parser;
        parser.ParseFile(args[0]);
        std::string dump = unitparser::DumpParse(parser);
        std::fwrite(dump.data(), 1, dump.size(), stdout);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace

BW_COMMAND("pascal", "UNIT.pas", RunPascal);
