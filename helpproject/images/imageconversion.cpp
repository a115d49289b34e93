#include "helpproject/images/imageconversion.h"

#include <fstream>
#include <system_error>
#include <unordered_map>

#include "components/messengerseam.h"
#include "helpproject/bitmapfolders.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/exportprogress.h"
#include "helpproject/helputils.h"
#include "helpproject/images/bmpreader.h"
#include "helpproject/images/flashmovie.h"
#include "helpproject/images/imagecodecs.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"
#include "platform/textutil.h"

namespace helpproject {

namespace {

namespace fs = std::filesystem;

std::string Ansi(const fs::path& path) {
    return platform::Utf8ToCp1252(path.string());
}

// A key that names a file the same way however the path was written.
std::string FileKey(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    if (ec)
        canonical = fs::absolute(path, ec).lexically_normal();
    return platform::AnsiLowerCase(Ansi(canonical));
}

// A picture's words for readers who cannot see it: its name, without
// folder and extension.
std::string PictureAlt(const std::string& name) {
    const std::string file = platform::ExtractFileName(name, "\\/:");
    return " ALT=\"" + platform::HtmlEscape(platform::ChangeFileExt(file, "", "\\/:")) + "\"";
}

std::string SizedImg(const std::string& src, int width, int height, const std::string& name) {
    return "<IMG SRC=\"" + src + "\" WIDTH=\"" + std::to_string(width) + "\" HEIGHT=\"" +
           std::to_string(height) + "\" BORDER=\"0\"" + PictureAlt(name) + ">";
}

const std::string* LookUpTarget(const TStringList& targets, const std::string& key) {
    for (const std::string& line : targets) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos &&
            platform::AnsiSameText(std::string_view(line).substr(0, eq), key))
            return &line;
    }
    return nullptr;
}

void WriteBytes(const fs::path& destination, const std::string& bytes) {
    platform::WriteFileAtomic(destination, bytes);
}

} // namespace

std::vector<fs::path> PictureSearchFolders(const TBrindlewovenProject& project) {
    fs::path projectFolder;
    if (!project.FileName.empty())
        projectFolder = fs::absolute(fs::path(project.FileName)).parent_path();
    std::vector<fs::path> folders;
    // Folders separated by ";" as this search has always read them, and by
    // "," as the commands and the component-help generator write them.
    for (const std::string& entry : BitmapFolderEntries(project.BitmapPaths, ";,")) {
        try {
            folders.push_back(platform::resolvePath(entry, projectFolder));
        } catch (const platform::PlatformError&) {
            // A drive letter with no folder mapped to it holds no pictures.
        }
    }
    if (!projectFolder.empty())
        folders.push_back(projectFolder);
    folders.emplace_back();
    return folders;
}

fs::path FindPictureFile(const std::vector<fs::path>& folders, const std::string& name) {
    if (TrimText(name).empty())
        return {};
    for (const fs::path& folder : folders) {
        fs::path candidate;
        try {
            candidate = platform::resolvePath(name, folder);
        } catch (const platform::PlatformError&) {
            continue;
        }
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec))
            return candidate;
    }
    return {};
}

fs::path FindPictureFile(const TBrindlewovenProject& project, const std::string& name) {
    return FindPictureFile(PictureSearchFolders(project), name);
}

bool CopyFileIfDifferent(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec))
        return false;
    WriteBytes(destination, platform::ReadFileBytes(source));
    return true;
}

std::string ImageMapMarkup(const std::string& name, const std::vector<TBrindlewovenHotspot>& spots,
                           const TStringList& targets, bool popupsAsScript, const std::string& src,
                           int width, int height) {
    // A drive letter's colon ends a folder as a separator does.
    const std::string mapName = platform::ChangeFileExt(name, "", "\\/:");
    std::string out = "\r\n<MAP NAME=\"" + mapName + "\">\r\n";
    for (const TBrindlewovenHotspot& spot : spots) {
        std::string context = spot.Target;
        const size_t mark = context.find_first_of("@>");
        if (mark != std::string::npos && mark > 0)
            context.resize(mark);
        const std::string* line = LookUpTarget(targets, context);
        if (!line)
            continue;
        const std::string url = line->substr(line->find('=') + 1);
        out += "<AREA SHAPE=\"RECT\" COORDS=\"" + std::to_string(spot.Left) + "," +
               std::to_string(spot.Top) + "," + std::to_string(int{spot.Left} + spot.Width - 1) +
               "," + std::to_string(int{spot.Top} + spot.Height - 1) + "\"";
        if (popupsAsScript && spot.IsPopup())
            out += " HREF=\"javascript:popuplink('" + url + "')\"";
        else
            out += " HREF=\"" + url + "\"";
        // A hotspot's words are its title.
        out += " ALT=\"" + platform::HtmlEscape(spot.Name) + "\">";
        out += "\r\n";
    }
    out += "</MAP><IMG SRC=\"" + src + "\" WIDTH=\"" + std::to_string(width) + "\" HEIGHT=\"" +
           std::to_string(height) + "\" BORDER=\"0\"" + PictureAlt(name) + " ISMAP USEMAP=\"#" +
           mapName + "\">";
    return out;
}

void ConvertImagesForHtml(const TBrindlewovenProject& project, TBuildReport& report,
                          const TStringList& names, TStringList& pictures, bool popupsAsScript,
                          bool imagesSubfolder, const fs::path& outputFolder,
                          const TStringList* targets, components::IMessenger* messenger,
                          TPictureFormat format) {
    if (names.empty())
        return;
    const bool png = format == TPictureFormat::Png ||
                     (format == TPictureFormat::FromProject && project.HtmlPngImages);
    if (messenger)
        messenger->BeginProgress(png ? "Converting BMPs and SHGs to PNGs..."
                                     : "Converting BMPs and SHGs to GIFs...",
                                 static_cast<std::int64_t>(names.size()));
    const std::vector<fs::path> folders = PictureSearchFolders(project);
    const fs::path folder = imagesSubfolder ? outputFolder / "images" : outputFolder;
    {
        // The "images" folder, and the output folder itself when the writer
        // has not made it yet.
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec)
            throw EProjectError(
                platform::SystemErrorMessage("Cannot create the folder", folder, ec.value()));
    }
    const std::string prefix = imagesSubfolder ? "../images/" : "";

    // Every source first, so that no output lands on a picture still to be
    // read (a.bmp becoming a.png beside the user's own a.png).
    std::vector<fs::path> found(names.size());
    std::vector<std::string> sourceKeys(names.size());
    std::unordered_map<std::string, size_t> sources;
    for (size_t i = 0; i < names.size(); ++i) {
        found[i] = FindPictureFile(folders, names[i]);
        if (!found[i].empty()) {
            report.FilesRead.push_back(found[i].string());
            sourceKeys[i] = FileKey(found[i]);
            sources.try_emplace(sourceKeys[i], i);
        }
    }
    std::unordered_map<std::string, size_t> written;

    for (size_t i = 0; i < names.size(); ++i) {
        CheckHtmlExportAbort(messenger, static_cast<std::int64_t>(i));
        const std::string& name = names[i];
        const fs::path& source = found[i];
        if (source.empty()) {
            report.MissingImages.push_back(name);
            continue;
        }
        const std::string extension = platform::AnsiLowerCase(Ansi(source.extension()));
        const bool convert = extension == ".bmp" || extension == ".shg";
        const bool copy = extension == ".jpg" || extension == ".jpeg" || extension == ".gif" ||
                          extension == ".png" || extension == ".swf";
        if (!convert && !copy)
            continue;
        fs::path fileName = source.filename();
        if (convert)
            fileName.replace_extension(png ? ".png" : ".gif");
        const fs::path destination = folder / fileName;
        const std::string src = prefix + Ansi(fileName);

        const std::string key = FileKey(destination);
        auto failure = [&name](const std::string& reason) {
            return EProjectError("The following error occurred while trying to convert " + name +
                                 ":\r" + reason);
        };
        // Two names of one file (pic.bmp and .\pic.bmp) make the same output.
        if (auto it = written.find(key);
            it != written.end() && sourceKeys[it->second] != sourceKeys[i])
            throw failure("Its output file " + Ansi(fileName) +
                          " would overwrite the one made for " + names[it->second] + ".");
        if (auto it = sources.find(key); it != sources.end() && it->first != sourceKeys[i])
            throw failure("Its output file " + Ansi(fileName) + " would overwrite the picture " +
                          names[it->second] + ".");

        std::string markup;
        bool copied = true;
        try {
            if (extension == ".jpg" || extension == ".jpeg") {
                copied = CopyFileIfDifferent(source, destination);
                markup = "<IMG SRC=\"" + src + "\" BORDER=\"0\"" + PictureAlt(name) + ">";
            } else if (extension == ".swf") {
                copied = CopyFileIfDifferent(source, destination);
                markup = FlashMovieTag(source, src);
            } else if (extension == ".gif" || extension == ".png") {
                const TImageSize size =
                    extension == ".gif" ? ReadGifSize(source) : ReadPngSize(source);
                copied = CopyFileIfDifferent(source, destination);
                markup = SizedImg(src, size.Width, size.Height, name);
            } else {
                TSHG shg;
                const TBitmap* bitmap = nullptr;
                TBitmap bmp;
                if (extension == ".shg") {
                    shg.LoadFromFile(source.string(), false);
                    bitmap = &shg.Bitmap;
                } else {
                    bmp = LoadBmpFile(source);
                    bitmap = &bmp;
                }
                WriteBytes(destination, png ? EncodePng(*bitmap) : EncodeGif(*bitmap));
                if (targets && !shg.Hotspots.empty())
                    markup = ImageMapMarkup(name, shg.Hotspots, *targets, popupsAsScript, src,
                                            bitmap->Width(), bitmap->Height());
                else
                    markup = SizedImg(src, bitmap->Width(), bitmap->Height(), name);
            }
        } catch (const components::EAbort&) {
            throw;
        } catch (const std::exception& e) {
            // A half-made output goes; a source never does.
            std::error_code ec;
            if (sources.find(key) == sources.end() && written.find(key) == written.end())
                fs::remove(destination, ec);
            throw failure(e.what());
        }
        written.emplace(key, i);
        if (copied)
            report.FilesWritten.push_back(destination.string());
        pictures.push_back(name + "=" + markup);
    }
    CheckHtmlExportAbort(messenger, static_cast<std::int64_t>(names.size()));
}

} // namespace helpproject
