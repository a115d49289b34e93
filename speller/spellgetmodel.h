#pragma once
// What the dictionary download window does, without the window and without
// the network: the catalogue the dictionary server answers, the rows of the
// language list, installing (with the move of the installed files into a
// new folder) and uninstalling, and the registration of the installed set.
// The files come through an IDictionaryFetcher (HTTP in the program, files
// of a folder in tests).
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "speller/dictionaryregistration.h"

namespace speller {

// The dictionary server, unless the registry names another (value "Server"
// under the speller's key).
inline constexpr std::string_view kDefaultDictionaryServer = "http://www.vexlor.example";
inline constexpr std::string_view kCatalogueRequest = "/cgi-bin/spell3.pl?0+0";
inline constexpr std::string_view kDictionaryFileFolder = "/spell/";
inline constexpr std::string_view kSpellGetUserAgent = "Brindlewoven 7.7.6";
inline constexpr std::string_view kSpellGetAccept = "text/plain, */*";

// An error the download window shows in its error box.
class ESpellGetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server's answer to the catalogue request, by its first line.
struct TCatalogueReply {
    enum TKind { List, Error, Refusal, Other } Kind = Other; // Refusal: "666"
    // ERROR and 666: the other lines, to be shown.
    std::string Message;
    // LIST: the offered languages.
    std::vector<TDictionaryHeader> Offered;
    // LIST: languages left out because a file name is not a plain name of a
    // dictionary file.
    std::vector<std::string> Refused;
};
TCatalogueReply ParseCatalogueReply(std::string_view body);

// Fetches one dictionary file from the server into `target`, replacing it
// only when the whole file arrived. Throws (with the reason) on failure, and
// components::EAbort when the person cancelled the transfer.
class IDictionaryFetcher {
public:
    virtual ~IDictionaryFetcher() = default;
    virtual void Fetch(const std::string& fileName, const std::filesystem::path& target) = 0;
};

struct TSpellGetRow {
    std::string Language;
    std::string InstalledText; // "YES" or "no"
    TDictionaryHeader Header;
};

class TSpellGetModel {
public:
    explicit TSpellGetModel(TDictionaryRegistration& registration);

    // Reads what is installed (at creation and after every change).
    void ReadInstalled();
    const std::vector<TDictionaryHeader>& Installed() const { return installed_; }
    const std::vector<TDictionaryHeader>& Offered() const { return offered_; }
    // The dictionary folder to show.
    const std::filesystem::path& Folder() const { return registration_.Folder(); }
    // A portable program keeps its dictionaries beside it: the folder is fixed.
    bool FolderFixed() const { return registration_.Places().OnRemovableDrive; }

    // The offered languages of a catalogue, marked installed when an
    // installed language has the same name.
    void SetOffered(std::vector<TDictionaryHeader> offered);

    // Every offered language, then every installed one the server did not offer.
    std::vector<TSpellGetRow> Rows() const;
    struct TButtons {
        bool Install = false;
        bool Uninstall = false;
    };
    static TButtons ButtonsFor(const TSpellGetRow* row);

    // Installs the row's language into `folder` (moving the installed
    // dictionaries there first when it is another folder) and registers it.
    // Only dictionary files are written, never a file another installed
    // language names, and each only after the engine has read it; anything
    // else is refused before the first file changes. A cancelled transfer
    // throws components::EAbort.
    void Install(const TSpellGetRow& row, const std::filesystem::path& folder,
                 IDictionaryFetcher& fetcher);
    // Unregisters the row's language, then deletes the files that no other
    // installed language names.
    void Uninstall(const TSpellGetRow& row);

private:
    // Throws ESpellGetError when the language names a file the download may
    // not write.
    void CheckInstallable(const TDictionaryHeader& header) const;
    void FetchDictionary(const std::string& name, const std::filesystem::path& folder,
                         IDictionaryFetcher& fetcher);
    void MoveInstalledFiles(const std::filesystem::path& from, const std::filesystem::path& to);
    void MarkOffered();

    TDictionaryRegistration& registration_;
    std::vector<TDictionaryHeader> installed_;
    std::vector<TDictionaryHeader> offered_;
};

// Why the file the server sent for the dictionary `name` may not be
// installed (the engine cannot read it, or it holds no words); empty when
// it may.
std::string DictionaryRefusal(const std::string& name, const std::filesystem::path& file);

// "Unable to move dictionary file %0:s to its new location %1:s" and its kin.
std::string SpellGetMessage(std::string_view format, std::string_view first,
                            std::string_view second = {});

} // namespace speller
