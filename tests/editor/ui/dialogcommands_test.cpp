// The link and button dialogs of the main window keep what the person left
// in them from one use to the next, also across a change of project.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "editor/ui/dialogcommands.h"
#include "editor/ui/dialogs/buttonform.h"
#include "editor/ui/dialogs/linkform.h"
#include "editor/ui/dialogs/topicpickerbox.h"
#include "form_support.h"

using editortest::FormFixture;

namespace {

class DialogCommandsTest : public FormFixture {
protected:
    void SetUp() override {
        MakeForm();
        OpenFourTopics();
    }
    editor::ui::TDialogCommands& Commands() { return form->DialogCommands(); }

    // Runs `command`; while its dialog is open `answer` works on it.
    template <class TForm>
    void WithDialog(std::function<void()> command, std::function<TForm*()> dialog,
                    std::function<void(TForm&)> answer) {
        bool answered = false;
        QTimer::singleShot(0, form.get(), [&] {
            answered = true;
            answer(*dialog());
        });
        command();
        EXPECT_TRUE(answered);
    }
};

TEST_F(DialogCommandsTest, LinkDialogKeepsItsChoicesBetweenUses) {
    using editor::ui::TLinkForm;
    const auto open = [this] { Commands().InsertLinkSpecial(); };
    const auto dialog = [this] { return Commands().LinkForm(); };
    WithDialog<TLinkForm>(open, dialog, [](TLinkForm& link) {
        EXPECT_EQ(link.RadioGroupText()->checkedId(), 0);
        EXPECT_EQ(link.RadioGroupLink()->checkedId(), 0);
        EXPECT_FALSE(link.CheckPopup()->isChecked());
        EXPECT_FALSE(link.TopicBox()->SortButton()->isChecked());
        link.RadioGroupText()->button(2)->click();
        link.RadioGroupLink()->button(2)->click();
        link.CheckPopup()->click();
        link.EditTopic()->setText("other_topic");
        link.TopicBox()->SortButton()->click();
        link.accept();
    });
    const auto expectKept = [](TLinkForm& link) {
        EXPECT_EQ(link.RadioGroupText()->checkedId(), 2);
        EXPECT_EQ(link.RadioGroupLink()->checkedId(), 2);
        EXPECT_TRUE(link.CheckPopup()->isChecked());
        EXPECT_EQ(link.EditTopic()->text(), "other_topic");
        EXPECT_TRUE(link.TopicBox()->SortButton()->isChecked());
        link.reject();
    };
    WithDialog<TLinkForm>(open, dialog, expectKept);
    // Another project: the choices stay.
    OpenFourTopics();
    WithDialog<TLinkForm>(open, dialog, expectKept);
}

TEST_F(DialogCommandsTest, ButtonDialogKeepsItsChoicesBetweenUses) {
    using editor::ui::TButtonForm;
    const auto open = [this] { Commands().InsertButton(); };
    const auto dialog = [this] { return Commands().ButtonForm(); };
    WithDialog<TButtonForm>(open, dialog, [](TButtonForm& button) {
        EXPECT_TRUE(button.EditCaption()->text().isEmpty());
        EXPECT_FALSE(button.RadioMacro()->isChecked());
        button.EditCaption()->setText("Go");
        button.RadioMacro()->click();
        button.accept();
    });
    const auto expectKept = [](TButtonForm& button) {
        EXPECT_EQ(button.EditCaption()->text(), "Go");
        EXPECT_TRUE(button.RadioMacro()->isChecked());
        button.reject();
    };
    WithDialog<TButtonForm>(open, dialog, expectKept);
    OpenFourTopics();
    WithDialog<TButtonForm>(open, dialog, expectKept);
}

} // namespace
