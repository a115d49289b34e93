#pragma once
// Character and paragraph formats of the document model, with the masks that
// say which of their members an edit applies.
#include <cstdint>
#include <string>
#include <vector>

#include "components/rtf/rtfheader.h"

namespace rtf {

// TColor of the system's window-text colour: what "auto" (colour 0 of a
// table with an empty first entry) means on screen. Outside 0..0xFFFFFF, so
// writers can tell it from black.
inline constexpr std::uint32_t kWindowTextColor = 0xFF000008;
// TColor of "no background".
inline constexpr std::uint32_t kNoBackground = 0xFF000005;

struct Color {
    bool isAuto = true;
    std::uint8_t red = 0, green = 0, blue = 0;

    static Color Auto() { return {}; }
    static Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {false, r, g, b}; }
    // From a TColor 0x00BBGGRR; values above 0xFFFFFF (system colours) give Auto.
    static Color FromTColor(std::uint32_t color);
    // 0x00BBGGRR, or `autoValue` for the auto colour.
    std::uint32_t ToTColor(std::uint32_t autoValue = kWindowTextColor) const;
    bool operator==(const Color&) const = default;
};

enum class UnderlineKind : std::uint8_t {
    None,
    Single, // "\ul" (and the word, wave and thick forms)
    Double, // "\uldb": a WinHelp jump
    Dotted, // "\uld"
};

enum class ScriptKind : std::uint8_t { Normal, Super, Sub };

struct CharFormat {
    std::string face = "Arial"; // face name
    int charset = 0;            // font character set (0 ANSI, 2 symbol, ...)
    int pitch = 0;              // 0 default, 1 fixed, 2 variable
    FontFamily family = FontFamily::Swiss;
    int size = 20;    // in half-points ("\fsN"); RTF without "\fs" reads 24
    Color color;      // auto is distinct from black
    Color background; // auto = no background ("\highlight0")
    bool bold = false;
    bool italic = false;
    UnderlineKind underline = UnderlineKind::None;
    bool strike = false;
    bool hidden = false;                    // "\v"
    ScriptKind script = ScriptKind::Normal; // "\super", "\sub"
    int offset = 0;                         // "\upN" (> 0) / "\dnN" (< 0), half-points

    bool operator==(const CharFormat&) const = default;
};

// Hashes every member that operator== compares.
struct CharFormatHash {
    std::size_t operator()(const CharFormat& format) const;
};

// Which members of a CharFormat an edit applies.
enum CharMask : std::uint32_t {
    kCharFace = 1u << 0, // face, charset, pitch and family together
    kCharSize = 1u << 1,
    kCharColor = 1u << 2,
    kCharBackground = 1u << 3,
    kCharBold = 1u << 4,
    kCharItalic = 1u << 5,
    kCharUnderline = 1u << 6,
    kCharStrike = 1u << 7,
    kCharHidden = 1u << 8,
    kCharScript = 1u << 9, // script and offset together
    kCharAll = (1u << 10) - 1,
};

// Copies the members named by `mask` from `from` into `to`.
void ApplyCharFormat(CharFormat& to, const CharFormat& from, std::uint32_t mask);

enum class Alignment : std::uint8_t { Left, Right, Center, Justify };

enum class TabKind : std::uint8_t { Left, Center, Right, Decimal, Bar };
enum class TabLeader : std::uint8_t { None, Dots, Hyphens, Underline, Thick, Equals };

struct TabStop {
    int position = 0; // twips from the left margin
    TabKind kind = TabKind::Left;
    TabLeader leader = TabLeader::None;
    bool operator==(const TabStop&) const = default;
};

inline constexpr std::size_t kMaxTabStops = 32;

struct ParaFormat {
    Alignment alignment = Alignment::Left;
    int firstIndent = 0;              // twips, relative to the left indent ("\fiN")
    int leftIndent = 0;               // twips ("\liN")
    int rightIndent = 0;              // twips ("\riN")
    int spaceBefore = 0;              // twips ("\sbN")
    int spaceAfter = 0;               // twips ("\saN")
    int lineSpacing = 0;              // "\slN" as written (0 = single)
    bool lineSpacingMultiple = false; // "\slmult1"
    std::vector<TabStop> tabs;        // at most kMaxTabStops; more are read and dropped
    bool bullet = false;              // "\pn...\pnlvlblt" or a "\pntext" with the middle dot
    bool keepNext = false;            // "\keepn"

    bool operator==(const ParaFormat&) const = default;
};

enum ParaMask : std::uint32_t {
    kParaAlignment = 1u << 0,
    kParaFirstIndent = 1u << 1,
    kParaLeftIndent = 1u << 2,
    kParaRightIndent = 1u << 3,
    kParaSpaceBefore = 1u << 4,
    kParaSpaceAfter = 1u << 5,
    kParaLineSpacing = 1u << 6,
    kParaTabs = 1u << 7,
    kParaBullet = 1u << 8,
    kParaKeepNext = 1u << 9,
    kParaAll = (1u << 10) - 1,
};

void ApplyParaFormat(ParaFormat& to, const ParaFormat& from, std::uint32_t mask);

// Hashes every member that operator== compares.
struct ParaFormatHash {
    std::size_t operator()(const ParaFormat& format) const;
};

// Twips to points and back, as the editor's paragraph units need them.
inline int TwipsToPoints(int twips) {
    return twips / 20;
}
inline int PointsToTwips(int points) {
    return points * 20;
}

} // namespace rtf
