// Commands for the HTML conversion kit: regular expressions, SHG files,
// picture conversion and Flash movie sizes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bwtool.h"
#include "components/pcreregex.h"
#include "components/rtf/rtfdocument.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/images/bmpreader.h"
#include "helpproject/images/flashmovie.h"
#include "helpproject/images/imagecodecs.h"
#include "helpproject/images/imageconversion.h"
#include "helpproject/shg.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/fileio.h"

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// bwtool regex-replace PATTERN REPLACEMENT [--caseless] [--multiline] < in > out
int RegexReplace(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return 2;
    components::TPcreRegEx re;
    components::TPcreRegExOptions options = 0;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--caseless")
            options |= components::preCaseLess;
        else if (args[i] == "--multiline")
            options |= components::preMultiLine;
        else
            return 2;
    }
    re.SetOptions(options);
    re.SetRegEx(args[0]);
    re.SetReplacement(args[1]);
    re.Study();
    re.SetInputText(std::string(std::istreambuf_iterator<char>(std::cin), {}));
    re.ReplaceEvery();
    std::cout << re.InputText();
    return 0;
}

helpproject::TBitmap LoadPicture(const fs::path& path) {
    const std::string ext = Lower(path.extension().string());
    if (ext == ".shg") {
        helpproject::TSHG shg;
        shg.LoadFromFile(path.string(), false);
        return shg.Bitmap;
    }
    const std::string bytes = platform::ReadFileBytes(path);
    if (ext == ".png")
        return helpproject::DecodePng(bytes);
    if (ext == ".gif")
        return helpproject::DecodeGif(bytes);
    return helpproject::ReadBmp(bytes);
}

// bwtool image-convert IN.(bmp|shg|png|gif) OUT.(png|gif|bmp)
int ImageConvert(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return 2;
    const helpproject::TBitmap bitmap = LoadPicture(args[0]);
    const std::string ext = Lower(fs::path(args[1]).extension().string());
    std::string bytes;
    if (ext == ".png")
        bytes = helpproject::EncodePng(bitmap);
    else if (ext == ".gif")
        bytes = helpproject::EncodeGif(bitmap);
    else if (ext == ".bmp")
        bytes = helpproject::WriteBmp(bitmap);
    else
        return 2;
    platform::WriteFileAtomic(args[1], bytes);
    std::printf("%dx%d\n", bitmap.Width(), bitmap.Height());
    return 0;
}

// bwtool shg-info FILE
int ShgInfo(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return 2;
    helpproject::TSHG shg;
    shg.LoadFromFile(args[0], false);
    std::printf("magic=0x%04X type=%u packing=%u bits=%u size=%ux%u dpi=%ux%u colors=%u "
                "hotspots=%u\n",
                shg.Magic, shg.PictureType, shg.PackingMethod, shg.BitCount, shg.Width, shg.Height,
                shg.XDpi, shg.YDpi, shg.ColorsUsed, shg.HotspotCount);
    for (const auto& spot : shg.Hotspots)
        std::printf("0x%02X %u %u,%u,%u,%u %s=%s\n", spot.HotspotType, spot.HotspotAttr, spot.Left,
                    spot.Top, spot.Width, spot.Height, spot.Name.c_str(), spot.Target.c_str());
    return 0;
}

// bwtool shg-make OUT.shg PICTURE DEPTH [TYPE,LEFT,TOP,WIDTH,HEIGHT,NAME,TARGET]...
int ShgMake(const std::vector<std::string>& args) {
    if (args.size() < 3)
        return 2;
    helpproject::TSHG shg;
    shg.Bitmap = LoadPicture(args[1]);
    shg.Bitmap.Palette.clear();
    shg.BitCount = static_cast<uint16_t>(std::stoi(args[2]));
    for (size_t i = 3; i < args.size(); ++i) {
        std::vector<std::string> f;
        std::stringstream in(args[i]);
        for (std::string part; std::getline(in, part, ',');)
            f.push_back(part);
        if (f.size() != 7)
            return 2;
        helpproject::TBrindlewovenHotspot spot;
        spot.HotspotType = static_cast<uint8_t>(std::stoi(f[0], nullptr, 0));
        spot.HotspotAttr = (spot.HotspotType & 4) ? 4 : 0;
        spot.Left = static_cast<uint16_t>(std::stoi(f[1]));
        spot.Top = static_cast<uint16_t>(std::stoi(f[2]));
        spot.Width = static_cast<uint16_t>(std::stoi(f[3]));
        spot.Height = static_cast<uint16_t>(std::stoi(f[4]));
        spot.Name = f[5];
        spot.Target = f[6];
        shg.Hotspots.push_back(spot);
    }
    shg.SaveToFile(args[0], false);
    return 0;
}

// bwtool swf-size FILE
int SwfSize(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return 2;
    const auto size = helpproject::ReadFlashFrameSize(fs::path(args[0]));
    if (!size) {
        std::printf("unknown\n");
        return 0;
    }
    std::printf("%dx%d\n", size->Width, size->Height);
    return 0;
}

// bwtool html-images PROJECT_FILE OUT_DIR [--gif] [--subfolder] [--bitmap-paths P] NAME...
// Prints the picture list, then "MISSING:" and the missing names.
int HtmlImages(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return 2;
    helpproject::TBrindlewovenProject project;
    project.FileName = args[0];
    bool gif = false, subfolder = false;
    helpproject::TStringList names;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--gif")
            gif = true;
        else if (args[i] == "--subfolder")
            subfolder = true;
        else if (args[i] == "--bitmap-paths" && i + 1 < args.size())
            project.BitmapPaths = args[++i];
        else
            helpproject::AddPictureName(names, args[i]);
    }
    helpproject::TStringList pictures;
    const helpproject::TStringList targets;
    helpproject::TBuildReport report;
    helpproject::ConvertImagesForHtml(
        project, report, names, pictures, true, subfolder, args[1], &targets, nullptr,
        gif ? helpproject::TPictureFormat::Gif : helpproject::TPictureFormat::Png);
    for (const auto& line : pictures)
        std::printf("%s\n", line.c_str());
    std::printf("MISSING:\n");
    for (const auto& name : report.MissingImages)
        std::printf("%s\n", name.c_str());
    return 0;
}

// The bytes a topic holds when its lines are read from the file: every
// line ends with CR LF (a lone LF gains its CR, and a last line without
// one gets it), as the lines joined for the conversion give them.
std::string AsTopicText(std::string bytes) {
    // Where each line feed without its carriage return stands.
    std::vector<std::size_t> loneFeeds;
    for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
        if (at == 0 || bytes[at - 1] != '\r')
            loneFeeds.push_back(at);
    if (!loneFeeds.empty()) {
        std::string text;
        text.reserve(bytes.size() + loneFeeds.size() + 2);
        std::size_t done = 0;
        for (std::size_t at : loneFeeds) {
            text.append(bytes, done, at - done);
            text += '\r';
            done = at;
        }
        text.append(bytes, done);
        bytes = std::move(text);
    }
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += bytes.back() == '\r' ? "\n" : "\r\n";
    return bytes;
}

// bwtool rtf2html IN.rtf [--linebreak]
int RtfToHtmlCommand(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "--linebreak"))
        return 2;
    helpproject::TBrindlewovenProject project;
    rtf::RtfDocument document;
    {
        const std::string text = AsTopicText(platform::ReadFileBytes(args[0]));
        document = rtf::RtfDocument::Parse(text);
    } // the document holds all the conversion needs
    bwtool::StdoutWriter out;
    helpproject::RtfDocumentToHtml(project, document, args.size() == 1, [&out](std::string& line) {
        out.Write(line.c_str()); // up to a zero byte, as a C string prints
        out.Write("\r\n");
    });
    return 0;
}

BW_COMMAND("rtf2html", "IN.rtf [--linebreak]", RtfToHtmlCommand);
BW_COMMAND("regex-replace", "PATTERN REPLACEMENT [--caseless] [--multiline] < IN", RegexReplace);
BW_COMMAND("image-convert", "IN.(bmp|shg|png|gif) OUT.(png|gif|bmp)", ImageConvert);
BW_COMMAND("shg-info", "FILE.shg", ShgInfo);
BW_COMMAND("shg-make", "OUT.shg PICTURE 4|8|24 [TYPE,LEFT,TOP,WIDTH,HEIGHT,NAME,TARGET]...",
           ShgMake);
BW_COMMAND("swf-size", "FILE.swf", SwfSize);
BW_COMMAND("html-images", "PROJECT_FILE OUT_DIR [--gif] [--subfolder] [--bitmap-paths P] NAME...",
           HtmlImages);

} // namespace
