#pragma once
// The Project menu's Renumber Topics and Merge over the editing session:
// the dialogs' answers carried out on the project, with the progress box
// (and its Abort) through the messenger, the topic editor's lists and
// menus kept in step, and the hotspot bitmaps following renumbered topics.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editor/dialogs/mergedialogmodel.h"
#include "editor/dialogs/renumberdialogmodel.h"
#include "editor/projectcommands.h"
#include "editor/topicrenumber.h"

namespace components {
class IMessenger;
}

namespace editor {

class TTopicEditor;

// The window's side of the two commands.
class IRenumberHost {
public:
    virtual ~IRenumberHost() = default;
    // The renumber dialog over the model; true for OK.
    virtual bool RunRenumberDialog(TRenumberDialogModel& model) = 0;
    // The file to merge; nullopt when the dialog was cancelled.
    virtual std::optional<std::string> PromptMergeFile(const TFileDialogSpec& dialog) = 0;
    // The merge dialog over the model; true for OK.
    virtual bool RunMergeDialog(TMergeDialogModel& model) = 0;
    // The hour-glass while the project is rewritten.
    virtual void SetBusyCursor(bool /*busy*/) {}
    // The grid's rows and the topic lists follow the project.
    virtual void TopicsChanged() {}
};

// The merge command's file dialog.
TFileDialogSpec MergeProjectDialog();

inline constexpr const char* kRenumberAborted = "Renumber aborted by user";

class TRenumberCommands {
public:
    TRenumberCommands(TTopicEditor& topics, components::IMessenger& messenger, IRenumberHost& host);

    // Renumber Topics...: the dialog, then Renumber with its answer.
    void ProjectRenumber();
    // Gives the topics of the range their new numbers, the links and the
    // hotspots following. A numbering that would pass the highest topic
    // number is refused (EProjectError) before anything changes; Abort
    // while the links are prepared ends it the same way (EAbort).
    void Renumber(const TRenumberRequest& request);

    // Merge...: the file, the dialog, then the merge.
    void ProjectMerge();
    // Merges the topics `selection` takes from the other project (read
    // without its text styles: the open project's stay). A failure leaves
    // the open project as it was.
    void Merge(std::unique_ptr<helpproject::TBrindlewovenProject> other,
               const TMergeSelection& selection);
    // Reads the file and merges it.
    void MergeFile(const std::string& fileName, const TMergeSelection& selection);

    TRenumberDialogModel& RenumberModel() { return renumberModel_; }
    TMergeDialogModel& MergeModel() { return mergeModel_; }

private:
    void RenumberHotspotFiles(const helpproject::TTopicNumberMap& numbers);

    TTopicEditor& topics_;
    components::IMessenger& messenger_;
    IRenumberHost& host_;
    TRenumberDialogModel renumberModel_;
    TMergeDialogModel mergeModel_;
};

} // namespace editor
