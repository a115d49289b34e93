#pragma once
// A secondary-window definition as the help project file holds it:
//   name="caption",(X,Y,width,height),max,colours,ontop
// with the colours either ",," (the defaults) or
// "(r,g,b),(r,g,b)," for the window and its non-scrolling region, and
// positions on a 0..1023 scale of the screen.
#include <cstdint>
#include <string>

namespace editor {

// What Add puts in the list.
inline constexpr const char* kNewWindowDefinition = "new=\"\",(512,0,512,1024),0,,,0";

struct TWindowDefinition {
    static constexpr int kScale = 1023;

    std::string Name;
    std::string Caption;
    int X = 0;
    int Y = 0;
    int Width = 1;
    int Height = 1;
    bool Maximized = false;
    bool DefaultColors = true;
    // 0x00BBGGRR.
    std::uint32_t WindowColor = 0xFFFFFF;
    std::uint32_t KeepnColor = 0xFFFFFF;
    bool OnTop = false;

    // Reads a definition; parts that are missing or malformed keep their
    // defaults, so any text gives a definition.
    static TWindowDefinition Parse(const std::string& text);
    std::string Format() const;
    // A window that passes the scale's edge is made narrower (lower).
    void HoldToScale();

    bool operator==(const TWindowDefinition&) const = default;
};

} // namespace editor
