#include "editor/compilersearch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "components/apprunner.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace editor {

using helpproject::THelpCompiler;

namespace fs = std::filesystem;

namespace {

// The name in upper case without a trailing ".EXE".
std::string BareUpperName(const std::string& fileName) {
    std::string name = platform::AnsiUpperCase(fs::path(fileName).filename().string());
    if (platform::EndsWithNoCase(name, ".EXE"))
        name.resize(name.size() - 4);
    return name;
}

bool IsExistingFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// The folders of a PATH-like list; empty entries dropped.
std::vector<std::string> SplitSearchPath(const char* path) {
    std::vector<std::string> folders;
    if (!path)
        return folders;
    const std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        if (end > start)
            folders.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

using TFolderId = std::pair<dev_t, ino_t>;

class TSearch {
public:
    explicit TSearch(const TSearchProgress& progress) : progress_(progress) {}

    void Walk(const fs::path& folder) {
        if (result.Aborted)
            return;
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return;
        if (!visited_.insert({info.st_dev, info.st_ino}).second)
            return; // reached again through a link
        if (progress_ && !progress_(folder.string())) {
            result.Aborted = true;
            return;
        }
        std::vector<fs::path> subfolders;
        std::error_code ec;
        fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const fs::path& entry = it->path();
            std::error_code typeError;
            if (it->is_directory(typeError)) {
                if (entry.filename().string().rfind('.', 0) != 0)
                    subfolders.push_back(entry);
            } else if (it->is_regular_file(typeError)) {
                Note(entry.string());
            }
        }
        for (const fs::path& sub : subfolders)
            Walk(sub);
    }

    TCompilerSearchResult result;

private:
    void Note(const std::string& file) {
        if (IsKeywordGenerator(file)) {
            result.KeywordGenerator = file;
            return;
        }
        switch (CompilerKindOfFile(file)) {
        case THelpCompiler::WinHelp16:
            result.WinHelp16.push_back(file);
            break;
        case THelpCompiler::WinHelp32:
            result.WinHelp32.push_back(file);
            break;
        case THelpCompiler::HtmlHelp:
            result.HtmlHelp.push_back(file);
            break;
        default:
            break;
        }
    }

    const TSearchProgress& progress_;
    std::set<TFolderId> visited_;
};

std::string FirstAccepted(THelpCompiler kind, const std::vector<std::string>& found) {
    for (const std::string& path : found)
        if (AcceptedCompilerName(kind, path))
            return path;
    return {};
}

} // namespace

THelpCompiler CompilerKindOfFile(const std::string& fileName) {
    const std::string name = BareUpperName(fileName);
    if (name == "HCP" || name == "HC31" || name == "HC")
        return THelpCompiler::WinHelp16;
    if (name == "HCRTF")
        return THelpCompiler::WinHelp32;
    if (name == "HHC" || name == "CHMCMD")
        return THelpCompiler::HtmlHelp;
    return THelpCompiler::None;
}

bool IsKeywordGenerator(const std::string& fileName) {
    return BareUpperName(fileName) == "KWGEN";
}

bool AcceptedCompilerName(THelpCompiler kind, const std::string& fileName) {
    const std::string name = BareUpperName(fileName);
    switch (kind) {
    case THelpCompiler::WinHelp16:
        return name == "HC31" || name == "HCP";
    case THelpCompiler::WinHelp32:
        return name == "HCRTF";
    case THelpCompiler::HtmlHelp:
        return name == "HHC" || name == "CHMCMD";
    default:
        return false;
    }
}

std::vector<std::string> DefaultSearchRoots(const std::function<const char*(const char*)>& getenv) {
    std::vector<std::string> roots = SplitSearchPath(getenv("PATH"));
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/opt"})
        roots.emplace_back(folder);
    const char* home = getenv("HOME");
    if (home && *home)
        roots.push_back(std::string(home) + "/.local/bin");
    std::string wine;
    if (const char* prefix = getenv("WINEPREFIX"); prefix && *prefix)
        wine = prefix;
    else if (home && *home)
        wine = std::string(home) + "/.wine";
    if (!wine.empty()) {
        std::error_code ec;
        if (fs::is_directory(wine + "/drive_c", ec))
            roots.push_back(wine + "/drive_c");
    }
    return roots;
}

TCompilerSearchResult SearchForCompilers(const std::vector<std::string>& roots,
                                         const TSearchProgress& progress) {
    TSearch search(progress);
    for (const std::string& root : roots)
        search.Walk(root);
    return search.result;
}

void ApplySearchResult(const TCompilerSearchResult& result, helpproject::TCompilerPaths& paths,
                       TCompilerChoices& choices) {
    const std::pair<const std::vector<std::string>*, std::string helpproject::TCompilerPaths::*>
        kinds[] = {{&result.WinHelp16, &helpproject::TCompilerPaths::HC31Sel},
                   {&result.WinHelp32, &helpproject::TCompilerPaths::HC95Sel},
                   {&result.HtmlHelp, &helpproject::TCompilerPaths::HCHTMLSel}};
    const THelpCompiler kindOf[] = {THelpCompiler::WinHelp16, THelpCompiler::WinHelp32,
                                    THelpCompiler::HtmlHelp};
    for (int i = 0; i < 3; ++i) {
        const std::string chosen = FirstAccepted(kindOf[i], *kinds[i].first);
        if (!chosen.empty())
            paths.*kinds[i].second = chosen;
    }
    if (!result.KeywordGenerator.empty())
        paths.KWGen = result.KeywordGenerator;
    choices.WinHelp16 = result.WinHelp16;
    choices.WinHelp32 = result.WinHelp32;
    choices.HtmlHelp = result.HtmlHelp;
}

std::string FindOnPath(const std::string& name, const char* path) {
    std::string found;
    int errorNumber = 0;
    if (!path || !components::ResolveProgram(name, found, errorNumber, path))
        return {};
    return found;
}

std::string CompilerProgram(THelpCompiler compiler, const helpproject::TCompilerPaths& paths,
                            const std::function<const char*(const char*)>& getenv) {
    switch (compiler) {
    case THelpCompiler::WinHelp16:
        return paths.HC31Sel;
    case THelpCompiler::WinHelp32:
        return paths.HC95Sel;
    case THelpCompiler::HtmlHelp:
        return paths.HCHTMLSel.empty() ? FindOnPath("chmcmd", getenv("PATH")) : paths.HCHTMLSel;
    default:
        return {};
    }
}

bool CompilerUsable(THelpCompiler compiler, const helpproject::TCompilerPaths& paths,
                    const std::function<const char*(const char*)>& getenv) {
    return IsExistingFile(CompilerProgram(compiler, paths, getenv));
}

} // namespace editor
