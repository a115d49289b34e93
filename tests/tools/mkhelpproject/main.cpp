// Writes the program's own help project from its topic source: one topic
// per help context, numbered by the context, saved through the project
// file code.
//   mkhelpproject TOPICS.txt PROJECT.bwv
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "components/rtf/rtftokenizer.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/brindlewoventopic.h"
#include "helpproject/helpfilekind.h"

namespace {

struct TSourceTopic {
    std::string Title;
    std::vector<std::string> Paragraphs;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkhelpproject TOPICS.txt PROJECT.bwv\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "mkhelpproject: cannot read %s\n", argv[1]);
        return 1;
    }
    std::map<int, TSourceTopic> topics;
    TSourceTopic* current = nullptr;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '@') {
            const std::size_t space = line.find(' ');
            int number = 0;
            try {
                number = std::stoi(line.substr(1, space - 1));
            } catch (const std::exception&) {
                number = 0;
            }
            if (number <= 0 || space == std::string::npos || topics.count(number)) {
                std::fprintf(stderr, "mkhelpproject: %s:%d: bad or repeated topic line\n", argv[1],
                             lineNumber);
                return 1;
            }
            current = &topics[number];
            current->Title = line.substr(space + 1);
            continue;
        }
        if (!current) {
            std::fprintf(stderr, "mkhelpproject: %s:%d: text before the first topic\n", argv[1],
                         lineNumber);
            return 1;
        }
        current->Paragraphs.push_back(line);
    }

    helpproject::TBrindlewovenProject project;
    project.Title = "Brindlewoven Help";
    project.Compiler = helpproject::THelpCompiler::HtmlHelp;
    project.ClearTopics(); // a new project starts with a topic of its own
    for (const auto& [number, source] : topics) {
        std::vector<std::string> text = {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}",
                                         "\\pard\\f0\\fs28\\b " +
                                             rtf::EscapeSpecials(source.Title) + "\\b0\\fs20\\par"};
        for (const std::string& paragraph : source.Paragraphs) {
            if (paragraph.rfind("{link:", 0) == 0 && paragraph.back() == '}') {
                const int target = std::stoi(paragraph.substr(6));
                const auto found = topics.find(target);
                if (found == topics.end()) {
                    std::fprintf(stderr, "mkhelpproject: link to missing topic %d\n", target);
                    return 1;
                }
                text.push_back("\\pard{\\strike " + rtf::EscapeSpecials(found->second.Title) +
                               "}\\{linkID=" + std::to_string(target) + "\\}\\par");
            } else {
                text.push_back("\\pard " + rtf::EscapeSpecials(paragraph) + "\\par");
            }
        }
        text.push_back("}");
        project.AddTopic(number, source.Title)->SetText(text);
    }
    try {
        project.SaveToFile(argv[2], nullptr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mkhelpproject: %s\n", error.what());
        return 1;
    }
    return 0;
}
