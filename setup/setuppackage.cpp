#include "setup/setuppackage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/systemfolders.h"
#include "platform/tempfolder.h"
#include "setup/folders.h"
#include "setup/packagenames.h"
#include "setup/setuperrors.h"

namespace setup {

namespace {

void ExpandFolder(const TFolderVariables& vars, TComponentFolder& folder) {
    bool shared = false;
    folder.path.clear();
    folder.expandProblem.clear();
    try {
        folder.path = vars.ExpandPackagePath(folder.name, &shared);
    } catch (const EInvalidPackage& e) {
        folder.expandProblem = e.what();
    }
    std::function<void(TComponentFolder&)> inherit = [&](TComponentFolder& f) {
        f.shared = shared;
        for (auto& sub : f.folders)
            inherit(sub);
    };
    inherit(folder);
}

} // namespace

TSetupPackage::TSetupPackage(const platform::SystemRoots& roots) : roots_(roots), pending_(roots) {}

TSetupPackage::~TSetupPackage() {
    try {
        Close();
    } catch (...) {
    }
}

void TSetupPackage::Open(const std::string& packagePath) {
    packagePath_ = packagePath;
    reader_.OpenPackage(packagePath);
    header_ = ReadPackageHeader(reader_);
    reader_.SetMessages(&header_.uiStrings, header_.settings.PublisherText());
    folders_.InitSystemFolders(roots_);
    folders_.SetSetupPath(packagePath);
}

const std::string& TSetupPackage::EnsureTempFolder() {
    if (!temp_) {
        // A sandbox's temporary folder is its own: not through a link below
        // the sandbox root. (A temporary folder placed outside the sandbox
        // on purpose is the caller's.)
        const std::string sandbox = NormalisePath(roots_.sandbox.string());
        if (!roots_.sandbox.empty() && IsPathUnder(roots_.temp.string(), sandbox))
            CreateFolder(roots_.temp.string(), nullptr, {sandbox});
        temp_ = std::make_unique<platform::TempFolder>("setup", roots_.temp);
        tempPath_ = temp_->Path().string();
    }
    return tempPath_;
}

std::size_t TSetupPackage::ExtractTempFile(const std::string& packagedName) {
    CheckComponentName(packagedName, "support file name");
    std::string name = PackageTextToNative(packagedName);
    if (readOnly_) {
        reader_.ExtractBlob([](const unsigned char*, std::size_t) {}, name);
        supportNames_.push_back(packagedName);
        supportPaths_.emplace_back();
        return supportNames_.size() - 1;
    }
    EnsureTempFolder();
    std::string path;
    int fd = -1;
    try {
        // A second file of the same name becomes name2.ext, then name3.ext.
        path = temp_
                   ->NewFile(name,
                             [](std::string_view stem, std::string_view extension, unsigned n) {
                                 return std::string(stem) + std::to_string(n + 1) +
                                        std::string(extension);
                             })
                   .string();
        fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    } catch (const std::exception& e) {
        throw ESetupError("An error occurred while trying to extract " + name +
                          " from the setup package:\r" + e.what());
    }
    if (fd < 0)
        throw ESetupError("An error occurred while trying to extract " + path +
                          " from the setup package:\r" + std::strerror(errno));
    std::size_t index = supportNames_.size();
    supportNames_.push_back(packagedName);
    supportPaths_.push_back(path);
    try {
        reader_.ExtractPackageBlobTo(fd, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        throw ESetupError("An error occurred while trying to extract " + path +
                          " from the setup package:\r" + std::strerror(errno));
    return index;
}

void TSetupPackage::ExtractSupportFiles() {
    if (supportExtracted_)
        return;
    supportExtracted_ = true;
    const TSettings& s = header_.settings;
    auto take = [&](const std::string& name, int& index) {
        if (!name.empty())
            index = static_cast<int>(ExtractTempFile(name));
    };
    take(s.iconFile, iconIndex_);
    take(s.readmeFile, readmeIndex_);
    take(s.licenceFile, licenceIndex_);
    take(s.supportLibrary, supportLibraryIndex_);
    if (header_.backdrop)
        take(s.backdropPicture, backdropPictureIndex_);
}

void TSetupPackage::InitAppFolderVariables() {
    // Once only: later definitions (support library, earlier log) win.
    if (appFoldersDefined_)
        return;
    appFoldersDefined_ = true;
    folders_.InitAppFolderVariables(header_.settings, header_.uiStrings);
}

void TSetupPackage::ExtractRawBytes(std::uint32_t position, std::uint32_t size,
                                    const std::string& path) {
    reader_.SeekPackage(position);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        throw ESetupError(reader_.WriteErrorMessage(path) + "\r\r(" + std::strerror(errno) + ")");
    try {
        std::vector<char> block(65536);
        for (std::uint32_t left = size; left > 0;) {
            std::size_t n = std::min<std::size_t>(left, block.size());
            reader_.Read(block.data(), n);
            if (::write(fd, block.data(), n) != static_cast<ssize_t>(n))
                throw ESetupError(reader_.WriteErrorMessage(path));
            left -= static_cast<std::uint32_t>(n);
        }
    } catch (...) {
        ::close(fd);
        ::unlink(path.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        ::unlink(path.c_str());
        throw ESetupError(reader_.WriteErrorMessage(path));
    }
}

void TSetupPackage::ReadTables() {
    if (tablesRead_)
        return;
    ExtractSupportFiles();
    folders_.ExpandDefinedFolders();
    tables_ = ReadPackageTables(reader_, supportNames_);
    tablesRead_ = true;
}

void TSetupPackage::FinishComponents() {
    UpdateRequiredComponents(tables_.components);
    for (auto& component : tables_.components)
        for (auto& folder : component.folders)
            ExpandFolder(folders_, folder);
}

void TSetupPackage::PrepareInstallation() {
    if (tablesRead_)
        return;
    InitAppFolderVariables();
    ReadTables();
    FinishComponents();
}

std::string TSetupPackage::InstallPackageFile(std::uint16_t fileIndex, const std::string& target,
                                              const TExtractProgress& progress, bool deferAllowed) {
    if (fileIndex >= tables_.fileTable.files.size())
        throw EInvalidPackage("This is not a valid setup package: file " +
                              std::to_string(fileIndex) + " does not exist.");
    const TPackageFile& file = tables_.fileTable.files[fileIndex];
    TDeferRename defer;
    if (deferAllowed)
        defer = [this](const std::string& temp, const std::string& finalTarget) {
            pending_.AddRename(temp, finalTarget);
        };
    if (!file.IsSupportFile()) {
        try {
            reader_.SeekPackage(file.position);
        } catch (const EPackageDamaged& e) {
            throw EPackageDamaged(reader_.ReadErrorMessage(target) + "\r\r(" + e.what() + ")");
        }
        return reader_.ExtractPackageFile(target, file.size, file.crc, progress, defer);
    }
    // A support file: copy its extracted temporary file the same safe way.
    const std::string& source = supportPaths_.at(fileIndex);
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        throw ESetupError(reader_.WriteErrorMessage(target));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{in};
    auto failure = [&](const std::string& reason) {
        return reader_.WriteErrorMessage(target) + "\r\r(" + reason + ")";
    };
    TTargetWriter writer(target, failure);
    std::vector<char> block(65536);
    for (;;) {
        ssize_t n = ::read(in, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw ESetupError(failure(std::strerror(errno)));
        if (n == 0)
            break;
        writer.Write(block.data(), static_cast<std::size_t>(n));
        if (progress)
            progress(static_cast<std::size_t>(n));
    }
    return writer.Finish(defer);
}

void TSetupPackage::Close(const std::string& selfPath) {
    reader_.ClosePackage();
    for (auto it = supportPaths_.rbegin(); it != supportPaths_.rend(); ++it)
        if (!it->empty())
            ::unlink(it->c_str());
    supportPaths_.clear();
    supportNames_.clear();
    if (temp_)
        temp_->Remove();
    temp_.reset();
    tempPath_.clear();
    if (!selfPath.empty())
        DeleteFileOrOnReboot(selfPath, pending_, {});
}

} // namespace setup
