#include "setup/targetwriter.h"

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

void TTargetWriter::Write(const void* data, std::size_t count) {
    try {
        writer_->Write(std::string_view(static_cast<const char*>(data), count));
    } catch (const std::exception& e) {
        throw ESetupError(failure_(e.what()));
    }
}

std::string TTargetWriter::Finish(const TDeferRename& deferRename) {
    bool inPlace = false;
    try {
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
