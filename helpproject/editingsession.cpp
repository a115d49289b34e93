#include "helpproject/editingsession.h"

#include <utility>

namespace helpproject {

TEditingSession::TEditingSession() : TEditingSession(nullptr) {}

TEditingSession::TEditingSession(std::unique_ptr<TBrindlewovenProject> project)
    : project_(project ? std::move(project) : std::make_unique<TBrindlewovenProject>()) {
    MakeStartTopicCurrent();
}

TEditingSession::~TEditingSession() = default;

void TEditingSession::MakeStartTopicCurrent() {
    // NextTopic wraps to the first topic when none lies above 1.
    currentTopic_ = project_->Topics().empty() ? nullptr : project_->NextTopic(1);
}

std::unique_ptr<TBrindlewovenProject>
TEditingSession::ReplaceProject(std::unique_ptr<TBrindlewovenProject> project) {
    if (!project)
        throw EProjectError("There is no project to open");
    std::swap(project_, project);
    MakeStartTopicCurrent();
    modified_ = false;
    return project;
}

void TEditingSession::NewProject() {
    ReplaceProject(std::make_unique<TBrindlewovenProject>());
}

void TEditingSession::OpenProject(const std::string& fileName, TTextStyleList* styles) {
    ReplaceProject(TBrindlewovenProject::Load(fileName, styles));
}

void TEditingSession::SaveProject(const std::string& fileName, const TTextStyleList* styles) {
    project_->SaveToFile(fileName, styles);
    modified_ = false;
}

void TEditingSession::SetCurrentTopic(TBrindlewovenTopic* topic) {
    if (!topic || project_->FindTopic(topic->Number) != topic)
        throw ENoSuchTopic();
    currentTopic_ = topic;
}

TBrindlewovenTopic* TEditingSession::GoToTopic(std::int32_t number) {
    currentTopic_ = project_->TopicByNumber(number);
    return currentTopic_;
}

void TEditingSession::DeleteTopic(std::int32_t number) {
    const bool wasCurrent = project_->TopicByNumber(number) == currentTopic_;
    TBrindlewovenTopic* next =
        wasCurrent && project_->TopicCount() > 1 ? project_->NextTopic(number) : nullptr;
    project_->DeleteTopic(number);
    if (wasCurrent)
        currentTopic_ = next ? next : project_->AddTopic(10, "<new topic>");
    modified_ = true;
}

void TEditingSession::SortByColumn(TTopicColumn column) {
    TTopicSortOrder order = project_->SortOrder();
    if (column != order.Column)
        order = {column, false};
    else
        order.Descending = !order.Descending;
    project_->SortBy(order);
}

} // namespace helpproject
