#include "winhelp_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace winhelptest {

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;
using helpproject::TStringList;

TScratch::TScratch() {
    std::string pattern = (fs::temp_directory_path() / "bwwinhelp.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TScratch::~TScratch() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

TStringList TopicText(const std::string& fonts, const std::string& colors, const TStringList& body,
                      int deff) {
    TStringList lines;
    lines.push_back("{\\rtf1\\ansi\\deff" + std::to_string(deff) + "{\\fonttbl" + fonts + "}");
    lines.push_back("{\\colortbl " + colors + "}");
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

helpproject::TWinHelpSourceFiles GuideFiles(const fs::path& folder) {
    return {(folder / "guide.hpj").string(), (folder / "guide.rtf").string(), {}};
}

std::unique_ptr<TBrindlewovenProject> MakeGuideProject(const fs::path& folder) {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->DeleteTopic(10); // the new project's "<new topic>"
    fs::create_directories(folder / "images");
    const std::string out = folder.string();
    project->FileName = out + "/guide.bwv";
    project->Title = "Lantern Guide";
    project->Copyright = "(c) Tallowmere */ Works";
    project->Citation = "Cite";
    project->Compress = true;
    project->LocaleID = "  0x0409   English (U.S.)";
    project->Compiler = helpproject::THelpCompiler::WinHelp32;
    project->BuildTags = "Pro";
    project->BitmapPaths = "images, missing";
    project->Windows = {"main=\"Lantern\",(10,10,500,400),0"};
    project->ContentsIndexes = {"Other=other.hlp"};
    project->ContentsLines = {"1 Getting started",  "2 Introduction=intro", "2 Wicks=wicks>main",
                              "2 Oil=OIL",          "2 Gone=nothere",       "2 Macro=!Beep()",
                              "2 Other=x@other.hlp"};

    auto* intro = project->AddTopic(10, "Introduction");
    intro->TopicID = "intro";
    intro->KKeywords = "lamp;oil";
    intro->BrowseSequence = "main:000010";
    intro->Window = "main";
    intro->EntryMacro = "!Beep()";
    intro->SetText(
        TopicText("{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}{\\f1\\froman Times New Roman;}",
                  ";\\red0\\green128\\blue0;",
                  {"\\pard\\f0\\fs20 See {\\cf1\\uldb wicks}\\{linkID=20\\} and \\f1 Times\\par",
                   "\\pard\\f0 Bye\\'e9\\par }"}));

    auto* wicks = project->AddTopic(20, "Wicks");
    wicks->TopicID = "wicks";
    wicks->BuildTag = "Net";
    wicks->AKeywords = "wick";
    wicks->SetText(
        TopicText("{\\f0\\froman Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}",
                  ";\\red255\\green0\\blue0;\\red0\\green128\\blue0;",
                  {"\\pard\\f1\\fs20 Red \\cf1 text\\cf0  and \\cf2 green\\cf0\\par }"}));

    auto* oil = project->AddTopic(30, "Oil {1}");
    oil->TopicID = "oil";
    oil->BuildTag = "Pro";
    oil->KKeywords = "oil";
    oil->SetText(TopicText("{\\f1\\fswiss\\fcharset0{\\*\\falt Helvetica} Arial;}", ";",
                           {"\\pard\\f1\\fs20 Oil \\{target=top\\}here\\{html=<b>x</b>\\}\\par }"},
                           1));
    return project;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

bool HaveProgram(const std::string& name) {
    const std::string command = "command -v " + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string RunCapture(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (status)
            *status = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int rc = ::pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

} // namespace winhelptest
