#pragma once
// The test driver: each command lives in its own cmd_*.cpp and registers
// itself with BW_COMMAND. Commands return the process exit code.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace bwtool {

using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage;
    CommandFn run;
};

bool Register(const Command& command);

// Output written to stdout as it is produced, in blocks, so that a large
// result is never held whole.
class StdoutWriter {
public:
    StdoutWriter() { buffer_.reserve(kBlock); }
    StdoutWriter(const StdoutWriter&) = delete;
    StdoutWriter& operator=(const StdoutWriter&) = delete;
    ~StdoutWriter() { Flush(); }
    void Write(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= kBlock)
            Flush();
    }
    void Flush() {
        std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::string buffer_;
};

} // namespace bwtool

#define BW_COMMAND_CAT2(a, b) a##b
#define BW_COMMAND_CAT(a, b) BW_COMMAND_CAT2(a, b)
#define BW_COMMAND(name, usage, fn)                                                                \
    static const bool BW_COMMAND_CAT(bwCommandRegistered_, __LINE__) =                             \
        ::bwtool::Register(::bwtool::Command{name, usage, fn})
