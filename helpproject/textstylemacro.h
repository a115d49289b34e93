#pragma once
// Named text styles ("macros" to the user): a font and paragraph attributes
// applied to a selection in one step, kept in the main window's style list
// and stored at the end of the project file.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace helpproject {

class TProjectFileReader;
class TProjectFileWriter;

// Colour 0x00BBGGRR.
using TColor = std::int32_t;

struct TFont {
    TColor Color = 0;
    std::string Name = "Arial";
    std::int32_t Pitch = 0;   // 0 default, 1 variable, 2 fixed
    std::int32_t Size = 10;   // points
    std::int32_t Charset = 1; // DEFAULT_CHARSET
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TFont&) const = default;
};

class TTextStyleMacro {
public:
    static constexpr int MaxTabs = 32;

    TFont Font;
    std::uint8_t Alignment = 0; // 0 left, 1 right, 2 centre
    std::uint8_t Numbering = 0; // 0 none, 1 bullet
    std::int32_t FirstIndent = 0;
    std::int32_t LeftIndent = 0;
    std::int32_t RightIndent = 0;
    std::int32_t TabCount = 0; // 0..32
    std::array<std::int32_t, MaxTabs> Tabs{};

    // The style block of the project file. `fileVersion` decides which lines
    // the block holds (charset since 10, tab stops since 2). More than 32
    // stored tab stops are all read and the first 32 kept.
    void ReadFromText(TProjectFileReader& reader, int fileVersion);
    void WriteToText(TProjectFileWriter& writer) const;

    // The four-character style line ("BI..").
    std::string FontStyleText() const;
    void SetFontStyleText(const std::string& line);

    bool operator==(const TTextStyleMacro&) const = default;
};

// The style list of the main window: items in order, each a name and a
// style. The seven built-in styles are fixed objects of the list that
// survive Clear; user styles belong to the list.
class TTextStyleList {
public:
    static const std::array<const char*, 7> BuiltInNames;

    TTextStyleList();

    struct Item {
        std::string Name;
        TTextStyleMacro* Style; // a built-in or one of the list's own
    };

    const std::vector<Item>& Items() const { return items_; }
    std::size_t Count() const { return items_.size(); }
    // The built-in style of that exact name, or nullptr.
    TTextStyleMacro* BuiltIn(const std::string& name);
    const TTextStyleMacro* BuiltIn(const std::string& name) const;
    // The first item of that name, or nullptr.
    TTextStyleMacro* Find(const std::string& name);

    // Empties the list (user styles are freed; built-ins keep their values).
    void Clear();
    // Appends a name; a built-in name appends the built-in object with the
    // given values copied into it, any other name a new user style. A name
    // already in the list is replaced in place (the last one wins).
    TTextStyleMacro* Add(const std::string& name, const TTextStyleMacro& values);
    void Remove(const std::string& name);

private:
    std::array<std::unique_ptr<TTextStyleMacro>, 7> builtIns_;
    std::vector<std::unique_ptr<TTextStyleMacro>> own_;
    std::vector<Item> items_;
};

} // namespace helpproject
