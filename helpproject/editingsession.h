#pragma once
// What the main window keeps beside the open project: the project itself,
// the topic shown in the editor, whether the project changed since it was
// last saved, and the topic grid's header-click sort rule. The window owns
// one session; every command works on it, so it runs without widgets.
#include <cstdint>
#include <memory>
#include <string>

#include "helpproject/brindlewovenproject.h"

namespace helpproject {

class TEditingSession {
public:
    // A new project (topic 10 "<new topic>"), that topic current, unmodified.
    TEditingSession();
    // `project` is the open project (nullptr: a new one), its first topic
    // numbered above 1 current (the first topic when none is), unmodified.
    explicit TEditingSession(std::unique_ptr<TBrindlewovenProject> project);
    ~TEditingSession();
    TEditingSession(const TEditingSession&) = delete;
    TEditingSession& operator=(const TEditingSession&) = delete;

    TBrindlewovenProject& Project() { return *project_; }
    const TBrindlewovenProject& Project() const { return *project_; }

    // ---- switching projects -------------------------------------------------
    // Puts `project` (a new one, or one read completely by
    // TBrindlewovenProject::Load) in place of the open project and hands the
    // old one back. The first topic numbered above 1 becomes current (the
    // first topic when none is), the modified flag is cleared, and the grid
    // shows the new project in its own order (number order for a new or
    // loaded project). EProjectError for a null project; nothing changes then.
    std::unique_ptr<TBrindlewovenProject>
    ReplaceProject(std::unique_ptr<TBrindlewovenProject> project);
    // A new project in place of the open one.
    void NewProject();
    // Reads the file into a new project and puts it in place. On failure
    // (EProjectError) the open project, the current topic, the flag and
    // `styles` stay as they were.
    void OpenProject(const std::string& fileName, TTextStyleList* styles);
    // Writes the open project to the file and clears the modified flag; on
    // failure (EProjectError) the flag stays set.
    void SaveProject(const std::string& fileName, const TTextStyleList* styles);

    // ---- the current topic ---------------------------------------------------
    // A topic of the open project, or nullptr when the project has none.
    // Topics leave the project through DeleteTopic or ReplaceProject here, so
    // the current topic never dangles.
    TBrindlewovenTopic* CurrentTopic() const { return currentTopic_; }
    // ENoSuchTopic when `topic` is not a topic of the open project.
    void SetCurrentTopic(TBrindlewovenTopic* topic);
    // The topic with that number becomes current; ENoSuchTopic, and no
    // change, when there is none.
    TBrindlewovenTopic* GoToTopic(std::int32_t number);
    // Deletes the topic (ENoSuchTopic when there is none) and sets the
    // modified flag. When it was current, the next topic in number order
    // (wrapping) becomes current; when it was the last topic, a new topic 10
    // "<new topic>" is added and becomes current.
    void DeleteTopic(std::int32_t number);

    // ---- modified flag -------------------------------------------------------
    // The project changed since it was opened, created or last saved.
    bool Modified() const { return modified_; }
    void SetModified(bool modified = true) { modified_ = modified; }

    // ---- the topic grid's order ----------------------------------------------
    TTopicSortOrder SortOrder() const { return project_->SortOrder(); }
    // A header click: another column sorts ascending by it, the same column
    // again reverses the order. Not a change of the project.
    void SortByColumn(TTopicColumn column);

private:
    void MakeStartTopicCurrent();

    std::unique_ptr<TBrindlewovenProject> project_;
    TBrindlewovenTopic* currentTopic_ = nullptr;
    bool modified_ = false;
};

} // namespace helpproject
