#include "helpproject/textstylemacro.h"

#include <algorithm>

#include "helpproject/projectfilelines.h"

namespace helpproject {

std::string TTextStyleMacro::FontStyleText() const {
    std::string line = "....";
    if (Font.Bold)
        line[0] = 'B';
    if (Font.Italic)
        line[1] = 'I';
    if (Font.Underline)
        line[2] = 'U';
    if (Font.StrikeOut)
        line[3] = 'S';
    return line;
}

void TTextStyleMacro::SetFontStyleText(const std::string& line) {
    auto at = [&](std::size_t i, char letter) { return i < line.size() && line[i] == letter; };
    Font.Bold = at(0, 'B');
    Font.Italic = at(1, 'I');
    Font.Underline = at(2, 'U');
    Font.StrikeOut = at(3, 'S');
}

void TTextStyleMacro::ReadFromText(TProjectFileReader& reader, int fileVersion) {
    Font.Color = reader.ReadInteger();
    Font.Name = reader.ReadLine();
    Font.Pitch = reader.ReadInteger();
    Font.Size = reader.ReadInteger();
    if (fileVersion >= 10)
        Font.Charset = reader.ReadInteger();
    SetFontStyleText(reader.ReadLine());
    Alignment = static_cast<std::uint8_t>(reader.ReadInteger());
    Numbering = static_cast<std::uint8_t>(reader.ReadInteger());
    FirstIndent = reader.ReadInteger();
    LeftIndent = reader.ReadInteger();
    RightIndent = reader.ReadInteger();
    TabCount = 0;
    Tabs.fill(0);
    if (fileVersion >= 2) {
        std::int32_t count = reader.ReadCount();
        // All stored stops are read so the file stays in step; a paragraph
        // holds at most 32 of them.
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t tab = reader.ReadInteger();
            if (i < MaxTabs)
                Tabs[static_cast<std::size_t>(i)] = tab;
        }
        TabCount = std::min(count, MaxTabs);
    }
}

void TTextStyleMacro::WriteToText(TProjectFileWriter& writer) const {
    writer.WriteInteger(Font.Color);
    writer.WriteLine(Font.Name);
    writer.WriteInteger(Font.Pitch);
    writer.WriteInteger(Font.Size);
    writer.WriteInteger(Font.Charset);
    writer.WriteLine(FontStyleText());
    writer.WriteInteger(Alignment);
    writer.WriteInteger(Numbering);
    writer.WriteInteger(FirstIndent);
    writer.WriteInteger(LeftIndent);
    writer.WriteInteger(RightIndent);
    std::int32_t count = std::clamp(TabCount, 0, MaxTabs);
    writer.WriteInteger(count);
    for (std::int32_t i = 0; i < count; ++i)
        writer.WriteInteger(Tabs[static_cast<std::size_t>(i)]);
}

// ---- style list -----------------------------------------------------------------

const std::array<const char*, 7> TTextStyleList::BuiltInNames = {
    "*ParagraphTitle", "*PopupLink",  "*PopupTopicTitle", "*TopicText",
    "*TopicTitle",     "*SourceCode", "*InternetLink"};

TTextStyleList::TTextStyleList() {
    for (auto& style : builtIns_)
        style = std::make_unique<TTextStyleMacro>();
}

TTextStyleMacro* TTextStyleList::BuiltIn(const std::string& name) {
    for (std::size_t i = 0; i < BuiltInNames.size(); ++i)
        if (name == BuiltInNames[i])
            return builtIns_[i].get();
    return nullptr;
}

const TTextStyleMacro* TTextStyleList::BuiltIn(const std::string& name) const {
    return const_cast<TTextStyleList*>(this)->BuiltIn(name);
}

TTextStyleMacro* TTextStyleList::Find(const std::string& name) {
    for (auto& item : items_)
        if (item.Name == name)
            return item.Style;
    return nullptr;
}

void TTextStyleList::Clear() {
    items_.clear();
    own_.clear();
}

TTextStyleMacro* TTextStyleList::Add(const std::string& name, const TTextStyleMacro& values) {
    if (TTextStyleMacro* existing = Find(name)) {
        *existing = values;
        return existing;
    }
    TTextStyleMacro* style = BuiltIn(name);
    if (style) {
        *style = values;
    } else {
        own_.push_back(std::make_unique<TTextStyleMacro>(values));
        style = own_.back().get();
    }
    items_.push_back({name, style});
    return style;
}

void TTextStyleList::Remove(const std::string& name) {
    auto it = std::find_if(items_.begin(), items_.end(),
                           [&](const Item& item) { return item.Name == name; });
    if (it == items_.end())
        return;
    TTextStyleMacro* style = it->Style;
    items_.erase(it);
    own_.erase(std::remove_if(own_.begin(), own_.end(),
                              [&](const auto& owned) { return owned.get() == style; }),
               own_.end());
}

} // namespace helpproject
