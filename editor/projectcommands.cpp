#include "editor/projectcommands.h"

#include <QFileDialog>
#include <QMenu>
#include <filesystem>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/reopenmenu.h"
#include "editor/brindlewovenform.h"
#include "editor/defaulttextstyles.h"
#include "helpproject/helpfilekind.h"
#include "platform/pathnames.h"

namespace editor {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

struct TDialogSpec {
    const char* Title;
    const char* Filter;
    const char* Suffix;
};

TDialogSpec SpecOf(TFileDialogKind kind) {
    switch (kind) {
    case TFileDialogKind::OpenProject:
        return {"Load Brindlewoven Project", "Brindlewoven projects (*.bwv);;All files (*)", "bwv"};
    case TFileDialogKind::SaveProject:
        return {"Save Brindlewoven project", "Brindlewoven projects (*.bwv);;All files (*)", "bwv"};
    case TFileDialogKind::LinkFile:
        return {"Link to a file", "Any file (*)", ""};
    case TFileDialogKind::Flash:
        return {"Embed Flash", "Flash (*.swf);;Any file (*)", ""};
    default:
        return {"Include Bitmap in Topic",
                "Bitmaps (*.bmp *.shg *.wmf *.gif *.jpg *.png);;Any file (*)", ""};
    }
}

// The dialogs of a person at the screen.
std::string AskForFile(QWidget* parent, TFileDialogKind kind, const std::string& startFile) {
    const TDialogSpec spec = SpecOf(kind);
    QFileDialog dialog(parent, spec.Title, ToQString(startFile), spec.Filter);
    if (kind == TFileDialogKind::SaveProject) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(spec.Suffix);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return FromQString(dialog.selectedFiles().front());
}

const char* const kSaveAsCanceled = "Save As canceled";

} // namespace

TProjectCommands::TProjectCommands(TBrindlewovenForm& form) : QObject(&form), form_(form) {
    chooser_ = [this](TFileDialogKind kind, const std::string& startFile) {
        return AskForFile(&form_, kind, startFile);
    };
}

std::string TProjectCommands::ChooseFile(TFileDialogKind kind, const std::string& startFile) {
    return chooser_(kind, startFile);
}

void TProjectCommands::NewProject() {
    form_.Session().NewProject();
    form_.TextStyles().Clear();
    AddDefaultTextStyles(form_.TextStyles(), false);
    form_.TopicEditor().ProjectReplaced();
    form_.SetHelpFileKind(form_.Project().HelpFileKind);
}

void TProjectCommands::OpenProject(const std::string& fileName) {
    form_.Session().OpenProject(fileName, &form_.TextStyles());
    form_.TopicEditor().ProjectReplaced();
    form_.SetHelpFileKind(form_.Project().HelpFileKind);
    form_.Reopen().AddFile(ToQString(fileName));
}

void TProjectCommands::ProjectNewExecute() {
    form_.StoreTopic();
    if (ConfirmDiscard())
        NewProject();
}

void TProjectCommands::ProjectOpenExecute() {
    form_.StoreTopic();
    if (!ConfirmDiscard())
        return;
    const std::string fileName = ChooseFile(TFileDialogKind::OpenProject, form_.Project().FileName);
    if (!fileName.empty())
        OpenProject(fileName);
}

void TProjectCommands::ReopenExecute(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::exists(fileName, error)) {
        form_.Messenger().ShowMessage(components::TMessageKind::Error, "Brindlewoven",
                                      "Project " + fileName + " doesn't exist any more.");
        form_.Reopen().RemoveFile(ToQString(fileName));
        return;
    }
    form_.StoreTopic();
    if (ConfirmDiscard())
        OpenProject(fileName);
}

void TProjectCommands::ProjectSaveExecute() {
    form_.StoreTopic();
    if (form_.Project().FileName.empty()) {
        ProjectSaveAsExecute(true);
        return;
    }
    SaveTo(form_.Project().FileName);
}

void TProjectCommands::ProjectSaveAsExecute(bool fromCode) {
    const std::string fileName = ChooseFile(TFileDialogKind::SaveProject, form_.Project().FileName);
    if (fileName.empty()) {
        if (fromCode)
            throw components::EAbort(kSaveAsCanceled);
        return;
    }
    form_.StoreTopic();
    SaveTo(fileName);
    form_.Reopen().AddFile(ToQString(fileName));
    form_.ShowTopic();
}

void TProjectCommands::SaveTo(const std::string& fileName) {
    form_.Session().SaveProject(fileName, &form_.TextStyles());
    form_.TopicEditor().View().PropertyBarChanged(); // the caption follows
}

bool TProjectCommands::ConfirmDiscard() {
    if (!form_.Session().Modified())
        return true;
    form_.raise();
    components::TQuestion question;
    question.Kind = components::TMessageKind::Confirmation;
    question.Caption = "If you do not save your project, you will lose all your changes";
    question.Text = "Project has been modified!\r\nDo you wish to save your changes?";
    question.Buttons = {{"&Yes: Save!", components::mrYes, true, false},
                        {"&No: Don't save", components::mrNo, false, false},
                        {"&Cancel action", components::mrCancel, false, true}};
    switch (form_.Messenger().Ask(question)) {
    case components::mrYes:
        ProjectSaveExecute();
        return true;
    case components::mrNo:
        return true;
    default:
        return false;
    }
}

} // namespace editor
