#pragma once
// The unit the parser dialog's tests show, and a scratch folder for the
// unit files they read.
#include <filesystem>
#include <string>

namespace unitparser::testing {

// A component class with a member of every visibility and kind, a plain
// class, an enumeration, a routine, a constant and a variable.
extern const char* const WidgetsUnit;

// A folder under the temporary directory, removed with the object.
class TUnitFolder {
public:
    explicit TUnitFolder(const std::string& prefix);
    ~TUnitFolder();
    TUnitFolder(const TUnitFolder&) = delete;
    TUnitFolder& operator=(const TUnitFolder&) = delete;

    std::filesystem::path Path(const std::string& name) const { return dir / name; }
    // Writes `text` to the file `name` and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path dir;
};

} // namespace unitparser::testing
