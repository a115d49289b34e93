// rtf-text: the plain text the engine reads from an RTF file, as UTF-8, one
// paragraph per line. rtf-roundtrip: parse and write back in the program's
// layout. Both exit non-zero with a message on refused input.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bwtool.h"
#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtfwriter.h"
#include "components/rtf/unicodeconversion.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"

namespace {

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int RtfText(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bwtool rtf-text IN.rtf\n");
        return 2;
    }
    rtf::RtfDocument doc;
    try {
        // One buffer: read once, converted where it stands, dropped once read.
        std::string bytes;
        try {
            bytes = platform::ReadFileBytes(args[0]);
        } catch (const platform::PlatformError&) {
            std::fprintf(stderr, "Cannot read %s\n", args[0].c_str());
            return 1;
        }
        rtf::ConvertReadBytesInPlace(bytes);
        doc = rtf::RtfDocument::Parse(bytes);
    } catch (const rtf::ERtfError& e) {
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(), e.what());
        return 1;
    }
    bwtool::StdoutWriter out;
    for (const rtf::Paragraph& p : doc.Paragraphs()) {
        out.Write(platform::Cp1252ToUtf8(p.text));
        out.Write("\n");
    }
    return 0;
}

int RtfRoundtrip(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bwtool rtf-roundtrip IN.rtf OUT.rtf\n");
        return 2;
    }
    std::string bytes;
    if (!ReadFile(args[0], bytes)) {
        std::fprintf(stderr, "Cannot read %s\n", args[0].c_str());
        return 1;
    }
    std::string written;
    try {
        written = rtf::WriteRtf(rtf::RtfDocument::Parse(rtf::ConvertReadBytes(bytes)));
    } catch (const rtf::ERtfError& e) {
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(), e.what());
        return 1;
    }
    // Written beside the target and renamed, so a failure leaves the old file.
    const std::string temp = args[1] + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(written.data(), static_cast<std::streamsize>(written.size()));
        out.flush();
        if (!out) {
            std::fprintf(stderr, "Cannot write %s\n", temp.c_str());
            std::remove(temp.c_str());
            return 1;
        }
    }
    if (std::rename(temp.c_str(), args[1].c_str()) != 0) {
        std::fprintf(stderr, "Cannot write %s\n", args[1].c_str());
        std::remove(temp.c_str());
        return 1;
    }
    return 0;
}

} // namespace

BW_COMMAND("rtf-text", "IN.rtf", RtfText);
BW_COMMAND("rtf-roundtrip", "IN.rtf OUT.rtf", RtfRoundtrip);
