// import: reads a WinHelp project (.hpj with its .rtf and .cnt files) into a
// new project and saves it as a project file.
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

int Import(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bwtool import IN.hpj OUT.bwv\n");
        return 2;
    }
    try {
        TBrindlewovenProject project;
        // A new project starts with one topic; the import brings its own.
        project.ClearTopics();
        components::TScriptedMessenger messenger;
        const TWinHelpImportResult result = ImportWinHelpProject(project, args[0], &messenger);
        for (const std::string& shown :
             messenger.Texts(components::TScriptedMessenger::TRecord::Message)) {
            std::string line = shown;
            for (char& c : line)
                if (c == '\r')
                    c = '\n';
            std::fprintf(stderr, "%s\n", line.c_str());
        }
        project.SaveToFile(args[1], nullptr);
        std::printf("%d topics imported, %d pages without an ID skipped\n", result.TopicsImported,
                    result.PagesWithoutID);
        return 0;
    } catch (const std::exception& e) {
        std::string line = e.what();
        for (char& c : line)
            if (c == '\r')
                c = '\n';
        std::fprintf(stderr, "bwtool import: %s\n", line.c_str());
        return 1;
    }
}

} // namespace

BW_COMMAND("import", "IN.hpj OUT.bwv", Import);
