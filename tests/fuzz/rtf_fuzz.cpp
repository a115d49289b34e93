// Fuzz target of the RTF engine: tokenizer, header, token edits, parser,
// document edits and writer on arbitrary bytes. Beyond "no crash, no hang,
// no sanitizer report" it checks the engine's promises: tokens give the
// input back byte for byte, an identity rewrite changes nothing, and what the
// writer produces reads back as the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfedit.h"
#include "components/rtf/rtferror.h"
#include "components/rtf/rtffootnotes.h"
#include "components/rtf/rtfheader.h"
#include "components/rtf/rtfmarkupcodes.h"
#include "components/rtf/rtftokenizer.h"
#include "components/rtf/rtfwriter.h"
#include "components/rtf/unicodeconversion.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    std::string error;
    std::vector<rtf::Token> tokens = rtf::Tokenize(input, &error);
    std::string joined;
    for (const rtf::Token& t : tokens)
        joined += t.raw;
    Check(error.empty() ? joined == input : input.substr(0, joined.size()) == joined);

    rtf::RtfHeader header = rtf::ReadHeader(input);
    rtf::TableMerger merger;
    rtf::TableRemap remap = merger.Add(header);
    const std::string remapped = rtf::RemapTables(input, remap);
    if (error.empty())
        Check(rtf::RewriteGroups(input, [](const rtf::GroupView&) { return std::nullopt; }) ==
              input);
    (void)rtf::FindMarkupCodes(input);
    (void)rtf::FindFootnotes(input);
    (void)rtf::SplitAtPage(input);
    (void)rtf::RemoveDestination(input, "pntext");
    (void)rtf::ConvertReadBytes(input);

    try {
        rtf::RtfDocument doc = rtf::RtfDocument::Parse(input);
        const std::string written = rtf::WriteRtf(doc);
        rtf::RtfDocument again = rtf::RtfDocument::Parse(written);
        Check(again == doc);
        Check(rtf::WriteRtf(again) == written);

        // A few edits driven by the input's own bytes.
        const std::size_t length = doc.TextLength();
        if (length > 0 && size > 2) {
            const std::size_t a = data[0] % length;
            const std::size_t b = data[1] % (length + 2);
            rtf::CharFormat f = doc.CharFormatAt(a);
            f.bold = !f.bold;
            doc.SetCharFormat(a, b, f, rtf::kCharBold);
            doc.InsertText(b, input.substr(0, size % 7), f);
            doc.Erase(b, a);
            doc.InsertRtf(a % (doc.TextLength() + 1), input.substr(0, 64));
            Check(doc.Text().size() == doc.TextLength());
            Check(rtf::RtfDocument::Parse(rtf::WriteRtf(doc)).Text() == doc.Text());
        }
    } catch (const rtf::ERtfError&) {
        Check(!error.empty());
    }
    return 0;
}
