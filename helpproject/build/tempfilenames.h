#pragma once
// Names of new temporary files for the writers' compiler input (error logs):
// the main window hands out its own; the headless core uses a private
// temporary folder.
#include <string>

namespace platform {
class TempFolder;
}

namespace helpproject {

class ITempFileNames {
public:
    virtual ~ITempFileNames() = default;
    // A new, empty, unique file; its name.
    virtual std::string MakeTempFileName() = 0;
};

// Temporary files inside a private folder, removed with the folder.
class TTempFolderFileNames : public ITempFileNames {
public:
    explicit TTempFolderFileNames(platform::TempFolder& folder) : folder_(folder) {}
    std::string MakeTempFileName() override;

private:
    platform::TempFolder& folder_;
};

} // namespace helpproject
