#include "editor/topiclisttext.h"

#include <cstdio>

#include "components/rtf/stringlisttransfer.h"
#include "platform/fileio.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

std::string TopicListLine(const TBrindlewovenTopic& topic) {
    const char fill = topic.Bookmark ? '.' : ' ';
    std::string number = std::to_string(topic.Number);
    std::string line;
    if (number.size() < 7)
        line.assign(7 - number.size(), fill);
    line += number;
    line += fill;
    line += topic.Title;
    if (line.size() > 69)
        line.resize(69);
    line.resize(70, fill);
    line += topic.Status;
    return line;
}

std::vector<std::string> TopicListLines(const TBrindlewovenProject& project) {
    std::vector<std::string> lines;
    lines.reserve(project.SortedTopics().size());
    for (const TBrindlewovenTopic* topic : project.SortedTopics())
        lines.push_back(TopicListLine(*topic));
    return lines;
}

namespace {

const std::string& ExportValue(const TBrindlewovenTopic& topic, TTopicColumn column) {
    static const std::string none;
    switch (column) {
    case TTopicColumn::Title:
        return topic.Title;
    case TTopicColumn::KKeywords:
        return topic.KKeywords;
    case TTopicColumn::AKeywords:
        return topic.AKeywords;
    case TTopicColumn::BKeywords:
        return topic.BKeywords;
    case TTopicColumn::BrowseSequence:
        return topic.BrowseSequence;
    case TTopicColumn::BuildTag:
        return topic.BuildTag;
    case TTopicColumn::Status:
        return topic.Status;
    default:
        return none;
    }
}

} // namespace

std::vector<std::string> GridExportLines(const TBrindlewovenProject& project,
                                         const TGridLayout& layout) {
    const std::vector<TTopicColumn> columns = layout.Columns();
    std::vector<std::string> lines;
    lines.reserve(project.SortedTopics().size() * columns.size());
    for (const TBrindlewovenTopic* topic : project.SortedTopics()) {
        char number[16];
        std::snprintf(number, sizeof number, "%6d", static_cast<int>(topic->Number));
        const std::string mark = topic->Bookmark ? " * " : "   ";
        bool first = true;
        for (TTopicColumn column : columns) {
            lines.push_back((first ? std::string(number) : std::string(6, ' ')) + mark +
                            ExportValue(*topic, column));
            first = false;
        }
    }
    return lines;
}

void ExportGrid(const TBrindlewovenProject& project, const TGridLayout& layout,
                const std::string& fileName) {
    platform::WriteFileAtomic(fileName, rtf::JoinLines(GridExportLines(project, layout)));
}

} // namespace editor
