#pragma once
// Which dictionary languages are installed, in which folder, and where that
// is written down. A portable installation (the program on a removable
// drive, or one that already keeps the catalogue "VXSpell.ini" in its own
// folder) keeps the catalogue beside the program; any other keeps the
// registry key Software\Vexlor\Dictionaries. Never both: the download window
// writes the set here and the spelling engine reads it back from here.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace speller {

inline constexpr std::string_view kDictionariesKey = "Software\\Vexlor\\Dictionaries";
inline constexpr std::string_view kCatalogueFileName = "VXSpell.ini";
inline constexpr std::string_view kDefaultDataFormat = "win1252";

// One dictionary language.
struct TDictionaryHeader {
    std::string Name;                           // up to 63 characters
    std::string IgnorePrefixes;                 // up to 63
    std::string IgnoreSuffixes;                 // up to 63
    std::string Files;                          // up to 63: file names separated by "|"
    std::string DataFormat{kDefaultDataFormat}; // up to 15
    bool Installed = false;

    // The file names, in order (empty pieces dropped).
    std::vector<std::string> FileNames() const;
    // The name the engine opens first: the text before the first "|", or the
    // whole value when there is none or it stands at the first or second place.
    std::string FirstFileName() const;
};

// Cuts the fields to the sizes the headers hold.
void ClipHeaderFields(TDictionaryHeader& header);

// A name the server or the registration may give a dictionary file: a plain
// file name, never a folder, "." or "..", a drive or an absolute name.
bool IsPlainFileName(std::string_view name);

// The extension of the dictionary files the engine reads.
inline constexpr std::string_view kDictionaryExtension = ".dic";

// A name the download may write: a plain file name with the dictionary
// extension (in any case) after a name of its own. Nothing else the speller
// keeps beside the dictionaries (the user word lists, the catalogue) can
// have it.
bool IsDictionaryFileName(std::string_view name);

// Where the program is and where the user keeps application data.
struct TDictionaryPlaces {
    std::filesystem::path ProgramFolder; // empty: no catalogue is ever used
    bool OnRemovableDrive = false;       // a portable installation
    std::filesystem::path AppDataFolder; // the user's application-data folder
    platform::RootKey Root = platform::RootKey::CurrentUser;
};

class ERegistrationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDictionaryRegistration {
public:
    TDictionaryRegistration(platform::Registry& registry, TDictionaryPlaces places);

    // The catalogue file beside the program (empty without a program folder).
    std::filesystem::path CataloguePath() const;
    // The set lives in the catalogue: the program runs portably or the
    // catalogue exists.
    bool UsesCatalogue() const;

    // Reads the installed set and the dictionary folder. Headers are marked
    // installed when every file they name is in the folder.
    void Read();
    const std::vector<TDictionaryHeader>& Installed() const { return installed_; }
    // The dictionary folder, with a trailing separator in its text.
    const std::filesystem::path& Folder() const { return folder_; }
    // The folder the registration names (empty when none is registered).
    const std::filesystem::path& RegisteredFolder() const { return registeredFolder_; }

    // Writes `installed` with `folder` as the install folder, to the
    // catalogue or to the registry (see UsesCatalogue), then reads it back.
    // Throws ERegistrationError when it cannot be written.
    void Write(const std::vector<TDictionaryHeader>& installed,
               const std::filesystem::path& folder);

    platform::Registry& Registry() const { return registry_; }
    const TDictionaryPlaces& Places() const { return places_; }

private:
    void ReadCatalogue();
    void ReadRegistry();

    platform::Registry& registry_;
    TDictionaryPlaces places_;
    std::vector<TDictionaryHeader> installed_;
    std::filesystem::path folder_;
    std::filesystem::path registeredFolder_;
};

// The default dictionary folder: "Vexlor/Dictionaries" under the
// application-data folder.
std::filesystem::path DefaultDictionaryFolder(const std::filesystem::path& appDataFolder);

} // namespace speller
