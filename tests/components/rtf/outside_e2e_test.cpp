// Outside readers check the engine: unrtf must read the same words from our
// fixtures (made by hand and by pandoc) as we do, and from what we write.
// The test driver's rtf commands are exercised end to end as well.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "components/rtf/rtfdocument.h"
#include "components/rtf/rtfwriter.h"
#include "platform/codepage.h"
#include "rtf_support.h"

namespace {

struct Output {
    int status = -1;
    std::string out;
};

Output RunCommand(const std::string& command) {
    Output result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        result.out.append(buffer.data(), n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool HaveProgram(const std::string& name) {
    return RunCommand("command -v " + name + " >/dev/null 2>&1 && echo yes").out == "yes\n";
}

// Words as runs of ASCII letters and digits: both readers then agree on text
// that one writes as "?" and the other as the character itself.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string cur;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            cur += c;
        } else if (!cur.empty()) {
            words.push_back(cur);
            cur.clear();
        }
    }
    if (!cur.empty())
        words.push_back(cur);
    return words;
}

// unrtf's text without its banner and its notes about pictures.
std::string UnrtfText(const std::string& path) {
    Output o = RunCommand("unrtf --text '" + path + "' 2>/dev/null");
    std::string text = o.out;
    std::size_t rule = text.find("-----------------\n");
    if (rule != std::string::npos)
        text = text.substr(rule + 18);
    // Its notes about pictures ("### picture data found ...", then the name
    // of the file it would write, "pict001.wmf") are not text of the document.
    for (std::size_t at; (at = text.find("### ")) != std::string::npos;) {
        std::size_t end = text.find('\n', at);
        text.replace(at, end == std::string::npos ? std::string::npos : end + 1 - at, " ");
    }
    for (std::size_t at = 0; (at = text.find("pict", at)) != std::string::npos;) {
        std::size_t end = at + 4;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > at + 4 && end < text.size() && text[end] == '.') {
            ++end;
            while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])))
                ++end;
            text.replace(at, end - at, " ");
        } else {
            at = end;
        }
    }
    return text;
}

std::string OurText(const std::string& bytes) {
    rtf::RtfDocument doc = rtf::RtfDocument::Parse(bytes);
    return platform::Cp1252ToUtf8(doc.Text());
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("bw-rtf-" + std::to_string(getpid()) + "-" + name))
        .string();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Footnotes are objects of the document model while unrtf prints their text
// in line (the WinHelp topic file is checked at token level instead), unrtf
// does not honour the length of "\bin" data, and it does not know the cell
// ends of nested tables ("\nestcell"), so it runs their cells' words together.
bool ComparedWithUnrtf(const std::string& name) {
    return name != "winhelp.rtf" && name != "binpict.rtf" && name != "tables.rtf";
}

} // namespace

TEST(OutsideReaders, UnrtfReadsTheSameWordsFromTheFixtures) {
    if (!HaveProgram("unrtf"))
        GTEST_SKIP() << "unrtf is not installed";
    int compared = 0;
    for (const std::string& name : rtftest::FixtureNames()) {
        if (!ComparedWithUnrtf(name))
            continue;
        SCOPED_TRACE(name);
        const std::string path = std::string(BW_TEST_DATA) + "/rtf/" + name;
        std::vector<std::string> ours = Words(OurText(rtftest::ReadFixture(name)));
        EXPECT_FALSE(ours.empty());
        EXPECT_EQ(ours, Words(UnrtfText(path)));
        ++compared;
    }
    EXPECT_GE(compared, 4);
}

TEST(OutsideReaders, UnrtfReadsWhatWeWrite) {
    if (!HaveProgram("unrtf"))
        GTEST_SKIP() << "unrtf is not installed";
    for (const std::string& name : rtftest::FixtureNames()) {
        if (!ComparedWithUnrtf(name))
            continue;
        SCOPED_TRACE(name);
        rtf::RtfDocument doc = rtf::RtfDocument::Parse(rtftest::ReadFixture(name));
        const std::string path = TempPath(name);
        WriteBytes(path, rtf::WriteRtf(doc));
        EXPECT_EQ(Words(platform::Cp1252ToUtf8(doc.Text())), Words(UnrtfText(path)));
        std::filesystem::remove(path);
    }
}

TEST(OutsideReaders, PandocWritesWhatWeRead) {
    if (!HaveProgram("pandoc"))
        GTEST_SKIP() << "pandoc is not installed";
    // A fresh conversion by the installed pandoc, next to the stored one.
    const std::string md = std::string(BW_TEST_DATA) + "/rtf/pandoc-notes.md";
    Output o = RunCommand("pandoc -s -t rtf '" + md + "'");
    ASSERT_EQ(o.status, 0);
    rtf::RtfDocument doc = rtf::RtfDocument::Parse(o.out);
    std::string text = doc.Text();
    EXPECT_NE(text.find("Release notes\r"), std::string::npos);
    EXPECT_NE(text.find("caf\xE9, na\xEFve, \xC5ngstr\xF6m, \x93"
                        "curly quotes\x94 \x97"),
              std::string::npos);
    EXPECT_NE(text.find("\xA9 \xAE \x99 \x80 \xA3 \xA5 \xA7 \xB6 \xBD"), std::string::npos);
    EXPECT_NE(text.find("indented line 2 { braces } and \\backslash"), std::string::npos);
    EXPECT_TRUE(rtf::RtfDocument::Parse(rtf::WriteRtf(doc)) == doc);
}

TEST(BwTool, RtfTextAndRoundTrip) {
    const std::string tool = std::string(BW_TOOLS_DIR) + "/bwtool";
    if (!std::filesystem::exists(tool))
        GTEST_SKIP() << "bwtool is not built";
    const std::string in = std::string(BW_TEST_DATA) + "/rtf/richedit.rtf";
    Output text = RunCommand("'" + tool + "' rtf-text '" + in + "'");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("Centred red and black text.\n"), std::string::npos);
    EXPECT_NE(text.out.find("caf\xC3\xA9 \xE2\x82\xAC"), std::string::npos); // UTF-8

    const std::string out = TempPath("roundtrip.rtf");
    Output rt = RunCommand("'" + tool + "' rtf-roundtrip '" + in + "' '" + out + "'");
    ASSERT_EQ(rt.status, 0);
    std::string written = rtftest::ReadFileBytes(out);
    EXPECT_EQ(written.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl", 0), 0u);
    EXPECT_TRUE(rtf::RtfDocument::Parse(written) ==
                rtf::RtfDocument::Parse(rtftest::ReadFixture("richedit.rtf")));

    // Refused input: a message and a non-zero exit, and the target is kept.
    const std::string deep = TempPath("deep.rtf");
    WriteBytes(deep, "{\\rtf1 " + std::string(5000, '{') + "}");
    Output bad = RunCommand("'" + tool + "' rtf-roundtrip '" + deep + "' '" + out + "' 2>&1");
    EXPECT_NE(bad.status, 0);
    EXPECT_NE(bad.out.find("nested more than 1000"), std::string::npos);
    EXPECT_EQ(rtftest::ReadFileBytes(out), written);
    Output badText = RunCommand("'" + tool + "' rtf-text '" + deep + "' 2>&1");
    EXPECT_NE(badText.status, 0);
    std::filesystem::remove(out);
    std::filesystem::remove(deep);
}
