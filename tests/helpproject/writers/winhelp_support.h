#pragma once
// The three-topic project of the WinHelp and manual tests, and small file
// helpers for them.
#include <filesystem>
#include <memory>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/writers/winhelpwriter.h"

namespace winhelptest {

// A fresh folder under the system's temporary folder, removed with the object.
class TScratch {
public:
    TScratch();
    ~TScratch();
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// "Lantern Guide": topic 10 intro (a link to 20, a second font), topic 20
// wicks (build tag Net, fonts and colours in another order), topic 30 oil
// (build tag Pro, a target and an html code). Build tags "Pro"; the 32-bit
// compiler; the project file guide.bwv in `folder`, which gets an images
// folder.
std::unique_ptr<helpproject::TBrindlewovenProject>
MakeGuideProject(const std::filesystem::path& folder);

// The guide's help project and topic file in `folder` (guide.hpj,
// guide.rtf); the contents file beside the help file.
helpproject::TWinHelpSourceFiles GuideFiles(const std::filesystem::path& folder);

// A topic text with the given font table entries, colour table and body lines.
helpproject::TStringList TopicText(const std::string& fonts, const std::string& colors,
                                   const helpproject::TStringList& body, int deff = 0);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
// Every occurrence of `what` replaced by `with`.
std::string ReplaceAll(std::string text, const std::string& what, const std::string& with);
// True when the program is on PATH.
bool HaveProgram(const std::string& name);
// Runs a shell command, returns its standard output; `status` gets the exit status.
std::string RunCapture(const std::string& command, int* status);

} // namespace winhelptest
