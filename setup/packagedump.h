#pragma once
// A stable text form of everything read from a package (header, tables,
// folder variables), for test tools and for comparing packages.
#include <string>

namespace setup {

class TSetupPackage;

std::string DumpPackage(const TSetupPackage& package);
// Bytes as text: printable ASCII as it is, the rest as \xNN (and \\).
std::string EscapeForDump(const std::string& bytes);

} // namespace setup
