#include "editor/renumbercommands.h"

#include <utility>

#include "components/messengerseam.h"
#include "editor/topiceditor.h"
#include "helpproject/shg.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;
using helpproject::TTopicNumberMap;

namespace {

// The editor's bulk mode, the hour-glass and the progress box for the life
// of a scope, whichever way it ends.
class TBulkScope {
public:
    TBulkScope(TTopicEditor& topics, IRenumberHost& host, components::IMessenger& messenger)
        : topics_(topics), host_(host), messenger_(messenger) {
        topics_.SetBulkUpdate(true);
        host_.SetBusyCursor(true);
    }
    ~TBulkScope() {
        messenger_.EndProgress();
        host_.SetBusyCursor(false);
        topics_.SetBulkUpdate(false);
    }
    TBulkScope(const TBulkScope&) = delete;
    TBulkScope& operator=(const TBulkScope&) = delete;

private:
    TTopicEditor& topics_;
    IRenumberHost& host_;
    components::IMessenger& messenger_;
};

} // namespace

TFileDialogSpec MergeProjectDialog() {
    return {"Select project to merge with the current project",
            "bwv",
            "Brindlewoven projects (*.bwv)|*.bwv|All files|*.*",
            "",
            true,
            false};
}

TRenumberCommands::TRenumberCommands(TTopicEditor& topics, components::IMessenger& messenger,
                                     IRenumberHost& host)
    : topics_(topics), messenger_(messenger), host_(host) {}

void TRenumberCommands::ProjectRenumber() {
    topics_.StoreTopic();
    renumberModel_.Activate(topics_.Project());
    if (!host_.RunRenumberDialog(renumberModel_) || !renumberModel_.OkEnabled())
        return;
    Renumber(renumberModel_.Request());
}

void TRenumberCommands::Renumber(const TRenumberRequest& request) {
    TBrindlewovenProject& project = topics_.Project();
    // Every new number is known, and checked, before anything changes.
    const std::vector<TRenumberMove> plan = PlanRenumber(project, request);
    const TTopicNumberMap numbers = RenumberMap(plan);
    {
        TBulkScope bulk(topics_, host_, messenger_);
        messenger_.BeginProgress("Setting up the renumber process...", 0);
        messenger_.ProcessEvents();

        // The links are rewritten into copies first, each code through the
        // one old -> new map, so that Abort here leaves the project as it was.
        const auto& all = project.Topics();
        messenger_.BeginProgress("Renumbering topics...", static_cast<std::int64_t>(all.size()));
        std::vector<std::pair<TBrindlewovenTopic*, helpproject::TStringList>> texts;
        TBrindlewovenTopic scratch(1, "<temp>");
        for (std::size_t i = 0; i < all.size(); ++i) {
            components::CheckAbort(&messenger_, static_cast<std::int64_t>(i), kRenumberAborted);
            if (numbers.empty())
                break;
            scratch.Text = all[i]->Text;
            if (TBrindlewovenProject::RenumberLinksInTopic(scratch, numbers))
                texts.emplace_back(all[i].get(), std::move(scratch.Text));
        }
        components::CheckAbort(&messenger_, static_cast<std::int64_t>(all.size()),
                               kRenumberAborted);

        // From here on the project changes; nothing is left half done.
        topics_.Session().SetModified();
        MoveTopics(project, plan);
        for (auto& [topic, text] : texts)
            topic->SetText(std::move(text));
        project.RenumberContentsLinks(numbers);
        RenumberHotspotFiles(numbers);
    }
    host_.TopicsChanged();
    // The undo records, the redo records and the history name old numbers.
    // The current topic is the same topic under its new number.
    topics_.ProjectReplaced();
}

void TRenumberCommands::RenumberHotspotFiles(const TTopicNumberMap& numbers) {
    TBrindlewovenProject& project = topics_.Project();
    messenger_.BeginProgress("Gathering list of SHG files...", 0);
    messenger_.ProcessEvents();
    const std::vector<std::string> names = GatherSHGFiles(project);
    if (names.empty() || numbers.empty())
        return;
    messenger_.BeginProgress("Renumbering hotspots in SHG files...",
                             static_cast<std::int64_t>(names.size()));
    const std::vector<std::string> folders = SHGFolders(project);
    std::int64_t done = 0;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        messenger_.SetProgress(done++);
        messenger_.ProcessEvents();
        const std::string path = FindSHGFile(folders, *name);
        if (path.empty())
            continue;
        // The topics are renumbered already: a file that cannot be read or
        // written is reported and the others still follow.
        try {
            helpproject::TSHG shg;
            shg.LoadFromFile(path, false);
            if (RenumberHotspots(shg, numbers))
                shg.SaveToFile(path, false);
        } catch (const std::exception& error) {
            messenger_.Warning(*name + ": " + error.what());
        }
    }
    messenger_.SetProgress(done);
}

void TRenumberCommands::ProjectMerge() {
    const std::optional<std::string> file = host_.PromptMergeFile(MergeProjectDialog());
    if (!file)
        return;
    topics_.StoreTopic();
    // The other project's styles are read and dropped: ours stay.
    std::unique_ptr<TBrindlewovenProject> other = TBrindlewovenProject::Load(*file, nullptr);
    mergeModel_.Fill(*other, *file);
    if (!host_.RunMergeDialog(mergeModel_) || !mergeModel_.OkEnabled())
        return;
    Merge(std::move(other), mergeModel_.Selection());
}

void TRenumberCommands::MergeFile(const std::string& fileName, const TMergeSelection& selection) {
    topics_.StoreTopic();
    Merge(TBrindlewovenProject::Load(fileName, nullptr), selection);
}

void TRenumberCommands::Merge(std::unique_ptr<TBrindlewovenProject> other,
                              const TMergeSelection& selection) {
    const std::int32_t remembered = topics_.CurrentTopic() ? topics_.CurrentTopic()->Number : 1;
    TBrindlewovenProject& project = topics_.Project();
    // All the work that can fail happens in the other project.
    SelectMergeTopics(*other, selection);
    ResolveMergeClashes(project, *other, selection.SameID);
    topics_.SetBulkUpdate(true);
    InsertMergedTopics(project, *other);
    topics_.Session().SetModified();
    topics_.SetBulkUpdate(false);
    host_.TopicsChanged();
    // The editor shows the topic as merged: what it held was stored before.
    topics_.Session().SetCurrentTopic(remembered <= 1 ? project.Topics().front().get()
                                                      : project.NextTopic(remembered - 1));
    topics_.ShowTopic();
}

} // namespace editor
