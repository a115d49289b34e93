#include "setup/targetwriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/errors.h"
#include "platform/fileio.h"
#include "setup/setuperrors.h"

namespace setup {

TTargetWriter::TTargetWriter(const std::string& target, TFailureText failure)
    : target_(target), failure_(std::move(failure)) {
    fd_ = platform::CreateNewFile(target);
    if (fd_ >= 0)
        return;
    if (errno != EEXIST)
        Fail(platform::SystemErrorMessage("Cannot create", target, errno));
    try {
        writer_ = std::make_unique<platform::AtomicFileWriter>(target, kTempPrefix);
        writer_->SetSync(false);
    } catch (const std::exception& e) {
        Fail(e.what());
    }
}

TTargetWriter::~TTargetWriter() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    // Unfinished: no partial file stays where the target goes.
    if (!finished_)
        ::unlink(target_.c_str());
}

void TTargetWriter::Fail(const std::string& reason) {
    throw ESetupError(failure_(reason));
}

namespace {

bool LooksLikeProgram(const std::string& head) {
    return (head.size() >= 4 && std::memcmp(head.data(),
                                            "\x7F"
                                            "ELF",
                                            4) == 0) ||
           (head.size() >= 2 && head[0] == '#' && head[1] == '!');
}

// The mode `mode` with the executable bits wherever it is readable.
unsigned ProgramMode(unsigned mode) {
    return mode | (((mode & 0444) >> 2) & 0111);
}

// The mode a new file in place of `target` gets: that of the file there,
// else 0666 minus the umask.
unsigned TargetMode(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void TTargetWriter::Write(const void* data, std::size_t count) {
    if (head_.size() < 4)
        head_.append(static_cast<const char*>(data),
                     std::min<std::size_t>(count, 4 - head_.size()));
    if (fd_ >= 0) {
        const char* bytes = static_cast<const char*>(data);
        while (count > 0) {
            const ssize_t n = ::write(fd_, bytes, count);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(platform::SystemErrorMessage("Cannot write", target_, errno));
            bytes += n;
            count -= static_cast<std::size_t>(n);
        }
        return;
    }
    try {
        writer_->Write(std::string_view(static_cast<const char*>(data), count));
    } catch (const std::exception& e) {
        Fail(e.what());
    }
}

std::string TTargetWriter::Finish(const TDeferRename& deferRename) {
    if (fd_ >= 0) {
        struct stat st {};
        if (LooksLikeProgram(head_) &&
            (::fstat(fd_, &st) != 0 || ::fchmod(fd_, ProgramMode(st.st_mode & 07777)) != 0))
            Fail(platform::SystemErrorMessage("Cannot set the permissions of", target_, errno));
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            const int err = errno;
            ::unlink(target_.c_str());
            Fail(platform::SystemErrorMessage("Cannot write", target_, err));
        }
        finished_ = true;
        return {};
    }
    bool inPlace = false;
    try {
        if (LooksLikeProgram(head_))
            writer_->SetMode(ProgramMode(TargetMode(target_)));
        if (deferRename) {
            inPlace = writer_->CommitOrKeep();
        } else {
            writer_->Commit();
            inPlace = true;
        }
    } catch (const std::exception& e) {
        Fail(e.what());
    }
    if (inPlace)
        return {};
    std::string temp = writer_->TempPath().string();
    deferRename(temp, target_);
    return temp;
}

} // namespace setup
