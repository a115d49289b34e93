#include "setup/packageheader.h"

#include <charconv>

#include "platform/littleendian.h"

#include "setup/packagenames.h"
#include "setup/packagereader.h"
#include "setup/setuperrors.h"

namespace setup {

namespace {

[[noreturn]] void Invalid(const std::string& detail) {
    throw EInvalidPackage("This is not a valid setup package: " + detail + ".");
}

} // namespace

TFontRecord ParseFontRecord(const unsigned char* bytes) {
    TFontRecord font;
    if (bytes[0] > 31)
        Invalid("a font name is " + std::to_string(bytes[0]) + " characters long (at most 31)");
    font.name.assign(reinterpret_cast<const char*>(bytes + 1), bytes[0]);
    font.color = platform::GetLE32(bytes + 32);
    font.size = bytes[36];
    font.style = bytes[37];
    font.charset = bytes[38];
    return font;
}

std::string TSettings::PublisherText() const {
    std::string text = publisherName;
    if (!publisherUrl.empty())
        text += " (" + publisherUrl + ")";
    return text;
}

std::string TSettings::FullProductTitle() const {
    std::string title;
    for (const std::string* part : {&publisherName, &productName, &productVersion}) {
        if (part->empty())
            continue;
        if (!title.empty())
            title += ' ';
        title += *part;
    }
    return title;
}

bool TSettings::ReleaseDay(std::int32_t& day) const {
    const char* first = releaseDate.data();
    const char* last = first + releaseDate.size();
    auto [ptr, ec] = std::from_chars(first, last, day);
    return ec == std::errc() && ptr == last && !releaseDate.empty();
}

TSettings ParseSettings(const std::string& text, bool backdrop) {
    TSettings s;
    std::string* fields[] = {
        &s.publisherName,        &s.publisherUrl, &s.productName,     &s.productUrl,
        &s.productVersion,       &s.releaseDate,  &s.extraLine,       &s.iconFile,
        &s.readmeFile,           &s.licenceFile,  &s.supportLibrary,  &s.appFolder,
        &s.commonAppFolder,      &s.menuFolder,   &s.backdropPicture, &s.backdropTopCaption,
        &s.backdropBottomCaption};
    std::size_t wanted = backdrop ? 17 : 14;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < wanted; ++i) {
        std::size_t end = text.find('\x0C', pos);
        if (end == std::string::npos)
            Invalid("the settings text ends after " + std::to_string(i) + " of its " +
                    std::to_string(wanted) + " fields");
        *fields[i] = text.substr(pos, end - pos);
        pos = end + 1;
    }
    const std::pair<const std::string*, const char*> files[] = {
        {&s.iconFile, "icon file"},
        {&s.readmeFile, "readme file"},
        {&s.licenceFile, "licence file"},
        {&s.supportLibrary, "support library"},
        {&s.backdropPicture, "backdrop picture"}};
    for (const auto& [name, what] : files)
        if (!name->empty())
            CheckComponentName(*name, what);
    return s;
}

std::vector<std::string> TPackageHeader::SupportFileNames() const {
    std::vector<std::string> names;
    for (const std::string* name : {&settings.iconFile, &settings.readmeFile, &settings.licenceFile,
                                    &settings.supportLibrary})
        if (!name->empty())
            names.push_back(*name);
    if (backdrop && !settings.backdropPicture.empty())
        names.push_back(settings.backdropPicture);
    return names;
}

TPackageHeader ReadPackageHeader(TPackageReader& reader) {
    TPackageHeader h;
    h.uiStrings = TUiStrings(SplitLines(reader.ReadCompressedString()));
    h.settingsText = reader.ReadCompressedString();
    if (h.settingsText.empty())
        Invalid("the settings text is empty");
    if (h.settingsText.back() != '\0') {
        h.hasReservedGroup = true;
        for (auto& text : h.reservedGroup)
            text = reader.ReadCompressedString();
    }
    std::uint8_t mode = reader.ReadByte();
    if (mode > 2)
        Invalid("the install mode is " + std::to_string(mode));
    h.installMode = static_cast<TInstallMode>(mode);
    if (mode != 0) {
        h.portableMarkerKind = reader.ReadByte();
        if (h.portableMarkerKind > 2)
            Invalid("the portable marker kind is " + std::to_string(h.portableMarkerKind));
        h.allDrivesOption = reader.ReadByte() != 0;
        h.portableFolder = reader.ReadCompressedString();
    }
    reader.Read(h.reservedBlock.data(), h.reservedBlock.size());
    h.advancedPage = reader.ReadByte() != 0;
    h.gradient = reader.ReadByte() != 0;
    unsigned char font[TFontRecord::kSize];
    reader.Read(font, sizeof font);
    h.wizardFont = ParseFontRecord(font);
    h.backdrop = reader.ReadByte() != 0;
    if (h.backdrop) {
        std::string record = reader.ReadCompressedString();
        if (record.size() < TBackdropRecord::kSize)
            Invalid("the backdrop record holds " + std::to_string(record.size()) +
                    " bytes instead of 97");
        const auto* b = reinterpret_cast<const unsigned char*>(record.data());
        TBackdropRecord& r = h.backdropRecord;
        r.gradientColor1 = platform::GetLE32(b);
        r.gradientColor2 = platform::GetLE32(b + 4);
        r.topShadowColor = platform::GetLE32(b + 8);
        r.bottomShadowColor = platform::GetLE32(b + 12);
        r.pictureTransparent = b[16] != 0;
        r.topShadow = b[17] != 0;
        r.bottomShadow = b[18] != 0;
        r.topFont = ParseFontRecord(b + 19);
        r.bottomFont = ParseFontRecord(b + 58);
    }
    h.settings = ParseSettings(h.settingsText, h.backdrop);
    return h;
}

} // namespace setup
