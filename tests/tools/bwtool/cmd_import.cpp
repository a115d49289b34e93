// import: reads a WinHelp project (.hpj with its .rtf and .cnt files) into a
// new project and saves it as a project file (with the topics read, when
// the import stops early).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bwtool.h"
#include "components/scriptedmessenger.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/import/winhelpimport.h"

using namespace helpproject;

namespace {

std::string Lines(std::string text) {
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

// What the import showed: its messages and warnings, one per line on stderr.
void PrintShown(const components::TScriptedMessenger& messenger) {
    for (const auto& record : messenger.Records)
        if (record.What != components::TScriptedMessenger::TRecord::Question)
            std::fprintf(stderr, "%s\n", Lines(record.Text).c_str());
}

// An import that stops keeps the topics it read: they are saved too, and
// the run fails with the import's message.
int Import(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bwtool import IN.hpj OUT.bwv\n");
        return 2;
    }
    TBrindlewovenProject project;
    // A new project starts with one topic; the import brings its own.
    project.ClearTopics();
    components::TScriptedMessenger messenger;
    try {
        const TWinHelpImportResult result = ImportWinHelpProject(project, args[0], &messenger);
        PrintShown(messenger);
        project.SaveToFile(args[1], nullptr);
        std::printf("%d topics imported, %d pages without an ID skipped\n", result.TopicsImported,
                    result.PagesWithoutID);
        return 0;
    } catch (const std::exception& e) {
        PrintShown(messenger);
        std::fprintf(stderr, "bwtool import: %s\n", Lines(e.what()).c_str());
        try {
            if (!project.Topics().empty()) {
                project.SaveToFile(args[1], nullptr);
                std::fprintf(stderr, "bwtool import: %d topics kept\n", project.TopicCount());
            }
        } catch (const std::exception& saveError) {
            std::fprintf(stderr, "bwtool import: %s\n", Lines(saveError.what()).c_str());
        }
        return 1;
    }
}

} // namespace

BW_COMMAND("import", "IN.hpj OUT.bwv", Import);
