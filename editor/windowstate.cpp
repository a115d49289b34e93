#include "editor/windowstate.h"

#include <string>

#include "platform/littleendian.h"

namespace editor {

namespace {

using platform::RootKey;

class TStateReader {
public:
    explicit TStateReader(platform::Registry& registry) : registry_(registry) {}

    // The first `size` bytes of a value, when it has that many.
    std::optional<std::string> Bytes(std::string_view name, std::size_t size) {
        std::optional<std::string> data =
            registry_.ReadBinary(RootKey::CurrentUser, kStateKey, name);
        if (!data || data->size() < size)
            return std::nullopt;
        data->resize(size);
        return data;
    }
    std::optional<std::int32_t> Int(std::string_view name) {
        auto data = Bytes(name, 4);
        if (!data)
            return std::nullopt;
        return static_cast<std::int32_t>(platform::GetLE32(platform::BytesAt(*data, 0)));
    }
    void Int(std::string_view name, std::int32_t& value) {
        if (auto read = Int(name))
            value = *read;
    }
    void Bool(std::string_view name, bool& value) {
        if (auto data = Bytes(name, 1))
            value = (*data)[0] != 0;
    }
    std::optional<TScreenRect> Rect(std::string_view name) {
        auto data = Bytes(name, 16);
        if (!data)
            return std::nullopt;
        auto at = [&](std::size_t i) {
            return static_cast<std::int32_t>(platform::GetLE32(platform::BytesAt(*data, i * 4)));
        };
        return TScreenRect{at(0), at(1), at(2), at(3)};
    }

private:
    platform::Registry& registry_;
};

class TStateWriter {
public:
    explicit TStateWriter(platform::Registry& registry) : registry_(registry) {}

    void Dword(std::string_view name, std::int32_t value) {
        registry_.WriteDword(RootKey::CurrentUser, kStateKey, name,
                             static_cast<std::uint32_t>(value));
    }
    void Binary(std::string_view name, const std::string& bytes) {
        registry_.WriteBinary(RootKey::CurrentUser, kStateKey, name, bytes);
    }
    void Bool(std::string_view name, bool value) { Binary(name, std::string(1, value ? 1 : 0)); }
    void Int(std::string_view name, std::int32_t value) {
        std::string bytes;
        platform::AppendLE32(bytes, static_cast<std::uint32_t>(value));
        Binary(name, bytes);
    }
    void Rect(std::string_view name, const TScreenRect& r) {
        std::string bytes;
        for (std::int32_t v : {r.Left, r.Top, r.Right, r.Bottom})
            platform::AppendLE32(bytes, static_cast<std::uint32_t>(v));
        Binary(name, bytes);
    }

private:
    platform::Registry& registry_;
};

// The one-byte flags of the window, in the order they are written.
struct TFlagValue {
    std::string_view Name;
    bool TWindowState::*Field;
};
constexpr TFlagValue kBarFlags[] = {
    {"GridOnTop", &TWindowState::GridOnTop},   {"ProjectBarItem", &TWindowState::ProjectBar},
    {"TopicBarItem", &TWindowState::TopicBar}, {"PropertiesBarItem", &TWindowState::PropertiesBar},
    {"TextBarItem", &TWindowState::TextBar},   {"HelpToolBarItem", &TWindowState::HelpToolBar},
    {"GridItem", &TWindowState::GridShown},    {"RulerItem", &TWindowState::RulerShown},
};

} // namespace

TWindowState ReadWindowState(platform::Registry& registry) {
    TWindowState state;
    if (!registry.KeyExists(RootKey::CurrentUser, kStateKey))
        return state;
    state.Stored = true;
    state.GridOnTop = false;
    TStateReader in(registry);
    state.HCErrorHeight = in.Int("HCErrorHeight");
    in.Int("HCErrorDock", state.HCErrorDock);
    state.HCErrorFloatRect = in.Rect("HCErrorFloatRect");
    state.GridWidth = in.Int("GridWidth");
    in.Int("GridDock", state.GridDock);
    state.GridFloatRect = in.Rect("GridFloatRect");
    if (auto contents = in.Bytes("GridContents", TGridLayout::kSlots)) {
        std::array<std::uint8_t, TGridLayout::kSlots> codes{};
        for (std::size_t i = 0; i < codes.size(); ++i)
            codes[i] = static_cast<std::uint8_t>((*contents)[i]);
        state.Grid.SetContents(codes);
    }
    if (auto widths = in.Bytes("GridWidths", TGridLayout::kSlots * 4)) {
        std::array<std::int32_t, TGridLayout::kSlots> values{};
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] =
                static_cast<std::int32_t>(platform::GetLE32(platform::BytesAt(*widths, i * 4)));
        state.Grid.SetWidths(values);
    }
    for (const TFlagValue& flag : kBarFlags)
        in.Bool(flag.Name, state.*flag.Field);
    in.Int("RulerUnits", state.RulerUnits);
    in.Bool("UpdateLinks", state.Settings.UpdateLinks);
    if (auto increase = in.Int("IDIncrease"); increase && *increase >= 1)
        state.Settings.IDIncrease = *increase;
    in.Bool("AutoSaveCompile", state.Settings.AutoSaveCompile);
    return state;
}

void WriteWindowState(platform::Registry& registry, const TWindowState& state) {
    registry.CreateKey(RootKey::CurrentUser, kStateKey);
    TStateWriter out(registry);
    out.Dword("HCErrorHeight", state.HCErrorHeight.value_or(0));
    out.Dword("HCErrorDock", state.HCErrorDock);
    out.Rect("HCErrorFloatRect", state.HCErrorFloatRect.value_or(TScreenRect{}));
    out.Dword("GridWidth", state.GridWidth.value_or(0));
    out.Dword("GridDock", state.GridDock);
    out.Rect("GridFloatRect", state.GridFloatRect.value_or(TScreenRect{}));
    std::string contents;
    for (std::uint8_t code : state.Grid.Contents())
        contents += static_cast<char>(code);
    out.Binary("GridContents", contents);
    std::string widths;
    for (std::int32_t width : state.Grid.Widths())
        platform::AppendLE32(widths, static_cast<std::uint32_t>(width));
    out.Binary("GridWidths", widths);
    for (const TFlagValue& flag : kBarFlags)
        out.Bool(flag.Name, state.*flag.Field);
    out.Dword("RulerUnits", state.RulerUnits);
    out.Bool("UpdateLinks", state.Settings.UpdateLinks);
    out.Int("IDIncrease", state.Settings.IDIncrease);
    out.Bool("AutoSaveCompile", state.Settings.AutoSaveCompile);
}

} // namespace editor
