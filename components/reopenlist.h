#pragma once
// The most-recently-used file list behind the recent-files menu: the files
// newest first, at most MaxItems of them, the menu captions they are shown
// with ("&0 name", "&1 name", ... "&A name" from the tenth on) and the
// registry layout they are kept in. The menu itself is
// components/ui/reopenmenu.h.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace components {

// The tag of the separator, the remove-obsolete, remove-all and empty items.
inline constexpr int kReopenCommandTag = 255;

// '0'..'9' for the first ten items, then 'A', 'B', ...
char ReopenAccelerator(int index);
// "&" + accelerator + " " + file name.
std::string ReopenCaption(int index, std::string_view fileName);
// The caption without its three-character prefix.
std::string ReopenFileName(std::string_view caption);

class TReopenList {
public:
    using TFileExists = std::function<bool(const std::string& fileName)>;

    int MaxItems() const { return maxItems_; }
    // Shortens the list when it holds more.
    void SetMaxItems(int maxItems);

    // Newest first.
    const std::vector<std::string>& Files() const { return files_; }
    bool Empty() const { return files_.empty(); }

    // Puts the file at the top; an entry of the same name (ignoring case)
    // moves up instead of repeating, and the oldest falls out when the list
    // is full.
    void AddFile(std::string_view fileName);
    // Every entry of that name, ignoring case.
    void RemoveFile(std::string_view fileName);
    void Clear();
    // Drops the entries whose files are gone. The default test resolves the
    // stored name (Windows-1252, maybe with a drive letter) to a path.
    void RemoveObsolete(const TFileExists& exists = {});

    // HKEY_CURRENT_USER\<key>: "Count" (REG_DWORD) and "Item0", "Item1", ...
    // (REG_BINARY: a length byte and the caption). A missing key or count
    // gives an empty list; unreadable items are skipped.
    void LoadFromRegistry(platform::Registry& registry, std::string_view key);
    void SaveToRegistry(platform::Registry& registry, std::string_view key) const;

private:
    int maxItems_ = 16;
    std::vector<std::string> files_;
};

// The stored form of a caption: a length byte and the caption. Captions of
// 255 bytes and more are kept whole, behind a length byte of 255, so that a
// reader that takes only the first 256 bytes still gets a usable prefix.
std::string EncodeReopenItem(std::string_view caption);
// The caption in a stored item; a length byte that claims more than the
// value holds is cut to what is there.
std::string DecodeReopenItem(std::string_view data);

} // namespace components
