#pragma once
// Pictures and movies for HTML output: each name the topics use is found on
// the project's picture search path, written into the output (BMP and SHG
// converted to PNG or GIF, JPEG, GIF, PNG and Flash files copied), and given
// the markup that stands for it in the pages. SHG hotspots become
// client-side image maps.
#include <filesystem>
#include <string>
#include <vector>

#include "helpproject/brindlewoventopic.h"
#include "helpproject/build/buildreport.h"
#include "helpproject/shg.h"

namespace components {
class IMessenger;
}

namespace helpproject {

class TBrindlewovenProject;

enum class TPictureFormat {
    FromProject, // the project's PNG/GIF choice
    Png,
    Gif,
};

// The folders tried, in order: each part of the project's bitmap paths
// (split at ";" and at ","; relative ones from the project's folder), the
// project's folder, and an empty entry for the name as given.
std::vector<std::filesystem::path> PictureSearchFolders(const TBrindlewovenProject& project);
// The first folder + name that is a file; an empty path when none is.
std::filesystem::path FindPictureFile(const std::vector<std::filesystem::path>& folders,
                                      const std::string& name);
std::filesystem::path FindPictureFile(const TBrindlewovenProject& project, const std::string& name);
// Copies over `destination`, unless both name the same file; true when it
// copied.
bool CopyFileIfDifferent(const std::filesystem::path& source,
                         const std::filesystem::path& destination);

// The image map of an SHG's hotspots (markup begins with a line break).
// Hotspots whose topic is not in `targets` are left out.
std::string ImageMapMarkup(const std::string& name, const std::vector<TBrindlewovenHotspot>& spots,
                           const TStringList& targets, bool popupsAsScript, const std::string& src,
                           int width, int height);

// Converts and copies every picture of `names` into `outputFolder` (or its
// "images" folder), appending "name=markup" lines to `pictures`, names not
// found to the report's missing pictures and the files written to its list.
// Without `targets` no image maps are made. Any failure stops the run with
// "The following error occurred while trying to convert <name>:\r<reason>";
// the messenger shows the stage in its gauge and the user's abort throws
// components::EAbort("HTML Export aborted by user"). No file is written over
// a source picture or over a file written earlier in the same run.
void ConvertImagesForHtml(const TBrindlewovenProject& project, TBuildReport& report,
                          const TStringList& names, TStringList& pictures, bool popupsAsScript,
                          bool imagesSubfolder, const std::filesystem::path& outputFolder,
                          const TStringList* targets, components::IMessenger* messenger = nullptr,
                          TPictureFormat format = TPictureFormat::FromProject);

} // namespace helpproject
