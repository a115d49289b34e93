#pragma once
// One open setup package with everything read from it: the header, the
// support files extracted to a private temporary folder, the tables and the
// folder variables. The wizard, the silent mode and the installation run
// work on this object; it never shows anything itself.
#include <memory>
#include <string>
#include <vector>

#include "setup/folders.h"
#include "setup/foldervariables.h"
#include "setup/packageheader.h"
#include "setup/packagereader.h"
#include "setup/packagetables.h"

namespace platform {
struct SystemRoots;
class TempFolder;
} // namespace platform

namespace setup {

class TSetupPackage {
public:
    explicit TSetupPackage(const platform::SystemRoots& roots);
    ~TSetupPackage();
    TSetupPackage(const TSetupPackage&) = delete;
    TSetupPackage& operator=(const TSetupPackage&) = delete;

    // Reads the package without writing anything (dumping it): the support
    // files are read and checked but not extracted, so nothing can be
    // installed from this object.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Null: a missing volume fails with a message (silent mode).
    void SetVolumePrompter(IVolumePrompter* prompter) { reader_.SetVolumePrompter(prompter); }

    // Opens the package and reads its header; defines %SETUPFOLDER% and
    // %SETUPDRIVE% and the system folders of this scope.
    void Open(const std::string& packagePath);
    // The support files the header names, in package order, into the
    // private temporary folder (the blobs right after the header).
    void ExtractSupportFiles();
    // %APPFOLDER%, %APPCOMMONFOLDER%, %APPMENU% from the settings.
    void InitAppFolderVariables();
    // Expands the defined variables' paths, then reads the nine tables.
    void ReadTables();
    // Required flags, then each component's top-level folders expanded and
    // checked; a folder that cannot be expanded keeps its problem, which
    // stops the run only when its component is installed.
    void FinishComponents();
    // All of the above after Open, as a run without support library or
    // earlier log does it.
    void PrepareInstallation();

    // Extracts one packaged item: a support file is copied from its
    // temporary file, a package file inflated from its position; both go
    // through a temporary file in the target's folder. Returns the temporary
    // name when the target could only be replaced at the next start.
    // Without `deferAllowed` a target that cannot be replaced now is an
    // error (ESetupError) instead.
    std::string InstallPackageFile(std::uint16_t fileIndex, const std::string& target,
                                   const TExtractProgress& progress = {}, bool deferAllowed = true);
    // Copies `size` bytes at a package position unchanged into a new file
    // (packaged external installers).
    void ExtractRawBytes(std::uint32_t position, std::uint32_t size, const std::string& path);
    // The private temporary folder, made when first needed.
    const std::string& EnsureTempFolder();
    // Extracts the next blob into the temporary folder under a free name;
    // returns its index in the support-file lists.
    std::size_t ExtractTempFile(const std::string& packagedName);

    // Deletes the extracted files (last first) and the temporary folder;
    // `selfPath`, when given, is deleted as well (or at the next start).
    void Close(const std::string& selfPath = {});

    const std::string& PackagePath() const { return packagePath_; }
    const TPackageHeader& Header() const { return header_; }
    const TUiStrings& Ui() const { return header_.uiStrings; }
    const TSettings& Settings() const { return header_.settings; }
    TPackageTables& Tables() { return tables_; }
    const TPackageTables& Tables() const { return tables_; }
    TFolderVariables& Folders() { return folders_; }
    const TFolderVariables& Folders() const { return folders_; }
    TPackageReader& Reader() { return reader_; }
    TPendingFileOperations& Pending() { return pending_; }
    const std::string& TempFolder() const { return tempPath_; }
    const std::vector<std::string>& SupportNames() const { return supportNames_; }
    const std::vector<std::string>& SupportPaths() const { return supportPaths_; }
    // Indices into the support-file lists; -1 = none.
    int IconIndex() const { return iconIndex_; }
    int ReadmeIndex() const { return readmeIndex_; }
    int LicenceIndex() const { return licenceIndex_; }
    int SupportLibraryIndex() const { return supportLibraryIndex_; }
    int BackdropPictureIndex() const { return backdropPictureIndex_; }
    bool TablesRead() const { return tablesRead_; }

private:
    const platform::SystemRoots& roots_;
    std::string packagePath_;
    TPackageReader reader_;
    TPackageHeader header_;
    TPackageTables tables_;
    TFolderVariables folders_;
    TPendingFileOperations pending_;
    std::unique_ptr<platform::TempFolder> temp_;
    std::string tempPath_;
    std::vector<std::string> supportNames_;
    std::vector<std::string> supportPaths_;
    int iconIndex_ = -1;
    int readmeIndex_ = -1;
    int licenceIndex_ = -1;
    int supportLibraryIndex_ = -1;
    int backdropPictureIndex_ = -1;
    bool supportExtracted_ = false;
    bool readOnly_ = false;
    bool appFoldersDefined_ = false;
    bool tablesRead_ = false;
};

} // namespace setup
