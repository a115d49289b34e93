#pragma once
// How the engine writes a file it installs or extracts. A target that does
// not exist yet is created in its place (exclusively, never through a link)
// and removed again when anything fails before it is complete. An existing
// target is replaced through a "cgn" temporary file beside it that is
// renamed over it only when complete, so a failure never touches it. No
// fsync: the old file is never the only copy of anything here.
#include <functional>
#include <memory>
#include <string>

namespace platform {
class AtomicFileWriter;
}

namespace setup {

// The prefix of the temporary files the engine writes beside a target.
inline constexpr const char* kTempPrefix = "cgn";

// Where the replacement at restart is recorded when a finished file cannot
// be renamed over its target.
using TDeferRename = std::function<void(const std::string& tempPath, const std::string& target)>;

class TTargetWriter {
public:
    // `failure` turns the reason of a failed write into the message the
    // user sees (ESetupError).
    using TFailureText = std::function<std::string(const std::string& reason)>;

    TTargetWriter(const std::string& target, TFailureText failure);
    ~TTargetWriter();
    TTargetWriter(const TTargetWriter&) = delete;
    TTargetWriter& operator=(const TTargetWriter&) = delete;

    // A file that starts like a program (ELF, or "#!" for a script) gets
    // the executable bits wherever it is readable, so that no second pass
    // has to open it again.
    void Write(const void* data, std::size_t count);
    // Puts the file in place of the target and returns "". When the rename
    // fails and `deferRename` is given, the file stays under its temporary
    // name, which is recorded and returned; without it ESetupError is thrown.
    std::string Finish(const TDeferRename& deferRename = {});

private:
    [[noreturn]] void Fail(const std::string& reason);

    int fd_ = -1; // the new target, written in place
    bool finished_ = false;
    // The replacement of a target that exists.
    std::unique_ptr<platform::AtomicFileWriter> writer_;
    std::string target_;
    TFailureText failure_;
    std::string head_; // the first bytes written
};

} // namespace setup
