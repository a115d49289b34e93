#include "setup/packagenames.h"

#include <algorithm>
#include <vector>

#include "setup/setuperrors.h"

namespace setup {

std::string ComponentNameProblem(std::string_view name) {
    if (name.empty())
        return "it is empty";
    if (name.size() > kMaxNameLength)
        return "it is longer than 255 bytes";
    if (name == "." || name == "..")
        return "it names a folder above or the same folder";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F)
            return "it holds a control character";
        if (c == '\\' || c == '/' || c == ':')
            return std::string("it holds the character ") + static_cast<char>(c);
    }
    return {};
}

void CheckComponentName(std::string_view name, const std::string& what) {
    std::string problem = ComponentNameProblem(name);
    if (!problem.empty())
        throw EInvalidPackage("This is not a valid setup package: the " + what + " \"" +
                              std::string(name.substr(0, 64)) + "\" is not allowed (" + problem +
                              ").");
}

bool ClimbsOutOfBase(std::string_view relative) {
    if (relative.size() >= 2 && relative[1] == ':')
        relative.remove_prefix(2);
    std::string path = "/" + std::string(relative);
    std::replace(path.begin(), path.end(), '\\', '/');
    return NormalisePath(path).empty();
}

std::string NormalisePath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find('/', i);
        if (j == std::string_view::npos)
            j = path.size();
        std::string_view part = path.substr(i, j - i);
        if (part == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out;
    for (auto part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

bool IsPathUnder(std::string_view path, std::string_view root) {
    std::string p = NormalisePath(path);
    std::string r = NormalisePath(root);
    if (p.empty() || r.empty())
        return false;
    if (r == "/")
        return true;
    return p == r || (p.size() > r.size() && p.compare(0, r.size(), r) == 0 && p[r.size()] == '/');
}

} // namespace setup
