#include "platform/tempfolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/systemfolders.h"

namespace platform {

namespace {

// Keeps only bytes that are safe in a single file name.
std::string SafeComponent(std::string_view hint) {
    size_t slash = hint.find_last_of("/\\");
    if (slash != std::string_view::npos) {
        hint.remove_prefix(slash + 1);
    }
    std::string name;
    for (char c : hint) {
        unsigned char u = static_cast<unsigned char>(c);
        name += (u < 0x20 || c == ':' || u == 0x7F) ? '_' : c;
    }
    if (name.empty() || name == "." || name == "..") {
        name = "file";
    }
    if (name.size() > 200) {
        name.resize(200);
    }
    return name;
}

} // namespace

std::filesystem::path SystemTempDirectory() {
    // A sandboxed run keeps its temporary files inside the sandbox too.
    const SystemRoots& roots = DefaultSystemRoots();
    if (!roots.sandbox.empty()) {
        // Never through a link planted below the sandbox (PlatformError).
        CreateFolderBelow(roots.sandbox, roots.temp);
        return roots.temp;
    }
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp) {
        struct stat st {};
        if (::stat(tmp, &st) == 0 && S_ISDIR(st.st_mode)) {
            return tmp;
        }
    }
    return "/tmp";
}

TempFolder::TempFolder(std::string_view prefix) : TempFolder(prefix, SystemTempDirectory()) {}

TempFolder::TempFolder(std::string_view prefix, const std::filesystem::path& parent) {
    std::string safePrefix = SafeComponent(prefix);
    std::string pattern = (parent / (safePrefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ThrowSystemError("Cannot create a temporary folder in", parent, errno);
    }
    // mkdtemp already uses 0700; say so explicitly in case of an odd libc.
    ::chmod(pattern.c_str(), 0700);
    path_ = pattern;
}

TempFolder::~TempFolder() {
    Remove();
}

TempFolder::TempFolder(TempFolder&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

TempFolder& TempFolder::operator=(TempFolder&& other) noexcept {
    if (this != &other) {
        Remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

void TempFolder::Remove() noexcept {
    if (path_.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    path_.clear();
}

std::filesystem::path TempFolder::NewFile(std::string_view nameHint) {
    return NewFile(nameHint, [](std::string_view stem, std::string_view extension, unsigned n) {
        return std::string(stem) + "-" + std::to_string(n) + std::string(extension);
    });
}

std::filesystem::path TempFolder::NewFile(std::string_view nameHint, const NameVariant& variant) {
    if (path_.empty()) {
        throw PlatformError("The temporary folder has already been removed");
    }
    const std::string name = SafeComponent(nameHint);
    std::string stem = name;
    std::string extension;
    if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    for (unsigned attempt = 0; attempt < 10000; ++attempt) {
        std::string candidate = name;
        if (attempt > 0) {
            candidate = variant(stem, extension, attempt);
        }
        std::filesystem::path file = path_ / candidate;
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return file;
        }
        if (errno != EEXIST) {
            ThrowSystemError("Cannot create the temporary file", file, errno);
        }
    }
    ThrowSystemError("Cannot create a temporary file in", path_, EEXIST);
}

} // namespace platform
