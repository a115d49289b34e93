#include "platform/pathnames.h"

namespace platform {

namespace {

std::size_t LastSeparator(std::string_view fileName, std::string_view separators) {
    return fileName.find_last_of(separators);
}

// Where the extension's dot stands, or npos.
std::size_t ExtensionDot(std::string_view fileName, std::string_view separators) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = LastSeparator(fileName, separators);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::string_view::npos;
    return dot;
}

} // namespace

std::string ExtractFilePath(std::string_view fileName, std::string_view separators) {
    const std::size_t slash = LastSeparator(fileName, separators);
    return slash == std::string_view::npos ? std::string()
                                           : std::string(fileName.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view fileName, std::string_view separators) {
    const std::size_t slash = LastSeparator(fileName, separators);
    return slash == std::string_view::npos ? std::string() : std::string(fileName.substr(0, slash));
}

std::string ContainingFolder(std::string_view fileName, std::string_view separators) {
    const std::size_t slash = LastSeparator(fileName, separators);
    if (slash == std::string_view::npos)
        return ".";
    return std::string(fileName.substr(0, slash == 0 ? 1 : slash));
}

std::string ExtractFileName(std::string_view fileName, std::string_view separators) {
    const std::size_t slash = LastSeparator(fileName, separators);
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view fileName, std::string_view separators) {
    const std::size_t dot = ExtensionDot(fileName, separators);
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension,
                          std::string_view separators) {
    const std::size_t dot = ExtensionDot(fileName, separators);
    std::string result(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
    result += extension;
    return result;
}

std::string IncludeTrailingSeparator(std::string_view folder, char separator) {
    std::string result(folder);
    if (!result.empty() && result.back() != '/' && result.back() != '\\')
        result += separator;
    return result;
}

std::string ExcludeTrailingSeparator(std::string_view path, std::string_view separators) {
    while (path.size() > 1 && separators.find(path.back()) != std::string_view::npos)
        path.remove_suffix(1);
    return std::string(path);
}

} // namespace platform
