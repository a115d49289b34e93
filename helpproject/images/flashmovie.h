#pragma once
// Flash movies and pictures named by topic codes: collecting their names
// for the image conversion, and the OBJECT markup of a movie with its frame
// size read from the movie's header.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "helpproject/brindlewoventopic.h"

namespace helpproject {

class TBrindlewovenProject;

// The player addresses written into movie markup.
inline constexpr std::string_view FlashPlayerCabinet =
    "https://download.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#version=6,0,0,0";
inline constexpr std::string_view FlashPlayerDownloadPage =
    "https://www.adobe.com/go/getflashplayer";

// Adds every "{bm..." picture and "{flash=" movie name of the page's HTML
// to `names`, which stays sorted and free of duplicates, ignoring case.
void CollectPictureNames(const TBrindlewovenProject& project, std::string_view html,
                         TStringList& names);
// Inserts one name in that order; false when it was there already.
bool AddPictureName(TStringList& names, const std::string& name);

struct TFlashFrameSize {
    int Width = 0;
    int Height = 0;
};
// The frame size of a movie ("FWS" plain, "CWS" zlib-packed); nothing for
// other signatures. Throws EImageError for unreadable files and damaged
// zlib streams.
std::optional<TFlashFrameSize> ReadFlashFrameSize(const std::filesystem::path& path);
std::optional<TFlashFrameSize> ReadFlashFrameSizeFromBytes(std::string_view bytes);

// The OBJECT/EMBED markup for the movie at `path`, playing `src`.
std::string FlashMovieTag(const std::filesystem::path& path, const std::string& src);
std::string FlashMovieMarkup(const std::string& src, const std::optional<TFlashFrameSize>& size);

} // namespace helpproject
