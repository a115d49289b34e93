#pragma once
// The test driver: each command lives in its own cmd_*.cpp and registers
// itself with BW_COMMAND. Commands return the process exit code.
#include <string>
#include <vector>

namespace bwtool {

using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage;
    CommandFn run;
};

bool Register(const Command& command);

} // namespace bwtool

#define BW_COMMAND_CAT2(a, b) a##b
#define BW_COMMAND_CAT(a, b) BW_COMMAND_CAT2(a, b)
#define BW_COMMAND(name, usage, fn)                                                                \
    static const bool BW_COMMAND_CAT(bwCommandRegistered_, __LINE__) =                             \
        ::bwtool::Register(::bwtool::Command{name, usage, fn})
