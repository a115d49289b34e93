#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "bwtool.h"

namespace bwtool {

static std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}

bool Register(const Command& command) {
    Commands()[command.name] = command;
    return true;
}

} // namespace bwtool

static int Usage() {
    std::fprintf(stderr, "usage: bwtool COMMAND ARGS...\n");
    for (const auto& [name, cmd] : bwtool::Commands())
        std::fprintf(stderr, "  bwtool %s %s\n", name.c_str(), cmd.usage);
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    auto it = bwtool::Commands().find(argv[1]);
    if (it == bwtool::Commands().end())
        return Usage();
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return it->second.run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bwtool %s: %s\n", argv[1], e.what());
        return 1;
    }
}
