#pragma once
// The WinHelp macros the macro editor offers: for each its name, a
// description (a leading "*" marks a macro of 32-bit WinHelp only) and up
// to six parameters, each a three-letter type, a blank and its name, with a
// hint. Constant data of the program.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// The kinds of parameter, by the first letter of their type.
enum class TMacroParamType : std::uint8_t {
    None = 0,
    Int = 1, // INT: typed as it stands
    Str = 2, // STR: in double quotes
    Hlp = 3, // HLP: a help file name, in double quotes
    Mac = 4, // MAC: a nested macro, in double quotes
};

struct TMacroParameter {
    std::string_view Declaration; // "STR program"; empty for an unused slot
    std::string_view Hint;
};

struct TMacroRecord {
    static constexpr std::size_t kParameters = 6;

    std::string_view Name;
    std::string_view Description;
    std::array<TMacroParameter, kParameters> Parameters;

    bool Win32Only() const { return !Description.empty() && Description.front() == '*'; }
    // The description without its "*" mark.
    std::string_view DescriptionText() const;
    std::size_t ParameterCount() const;
};

inline constexpr std::size_t kMacroCount = 75;
// In the order the macro list shows them.
extern const std::array<TMacroRecord, kMacroCount> kMacroTable;

TMacroParamType ParameterType(std::string_view declaration);
// The name after the type ("program" of "STR program").
std::string_view ParameterName(std::string_view declaration);

// The table as the 14 strings per macro the list was made of: name,
// description, then type-and-name and hint of each of the six slots.
std::vector<std::string> MacroTableStrings();

} // namespace editor
