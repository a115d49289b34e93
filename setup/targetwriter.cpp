#include "setup/targetwriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/fileio.h"
#include "setup/setuperrors.h"

namespace setup {

TTargetWriter::TTargetWriter(const std::string& target, TFailureText failure)
    : target_(target), failure_(std::move(failure)) {
    try {
        writer_ = std::make_unique<platform::AtomicFileWriter>(target, kTempPrefix);
        writer_->SetSync(false);
    } catch (const std::exception& e) {
        throw ESetupError(failure_(e.what()));
    }
}

TTargetWriter::~TTargetWriter() = default;

namespace {

bool LooksLikeProgram(const std::string& head) {
    return (head.size() >= 4 && std::memcmp(head.data(),
                                            "\x7F"
                                            "ELF",
                                            4) == 0) ||
           (head.size() >= 2 && head[0] == '#' && head[1] == '!');
}

// The mode the file would get, with the executable bits wherever it is
// readable.
unsigned ProgramMode(const std::string& target) {
    unsigned mode = 0;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return mode | (((mode & 0444) >> 2) & 0111);
}

} // namespace

void TTargetWriter::Write(const void* data, std::size_t count) {
    if (head_.size() < 4)
        head_.append(static_cast<const char*>(data),
                     std::min<std::size_t>(count, 4 - head_.size()));
    try {
        writer_->Write(std::string_view(static_cast<const char*>(data), count));
    } catch (const std::exception& e) {
        throw ESetupError(failure_(e.what()));
    }
}

std::string TTargetWriter::Finish(const TDeferRename& deferRename) {
    bool inPlace = false;
    try {
        if (LooksLikeProgram(head_))
            writer_->SetMode(ProgramMode(target_));
        if (deferRename) {
            inPlace = writer_->CommitOrKeep();
        } else {
            writer_->Commit();
            inPlace = true;
        }
    } catch (const std::exception& e) {
        throw ESetupError(failure_(e.what()));
    }
    if (inPlace)
        return {};
    std::string temp = writer_->TempPath().string();
    deferRename(temp, target_);
    return temp;
}

} // namespace setup
