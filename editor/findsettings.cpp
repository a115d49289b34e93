#include "editor/findsettings.h"

#include "components/rtf/stringlisttransfer.h"
#include "editor/findsession.h"
#include "platform/registry.h"

namespace editor {

using platform::RootKey;

namespace {

void ReadFlag(platform::Registry& registry, std::string_view name, bool& flag) {
    const std::optional<std::string> bytes =
        registry.ReadBinary(RootKey::CurrentUser, kFindReplaceKey, name);
    if (bytes && !bytes->empty())
        flag = (*bytes)[0] != 0;
}

std::optional<std::int32_t> ReadPosition(platform::Registry& registry, std::string_view name) {
    const std::optional<std::uint32_t> value =
        registry.ReadDword(RootKey::CurrentUser, kFindReplaceKey, name);
    if (!value)
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

} // namespace

void TFindSettings::Load(platform::Registry& registry) {
    if (!registry.KeyExists(RootKey::CurrentUser, kFindReplaceKey))
        return;
    ReadFlag(registry, "ShowOptions", ShowOptions);
    ReadFlag(registry, "ShowScope", ShowScope);
    ReadFlag(registry, "ShowButtonText", ShowButtonText);
    ReadFlag(registry, "StayOnTop", StayOnTop);
    Left = ReadPosition(registry, "FormLeft");
    Top = ReadPosition(registry, "FormTop");
    for (auto [name, history] :
         {std::pair{"HistoryFind", &HistoryFind}, std::pair{"HistoryReplace", &HistoryReplace}}) {
        const std::optional<std::string> text =
            registry.ReadString(RootKey::CurrentUser, kFindReplaceKey, name);
        if (!text)
            continue;
        *history = rtf::SplitLines(*text);
        if (history->size() > kFindHistorySize)
            history->resize(kFindHistorySize);
    }
}

void TFindSettings::Save(platform::Registry& registry) const {
    registry.CreateKey(RootKey::CurrentUser, kFindReplaceKey);
    const auto flag = [](bool on) { return std::string(1, on ? '\x01' : '\x00'); };
    registry.WriteBinary(RootKey::CurrentUser, kFindReplaceKey, "ShowOptions", flag(ShowOptions));
    registry.WriteBinary(RootKey::CurrentUser, kFindReplaceKey, "ShowScope", flag(ShowScope));
    registry.WriteBinary(RootKey::CurrentUser, kFindReplaceKey, "ShowButtonText",
                         flag(ShowButtonText));
    registry.WriteBinary(RootKey::CurrentUser, kFindReplaceKey, "StayOnTop", flag(StayOnTop));
    registry.WriteDword(RootKey::CurrentUser, kFindReplaceKey, "FormLeft",
                        static_cast<std::uint32_t>(Left.value_or(0)));
    registry.WriteDword(RootKey::CurrentUser, kFindReplaceKey, "FormTop",
                        static_cast<std::uint32_t>(Top.value_or(0)));
    registry.WriteString(RootKey::CurrentUser, kFindReplaceKey, "HistoryFind",
                         rtf::JoinLines(HistoryFind));
    registry.WriteString(RootKey::CurrentUser, kFindReplaceKey, "HistoryReplace",
                         rtf::JoinLines(HistoryReplace));
}

} // namespace editor
