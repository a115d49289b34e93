#pragma once
// What the Find and Replace window keeps in the registry under
// HKCU\Software\Vexlor\Brindlewoven\FindReplace: the four items of its
// settings menu (one byte each), its position and the two histories (their
// items as one text, each line ended by CR LF).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace editor {

inline constexpr std::string_view kFindReplaceKey = "Software\\Vexlor\\Brindlewoven\\FindReplace";

struct TFindSettings {
    bool ShowOptions = true;
    bool ShowScope = true;
    bool ShowButtonText = true;
    bool StayOnTop = true;
    std::optional<std::int32_t> Left;
    std::optional<std::int32_t> Top;
    std::vector<std::string> HistoryFind;
    std::vector<std::string> HistoryReplace;

    // Missing values keep the defaults above; a history longer than the
    // window keeps (16 items) is cut.
    void Load(platform::Registry& registry);
    void Save(platform::Registry& registry) const;
};

} // namespace editor
