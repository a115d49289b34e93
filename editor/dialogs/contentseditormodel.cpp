#include "editor/dialogs/contentseditormodel.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/pathnames.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

// ---- General page lists ---------------------------------------------------------

void TContentsFileList::Load(std::vector<std::string> items) {
    items_ = std::move(items);
    selected_ = items_.empty() ? -1 : 0;
}

void TContentsFileList::Select(int row) {
    selected_ = row >= 0 && row < static_cast<int>(items_.size()) ? row : -1;
}

std::string TContentsFileList::SelectedTitle() const {
    if (selected_ < 0 || !titled_)
        return std::string();
    const std::string& item = items_[static_cast<std::size_t>(selected_)];
    return item.substr(0, item.find('='));
}

std::string TContentsFileList::SelectedFile() const {
    if (selected_ < 0)
        return std::string();
    const std::string& item = items_[static_cast<std::size_t>(selected_)];
    if (!titled_)
        return item;
    const std::size_t equals = item.find('=');
    return equals == std::string::npos ? std::string() : item.substr(equals + 1);
}

std::string TContentsFileList::Compose(std::string_view title, std::string_view file) const {
    return titled_ ? std::string(title) + "=" + std::string(file) : std::string(file);
}

void TContentsFileList::EditSelected(std::string_view title, std::string_view file) {
    if (selected_ >= 0)
        items_[static_cast<std::size_t>(selected_)] = Compose(title, file);
}

void TContentsFileList::Add(std::string_view title, std::string_view file) {
    items_.push_back(file.empty() ? defaultItem_ : Compose(title, file));
    selected_ = static_cast<int>(items_.size()) - 1;
}

void TContentsFileList::DeleteSelected() {
    if (selected_ < 0)
        return;
    items_.erase(items_.begin() + selected_);
    selected_ = std::min(selected_, static_cast<int>(items_.size()) - 1);
}

// ---- the editor -------------------------------------------------------------------

TContentsEditorModel::TContentsEditorModel()
    : indexFiles_("Help File Title=helpfile.hlp", true), linkFiles_("helpfile.hlp", false) {}

void TContentsEditorModel::Load(const TBrindlewovenProject& project) {
    Title = project.Title;
    indexFiles_.Load(project.ContentsIndexes);
    linkFiles_.Load(project.ContentsLinks);
    DontShowFindTab = false;
    document_.Load(project.ContentsLines);
    shownItem_ = -1;
}

void TContentsEditorModel::Write(TBrindlewovenProject& project) const {
    project.Title = Title;
    project.ContentsIndexes = indexFiles_.Items();
    project.ContentsLinks = linkFiles_.Items();
    project.ContentsLines = document_.Lines();
}

std::vector<std::string> TContentsEditorModel::WindowNames(const TBrindlewovenProject& project) {
    std::vector<std::string> names;
    for (const std::string& definition : project.Windows)
        names.push_back(definition.substr(0, definition.find('=')));
    return names;
}

std::string TContentsEditorModel::FileNameOnly(std::string_view path) {
    return platform::ExtractFileName(path, "/\\:");
}

TBrindlewovenTopic* TContentsEditorModel::TopicFromText(const TBrindlewovenProject& project,
                                                        const std::string& text) const {
    const std::int32_t number = TBrindlewovenProject::NumberFromListText(text, numberStyle_);
    return number == -1 ? nullptr : project.FindTopic(number);
}

std::string TContentsEditorModel::TopicIDFromText(const TBrindlewovenProject& project,
                                                  const std::string& text) const {
    // A number no topic has stays as typed, like any context string.
    const TBrindlewovenTopic* topic = TopicFromText(project, text);
    return topic ? topic->TopicID : text;
}

TContentsPanel TContentsEditorModel::ShowCurrent(const TBrindlewovenProject& project) {
    TContentsPanel panel;
    shownItem_ = document_.CurrentItem();
    if (shownItem_ >= 0) {
        shownLine_ = document_.Line(shownItem_);
        panel.Item = ParseContentsLine(shownLine_);
        if (panel.Item.Kind == TContentsKind::Link && !panel.Item.TopicID.empty())
            panel.TopicText = project.ListTextFromID(panel.Item.TopicID, numberStyle_);
    }
    shownPanel_ = panel;
    return panel;
}

bool TContentsEditorModel::PanelChanged(const TBrindlewovenProject& project,
                                        const TContentsPanel& panel) {
    const int current = document_.CurrentItem();
    if (current < 0)
        return false;
    const bool shown = current == shownItem_;
    if (shown && panel == shownPanel_) {
        std::string line = shownLine_;
        if (HasLevel(line) && HasLevel(document_.Line(current)))
            line.front() = document_.Line(current).front();
        return document_.SetCurrentLine(line);
    }
    TContentsItem item = panel.Item;
    if (item.Kind == TContentsKind::Link)
        item.TopicID = shown && panel.TopicText == shownPanel_.TopicText
                           ? shownPanel_.Item.TopicID
                           : TopicIDFromText(project, panel.TopicText);
    return document_.SetCurrentLine(BuildContentsLine(LineLevel(document_.Line(current)), item));
}

int TContentsEditorModel::AddItem(const TBrindlewovenTopic* topic, std::string_view window) {
    return topic ? document_.Add(true, topic->Title, topic->TopicID, window)
                 : document_.Add(false, {}, {}, window);
}

bool TContentsEditorModel::TopicInContents(const TBrindlewovenTopic& topic) const {
    if (usedIDsGeneration_ != document_.Generation()) {
        usedIDs_.clear();
        for (const std::string& line : document_.Lines()) {
            const TContentsItem item = ParseContentsLine(line);
            if (item.Kind == TContentsKind::Link && !item.TopicID.empty())
                usedIDs_.insert(platform::AnsiLowerCase(item.TopicID));
        }
        usedIDsGeneration_ = document_.Generation();
    }
    return usedIDs_.count(platform::AnsiLowerCase(topic.TopicID)) > 0;
}

} // namespace editor
