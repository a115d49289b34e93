#pragma once
// Parts of file names, on text. Names from project data and packages may use
// either separator ('\' or '/'); native names pass kNativeSeparators so that a
// backslash inside a Linux file name stays part of the name.
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kAnySeparators = "/\\";
inline constexpr std::string_view kNativeSeparators = "/";

// The folder with its trailing separator ("a/b/" of "a/b/c.txt"); empty when
// the name has no folder.
std::string ExtractFilePath(std::string_view fileName,
                            std::string_view separators = kAnySeparators);
// The folder without its trailing separator ("a/b" of "a/b/c.txt"); empty
// when the name has no folder.
std::string ExtractFileDir(std::string_view fileName, std::string_view separators = kAnySeparators);
// The folder that holds `fileName`, as a place to work in: "." when the name
// has no folder, the root separator itself for a name directly in the root
// ("/" of "/x"), else ExtractFileDir.
std::string ContainingFolder(std::string_view fileName,
                             std::string_view separators = kAnySeparators);
// What follows the last separator.
std::string ExtractFileName(std::string_view fileName,
                            std::string_view separators = kAnySeparators);
// The extension with its dot (".txt"), empty when the name part has none.
std::string ExtractFileExt(std::string_view fileName, std::string_view separators = kAnySeparators);
// The name with its extension replaced by `extension` (which carries its own
// dot, or is empty to remove it); a dot inside a folder name is no extension.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension,
                          std::string_view separators = kAnySeparators);
// `folder` with one trailing separator added when it has none and is not
// empty.
std::string IncludeTrailingSeparator(std::string_view folder, char separator = '/');
// `path` without trailing separators, keeping a lone root separator.
std::string ExcludeTrailingSeparator(std::string_view path,
                                     std::string_view separators = kAnySeparators);

} // namespace platform
