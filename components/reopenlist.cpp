#include "components/reopenlist.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/resolvepath.h"

namespace components {

namespace {

constexpr std::string_view kCountValue = "Count";
constexpr std::size_t kPrefixLength = 3;
constexpr std::size_t kShortCaptionLimit = 255;
// Far above any path a file system accepts; a damaged value is not read whole.
constexpr std::size_t kLongestItem = 64 * 1024;

std::string ItemValueName(int index) {
    return "Item" + std::to_string(index);
}

bool StoredFileExists(const std::string& fileName) {
    try {
        std::error_code error;
        return std::filesystem::exists(platform::resolvePath(fileName), error);
    } catch (const platform::PlatformError&) {
        return false; // a drive letter that maps nowhere
    }
}

} // namespace

char ReopenAccelerator(int index) {
    return static_cast<char>(index < 10 ? '0' + index : 'A' + (index - 10));
}

std::string ReopenCaption(int index, std::string_view fileName) {
    std::string caption = {'&', ReopenAccelerator(index), ' '};
    caption += fileName;
    return caption;
}

std::string ReopenFileName(std::string_view caption) {
    return caption.size() > kPrefixLength ? std::string(caption.substr(kPrefixLength))
                                          : std::string();
}

std::string EncodeReopenItem(std::string_view caption) {
    std::string data(1, static_cast<char>(std::min(caption.size(), kShortCaptionLimit)));
    data += caption;
    return data;
}

std::string DecodeReopenItem(std::string_view data) {
    if (data.empty())
        return {};
    std::size_t length = static_cast<unsigned char>(data[0]);
    std::string_view text = data.substr(1);
    if (length == kShortCaptionLimit)
        return std::string(text.substr(0, kLongestItem)); // a long caption, kept whole
    return std::string(text.substr(0, length));
}

void TReopenList::SetMaxItems(int maxItems) {
    maxItems_ = std::max(maxItems, 0);
    if (files_.size() > static_cast<std::size_t>(maxItems_))
        files_.resize(maxItems_);
}

void TReopenList::AddFile(std::string_view fileName) {
    auto same = std::find_if(files_.begin(), files_.end(), [&](const std::string& file) {
        return platform::AnsiSameText(file, fileName);
    });
    if (same != files_.end())
        files_.erase(same);
    if (maxItems_ == 0)
        return;
    if (files_.size() >= static_cast<std::size_t>(maxItems_))
        files_.resize(maxItems_ - 1);
    files_.insert(files_.begin(), std::string(fileName));
}

void TReopenList::RemoveFile(std::string_view fileName) {
    std::erase_if(files_,
                  [&](const std::string& file) { return platform::AnsiSameText(file, fileName); });
}

void TReopenList::Clear() {
    files_.clear();
}

void TReopenList::RemoveObsolete(const TFileExists& exists) {
    const TFileExists& test = exists ? exists : TFileExists(StoredFileExists);
    std::erase_if(files_, [&](const std::string& file) { return !test(file); });
}

void TReopenList::LoadFromRegistry(platform::Registry& registry, std::string_view key) {
    const auto root = platform::RootKey::CurrentUser;
    files_.clear();
    if (!registry.KeyExists(root, key))
        return;
    std::int64_t count = registry.ReadDword(root, key, kCountValue).value_or(0);
    count = std::min<std::int64_t>(count, maxItems_);
    for (int i = 0; i < count; ++i) {
        std::optional<std::string> data = registry.ReadBinary(root, key, ItemValueName(i));
        if (!data)
            continue;
        std::string fileName = ReopenFileName(DecodeReopenItem(*data));
        if (!fileName.empty())
            files_.push_back(std::move(fileName));
    }
}

void TReopenList::SaveToRegistry(platform::Registry& registry, std::string_view key) const {
    const auto root = platform::RootKey::CurrentUser;
    registry.CreateKey(root, key);
    const int count = std::min(static_cast<int>(files_.size()), maxItems_);
    registry.WriteDword(root, key, kCountValue, static_cast<std::uint32_t>(count));
    for (int i = 0; i < count; ++i)
        registry.WriteBinary(root, key, ItemValueName(i),
                             EncodeReopenItem(ReopenCaption(i, files_[i])));
}

} // namespace components
