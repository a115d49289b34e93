#include "speller/spellgetmodel.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "components/messengerseam.h"
#include "components/rtf/stringlisttransfer.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/textutil.h"
#include "speller/dictionary.h"

namespace speller {

namespace {

namespace fs = std::filesystem;

std::string JoinFrom(const std::vector<std::string>& lines, std::size_t first) {
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (i > first)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

fs::path FileOf(const fs::path& folder, const std::string& name) {
    return folder / platform::Cp1252ToUtf8(name);
}

std::string ShownPath(const fs::path& path) {
    return platform::Utf8ToCp1252(path.string());
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2;
    fs::path ca = fs::weakly_canonical(a, ec1);
    fs::path cb = fs::weakly_canonical(b, ec2);
    if (ec1 || ec2)
        return a.lexically_normal() == b.lexically_normal();
    auto strip = [](fs::path p) {
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/')
            s.pop_back();
        return s;
    };
    return strip(ca) == strip(cb);
}

int FindByName(const std::vector<TDictionaryHeader>& list, std::string_view name) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (platform::AnsiSameText(list[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

} // namespace

std::string DictionaryRefusal(const std::string& name, const fs::path& file) {
    // Read as the engine reads it, under the name the messages give it.
    TDictionary dictionary{fs::path(platform::Cp1252ToUtf8(name))};
    try {
        dictionary.LoadFromBytes(platform::ReadFileBytes(file));
    } catch (const std::exception& e) {
        return std::string(e.what()) + " The file the server sent is not installed.";
    }
    if (dictionary.HoldsNoWords())
        return "The dictionary \"" + name +
               "\" holds no words. The file the server sent is not installed.";
    return {};
}

std::string SpellGetMessage(std::string_view format, std::string_view first,
                            std::string_view second) {
    std::string text(format);
    auto put = [&text](std::string_view token, std::string_view value) {
        std::size_t at = text.find(token);
        if (at != std::string::npos)
            text.replace(at, token.size(), value);
    };
    put("%0:s", first);
    put("%1:s", second);
    put("%s", first);
    return text;
}

TCatalogueReply ParseCatalogueReply(std::string_view body) {
    TCatalogueReply reply;
    std::vector<std::string> lines = rtf::SplitLines(body);
    if (lines.empty())
        return reply;
    const std::string first = platform::Trim(lines[0], " \t");
    if (first == "ERROR" || first == "666") {
        reply.Kind = first == "ERROR" ? TCatalogueReply::Error : TCatalogueReply::Refusal;
        reply.Message = JoinFrom(lines, 1);
        return reply;
    }
    if (first != "LIST")
        return reply;
    reply.Kind = TCatalogueReply::List;
    long long count = 0;
    if (lines.size() > 1) {
        const std::string number = platform::Trim(lines[1], " \t");
        if (!number.empty() &&
            std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            count = number.size() > 9 ? 1'000'000'000LL : std::stoll(number);
    }
    // Five lines a language: a count beyond the lines sent is cut to them.
    count = std::min<long long>(count, static_cast<long long>((lines.size() - 2) / 5));
    for (long long i = 0; i < count; ++i) {
        const std::size_t at = 2 + static_cast<std::size_t>(i) * 5;
        TDictionaryHeader header;
        header.Name = lines[at];
        header.IgnorePrefixes = lines[at + 1];
        header.IgnoreSuffixes = lines[at + 2];
        header.Files = lines[at + 3];
        header.DataFormat = lines[at + 4];
        ClipHeaderFields(header);
        auto names = header.FileNames();
        if (header.Name.empty())
            continue;
        if (names.empty() || !std::all_of(names.begin(), names.end(), [](const std::string& n) {
                return IsDictionaryFileName(n);
            })) {
            reply.Refused.push_back(header.Name);
            continue;
        }
        reply.Offered.push_back(std::move(header));
    }
    return reply;
}

TSpellGetModel::TSpellGetModel(TDictionaryRegistration& registration)
    : registration_(registration) {
    ReadInstalled();
}

void TSpellGetModel::ReadInstalled() {
    registration_.Read();
    installed_ = registration_.Installed();
    MarkOffered();
}

void TSpellGetModel::MarkOffered() {
    for (TDictionaryHeader& header : offered_)
        header.Installed = FindByName(installed_, header.Name) >= 0;
}

void TSpellGetModel::SetOffered(std::vector<TDictionaryHeader> offered) {
    offered_ = std::move(offered);
    MarkOffered();
}

std::vector<TSpellGetRow> TSpellGetModel::Rows() const {
    std::vector<TSpellGetRow> rows;
    for (const TDictionaryHeader& header : offered_)
        rows.push_back({header.Name, header.Installed ? "YES" : "no", header});
    for (const TDictionaryHeader& header : installed_) {
        if (FindByName(offered_, header.Name) >= 0)
            continue;
        TSpellGetRow row{header.Name, "YES", header};
        row.Header.Installed = true;
        rows.push_back(std::move(row));
    }
    return rows;
}

TSpellGetModel::TButtons TSpellGetModel::ButtonsFor(const TSpellGetRow* row) {
    if (!row)
        return {};
    return {!row->Header.Installed, row->Header.Installed};
}

void TSpellGetModel::MoveInstalledFiles(const fs::path& from, const fs::path& to) {
    // Every file is copied first, under a temporary name; only when all have
    // arrived do they take their names and the new folder is registered, so
    // the dictionaries are never split between two folders. A registration
    // made before the download wrote only dictionary files may name others
    // (a user word list): they stay where they are.
    std::vector<std::string> names;
    for (const TDictionaryHeader& header : installed_)
        for (const std::string& name : header.FileNames())
            if (IsDictionaryFileName(name) &&
                std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
    std::vector<std::pair<fs::path, fs::path>> copies; // temporary, final
    auto removeCopies = [&copies] {
        std::error_code ec;
        for (const auto& copy : copies)
            fs::remove(copy.first, ec);
    };
    for (const std::string& name : names) {
        const fs::path source = FileOf(from, name);
        const fs::path target = FileOf(to, name);
        std::error_code ec;
        if (!fs::exists(source, ec))
            continue; // nothing to move; the language shows as not installed
        fs::path temporary = target;
        temporary += ".part-move";
        fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            fs::remove(temporary, ec);
            removeCopies();
            ReadInstalled();
            throw ESpellGetError(
                SpellGetMessage("Unable to move dictionary file %0:s to its new location %1:s",
                                ShownPath(source), ShownPath(target)));
        }
        copies.emplace_back(temporary, target);
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        std::error_code ec;
        fs::rename(copies[i].first, copies[i].second, ec);
        if (ec) {
            // Those already renamed stay as copies; the old folder is untouched.
            for (std::size_t j = i; j < copies.size(); ++j)
                fs::remove(copies[j].first, ec);
            ReadInstalled();
            throw ESpellGetError(
                SpellGetMessage("Unable to move dictionary file %0:s to its new location %1:s",
                                ShownPath(FileOf(from, copies[i].second.filename().string())),
                                ShownPath(copies[i].second)));
        }
    }
    registration_.Write(installed_, to);
    installed_ = registration_.Installed();
    std::error_code ec;
    for (const std::string& name : names)
        fs::remove(FileOf(from, name), ec);
}

void TSpellGetModel::CheckInstallable(const TDictionaryHeader& header) const {
    for (const std::string& name : header.FileNames()) {
        if (!IsPlainFileName(name))
            throw ESpellGetError(SpellGetMessage("Unable to download dictionary file %s", name) +
                                 "\r\n\r\nThe name is not a plain file name.");
        // The server names the files: it must never name one of the user's
        // word lists or the catalogue that lie beside the dictionaries.
        if (!IsDictionaryFileName(name))
            throw ESpellGetError(SpellGetMessage("Unable to download dictionary file %s", name) +
                                 "\r\n\r\nOnly dictionary files (names ending in " +
                                 std::string(kDictionaryExtension) + ") are installed.");
        for (const TDictionaryHeader& other : installed_) {
            if (platform::AnsiSameText(other.Name, header.Name))
                continue;
            for (const std::string& owned : other.FileNames())
                if (platform::AnsiSameText(owned, name))
                    throw ESpellGetError("Unable to install " + header.Name +
                                         ": the dictionary file " + name + " belongs to " +
                                         other.Name + ", which is installed.");
        }
    }
}

void TSpellGetModel::FetchDictionary(const std::string& name, const fs::path& folder,
                                     IDictionaryFetcher& fetcher) {
    // The file arrives under a name of its own and takes the dictionary's
    // name only once the engine has read it: a damaged file never replaces
    // a good one.
    fs::path temporary;
    std::string prefix(1, '.');
    prefix += platform::Cp1252ToUtf8(name);
    prefix += '.';
    try {
        ::close(platform::CreateUniqueFile(folder, prefix, ".download", 0644, temporary));
    } catch (const std::exception& e) {
        throw ESpellGetError(SpellGetMessage("Unable to download dictionary file %s", name) +
                             "\r\n\r\n" + e.what());
    }
    struct TRemove {
        const fs::path& path;
        ~TRemove() {
            std::error_code ec;
            fs::remove(path, ec);
        }
    } removeTemporary{temporary};
    try {
        fetcher.Fetch(name, temporary);
    } catch (const ESpellGetError&) {
        throw;
    } catch (const components::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        throw ESpellGetError(SpellGetMessage("Unable to download dictionary file %s", name) +
                             "\r\n\r\n" + e.what());
    }
    std::string refusal = DictionaryRefusal(name, temporary);
    if (!refusal.empty())
        throw ESpellGetError(SpellGetMessage("Unable to download dictionary file %s", name) +
                             "\r\n\r\n" + refusal);
    std::error_code ec;
    fs::rename(temporary, FileOf(folder, name), ec);
    if (ec)
        throw ESpellGetError(SpellGetMessage("Unable to download dictionary file %s", name) +
                             "\r\n\r\n" + ec.message());
}

void TSpellGetModel::Install(const TSpellGetRow& row, const fs::path& folder,
                             IDictionaryFetcher& fetcher) {
    if (folder.empty())
        throw ESpellGetError(
            "Please specify the folder where the dictionaries should be installed");
    TDictionaryHeader header = row.Header;
    CheckInstallable(header);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        throw ESpellGetError(SpellGetMessage("Cannot create the folder %s", ShownPath(folder)));
    const fs::path registered = registration_.RegisteredFolder();
    if (!installed_.empty() && !registered.empty() && !SameFolder(registered, folder))
        MoveInstalledFiles(registered, folder);

    for (const std::string& name : header.FileNames())
        FetchDictionary(name, folder, fetcher);
    header.Installed = true;
    int index = FindByName(installed_, header.Name);
    if (index >= 0)
        installed_[static_cast<std::size_t>(index)] = header;
    else
        installed_.push_back(header);
    registration_.Write(installed_, folder);
    ReadInstalled();
}

void TSpellGetModel::Uninstall(const TSpellGetRow& row) {
    int index = FindByName(installed_, row.Header.Name);
    if (index < 0)
        return;
    const TDictionaryHeader header = installed_[static_cast<std::size_t>(index)];
    installed_.erase(installed_.begin() + index);
    const fs::path folder = registration_.Folder();
    registration_.Write(installed_, folder);
    ReadInstalled();
    std::vector<std::string> names = header.FileNames();
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        // Whatever else an old registration names (a user word list) is not
        // the download's to delete.
        if (!IsDictionaryFileName(*it))
            continue;
        // A file another installed language names stays.
        bool shared = std::any_of(installed_.begin(), installed_.end(), [&](const auto& other) {
            auto others = other.FileNames();
            return std::find(others.begin(), others.end(), *it) != others.end();
        });
        if (shared)
            continue;
        std::error_code ec;
        fs::remove(FileOf(folder, *it), ec);
    }
}

} // namespace speller
