#include "rtf_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "components/rtf/rtfdocument.h"

namespace rtftest {

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string DumpDocument(const rtf::RtfDocument& doc) {
    std::string out;
    auto color = [](const rtf::Color& c) {
        return c.isAuto ? std::string("auto") : std::to_string(c.ToTColor());
    };
    auto chr = [&](const rtf::CharFormat& f) {
        return f.face + "/" + std::to_string(f.charset) + "/" + std::to_string(f.pitch) + "/" +
               std::to_string(static_cast<int>(f.family)) + " fs" + std::to_string(f.size) + " c" +
               color(f.color) + " bg" + color(f.background) + (f.bold ? " b" : "") +
               (f.italic ? " i" : "") + " ul" + std::to_string(static_cast<int>(f.underline)) +
               (f.strike ? " s" : "") + (f.hidden ? " v" : "") + " sc" +
               std::to_string(static_cast<int>(f.script)) + " up" + std::to_string(f.offset);
    };
    for (const rtf::Paragraph& p : doc.Paragraphs()) {
        const rtf::ParaFormat& f = doc.ParaFormatOf(p);
        out += "P al" + std::to_string(static_cast<int>(f.alignment)) + " fi" +
               std::to_string(f.firstIndent) + " li" + std::to_string(f.leftIndent) + " ri" +
               std::to_string(f.rightIndent) + " sb" + std::to_string(f.spaceBefore) + " sa" +
               std::to_string(f.spaceAfter) + " sl" + std::to_string(f.lineSpacing) +
               (f.lineSpacingMultiple ? "m" : "") + " tabs" + std::to_string(f.tabs.size()) +
               (f.bullet ? " bullet" : "") + (f.keepNext ? " keepn" : "") + " mark[" +
               chr(doc.MarkFormatOf(p)) + "]";
        if (p.depth > 0)
            out += " depth" + std::to_string(p.depth) + (p.cellEnd ? " cell" : "");
        out += "\n";
        if (p.row)
            out += "  row " + rtf::EncodeRow(*p.row);
        rtf::ForEachRun(p, [&](const rtf::Run& r, std::string_view text) {
            out += "  [" + chr(doc.FormatOf(r)) + "]" + (r.field ? " field=" + *r.field : "") +
                   (r.IsObject() ? " object=" + *r.object : " \"" + std::string(text) + "\"") +
                   "\n";
        });
    }
    return out;
}

std::string ReadFixture(const std::string& name) {
    return ReadFileBytes(std::string(BW_TEST_DATA) + "/rtf/" + name);
}

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(BW_TEST_DATA) + "/rtf"))
        if (entry.path().extension() == ".rtf")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace rtftest
