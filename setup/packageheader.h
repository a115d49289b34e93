#pragma once
// The package header: UI strings, settings text, install mode, wizard font
// and backdrop, read in file order right after the volume size.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/uistrings.h"

namespace setup {

class TPackageReader;

struct TFontRecord {
    static constexpr std::size_t kSize = 39;
    std::string name;
    std::uint32_t color = 0;
    std::uint8_t size = 0;
    std::uint8_t style = 0; // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    std::uint8_t charset = 0;
};
// Throws EInvalidPackage when the name length is out of range.
TFontRecord ParseFontRecord(const unsigned char* bytes);

struct TBackdropRecord {
    static constexpr std::size_t kSize = 97;
    std::uint32_t gradientColor1 = 0;
    std::uint32_t gradientColor2 = 0;
    std::uint32_t topShadowColor = 0;
    std::uint32_t bottomShadowColor = 0;
    bool pictureTransparent = false;
    bool topShadow = false;
    bool bottomShadow = false;
    TFontRecord topFont;
    TFontRecord bottomFont;
};

// The settings text's fields, in the order they are consumed.
struct TSettings {
    std::string publisherName;
    std::string publisherUrl;
    std::string productName;
    std::string productUrl;
    std::string productVersion;
    std::string releaseDate; // decimal day number (days since 30 December 1899)
    std::string extraLine;
    std::string iconFile;
    std::string readmeFile;
    std::string licenceFile;
    std::string supportLibrary;
    std::string appFolder;
    std::string commonAppFolder;
    std::string menuFolder;
    // Only consumed when the backdrop flag is set.
    std::string backdropPicture;
    std::string backdropTopCaption;
    std::string backdropBottomCaption;

    // Publisher name, then " (" URL ")" when a URL is given.
    std::string PublisherText() const;
    // Publisher, product and version joined by blanks, empty parts left out.
    std::string FullProductTitle() const;
    // The release date as a day number; false when it is not one.
    bool ReleaseDay(std::int32_t& day) const;
};

enum class TInstallMode : std::uint8_t { NormalOnly = 0, NormalOrPortable = 1, PortableOnly = 2 };

struct TPackageHeader {
    TUiStrings uiStrings;
    std::string settingsText;
    TSettings settings;
    bool hasReservedGroup = false;
    std::array<std::string, 3> reservedGroup;
    TInstallMode installMode = TInstallMode::NormalOnly;
    std::uint8_t portableMarkerKind = 0; // 0 never, 1 unless removable, 2 always
    bool allDrivesOption = false;
    std::string portableFolder;
    std::array<std::uint8_t, 68> reservedBlock{};
    bool advancedPage = false;
    bool gradient = false;
    TFontRecord wizardFont;
    bool backdrop = false;
    TBackdropRecord backdropRecord;

    // The support files the header names, in the order their blobs follow:
    // icon, readme, licence, support library, backdrop picture.
    std::vector<std::string> SupportFileNames() const;
};

// Reads the header at the reader's position. Counts, lengths and names are
// checked; a fault throws EInvalidPackage or EPackageDamaged.
TPackageHeader ReadPackageHeader(TPackageReader& reader);

// Splits the settings text at the character 12 into the fields above.
// `backdrop` says whether fields 15 to 17 are consumed.
TSettings ParseSettings(const std::string& settingsText, bool backdrop);

} // namespace setup
