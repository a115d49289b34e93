#include <gtest/gtest.h>

#include "editor/dialogs/contentseditormodel.h"

using editor::TContentsEditorModel;
using editor::TContentsKind;
using editor::TContentsLines;
using editor::TContentsPanel;
using helpproject::TBrindlewovenProject;

namespace {

// Topics 10 "Intro" (ID intro) and 20 "Setup"; windows main and Popup; a
// contents of a book, a link, a macro and an odd "Vellumar" line.
std::unique_ptr<TBrindlewovenProject> Project() {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->ClearTopics();
    project->AddTopic(10, "Intro")->TopicID = "intro";
    project->AddTopic(20, "Setup");
    project->Title = "Manual";
    project->Windows = {"main=\"Main\",(0,0,10,10)", "Popup=,(1,1,5,5)"};
    project->ContentsIndexes = {"Other=other.hlp"};
    project->ContentsLinks = {"linked.hlp"};
    project->ContentsLines = {"1 Book", "2 Intro=INTRO>main", "2 Back=!Back()",
                              "2 Odd=Vellumar@x.hlp"};
    return project;
}

} // namespace

TEST(ContentsEditorModel, LoadsAndWritesTheProjectsContents) {
    auto project = Project();
    TContentsEditorModel model;
    model.Load(*project);
    EXPECT_EQ(model.Title, "Manual");
    EXPECT_EQ(model.IndexFiles().SelectedTitle(), "Other");
    EXPECT_EQ(model.IndexFiles().SelectedFile(), "other.hlp");
    EXPECT_EQ(model.LinkFiles().SelectedFile(), "linked.hlp");
    EXPECT_EQ(model.Document().CurrentItem(), 0);
    EXPECT_EQ(TContentsEditorModel::WindowNames(*project),
              (std::vector<std::string>{"main", "Popup"}));

    model.Title = "Guide";
    model.IndexFiles().Add("", "");
    model.LinkFiles().Add("", "more.hlp");
    model.Document().DeleteCurrent();
    // Nothing reaches the project before Write.
    EXPECT_EQ(project->ContentsLines.size(), 4u);
    model.Write(*project);
    EXPECT_EQ(project->Title, "Guide");
    EXPECT_EQ(project->ContentsIndexes,
              (helpproject::TStringList{"Other=other.hlp", "Help File Title=helpfile.hlp"}));
    EXPECT_EQ(project->ContentsLinks, (helpproject::TStringList{"linked.hlp", "more.hlp"}));
    EXPECT_EQ(project->ContentsLines.size(), 3u);
}

TEST(ContentsEditorModel, ShowingAnItemNeverChangesItsLine) {
    auto project = Project();
    TContentsEditorModel model;
    model.Load(*project);
    const TContentsLines before = model.Document().Lines();
    for (int i = 0; i < model.Document().Count(); ++i) {
        model.Document().SetCurrentItem(i);
        const TContentsPanel panel = model.ShowCurrent(*project);
        // What the panel shows, handed back unchanged, changes nothing.
        EXPECT_FALSE(model.PanelChanged(*project, panel)) << before[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(model.Document().Lines(), before);
    EXPECT_FALSE(model.Document().CanUndo());

    model.Document().SetCurrentItem(1);
    TContentsPanel link = model.ShowCurrent(*project);
    EXPECT_EQ(link.Item.Kind, TContentsKind::Link);
    EXPECT_EQ(link.TopicText, "Intro (10)") << "the ID in the topic box's style";
    model.SetNumberStyle(true);
    link = model.ShowCurrent(*project);
    EXPECT_EQ(link.TopicText, "10: Intro");
    // The title edited: the line's own ID stays as it was written.
    link.Item.Title = "Introduction";
    ASSERT_TRUE(model.PanelChanged(*project, link));
    EXPECT_EQ(model.Document().Line(1), "2 Introduction=INTRO>main");
    // Another topic picked: its ID.
    link.TopicText = "20: Setup";
    ASSERT_TRUE(model.PanelChanged(*project, link));
    EXPECT_EQ(model.Document().Line(1), "2 Introduction=Vellumar20>main");
    // A typed context string, or a number no topic has, stays as typed.
    link.TopicText = "999";
    ASSERT_TRUE(model.PanelChanged(*project, link));
    EXPECT_EQ(model.Document().Line(1), "2 Introduction=999>main");
    // One typing run in one item: one undo step.
    model.Document().Undo();
    EXPECT_EQ(model.Document().Line(1), "2 Intro=INTRO>main");
}

TEST(ContentsEditorModel, KindChangesRebuildTheLine) {
    auto project = Project();
    TContentsEditorModel model;
    model.Load(*project);
    model.Document().SetCurrentItem(0);
    TContentsPanel panel = model.ShowCurrent(*project);
    panel.Item.Kind = TContentsKind::OwnFileLink;
    panel.Item.TopicNumber = 42;
    panel.Item.File = "other.hlp";
    panel.Item.Window = "Popup";
    ASSERT_TRUE(model.PanelChanged(*project, panel));
    EXPECT_EQ(model.Document().Line(0), "1 Book=Vellumar42@other.hlp>Popup");
    panel.Item.Kind = TContentsKind::Include;
    panel.Item.File = "more\t.cnt";
    ASSERT_TRUE(model.PanelChanged(*project, panel));
    EXPECT_EQ(model.Document().Line(0), ":INCLUDE more.cnt");
    panel.Item.Kind = TContentsKind::Macro;
    panel.Item.Macro = "Exit()";
    ASSERT_TRUE(model.PanelChanged(*project, panel));
    EXPECT_EQ(model.Document().Line(0), "1 Book=! Exit()") << "an include line had no level: 1";
}

TEST(ContentsEditorModel, TopicsInTheContentsAndNewItems) {
    auto project = Project();
    TContentsEditorModel model;
    model.Load(*project);
    EXPECT_TRUE(model.TopicInContents(*project->TopicByNumber(10))) << "IDs ignore case";
    EXPECT_FALSE(model.TopicInContents(*project->TopicByNumber(20)));
    model.Document().SetCurrentItem(0);
    EXPECT_EQ(model.AddItem(project->TopicByNumber(20), "main"), 1);
    EXPECT_EQ(model.Document().Line(1), "2 Setup=Vellumar20>main");
    EXPECT_TRUE(model.TopicInContents(*project->TopicByNumber(20)));
    model.Document().Undo();
    EXPECT_FALSE(model.TopicInContents(*project->TopicByNumber(20)));
    EXPECT_EQ(model.TopicFromText(*project, "Setup (20)"), project->TopicByNumber(20));
    EXPECT_EQ(model.TopicFromText(*project, "nothing"), nullptr);
}

TEST(ContentsEditorModel, GeneralPageLists) {
    editor::TContentsFileList list("Help File Title=helpfile.hlp", true);
    list.Load({"A=a.hlp", "B=b.hlp", "C=c.hlp"});
    list.Select(1);
    list.EditSelected("Bee", "bee.hlp");
    EXPECT_EQ(list.Items()[1], "Bee=bee.hlp");
    list.Add("New", "new.hlp");
    EXPECT_EQ(list.Selected(), 3);
    list.DeleteSelected();
    EXPECT_EQ(list.Selected(), 2) << "the new last";
    list.Select(0);
    list.DeleteSelected();
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_EQ(list.SelectedFile(), "bee.hlp");
    EXPECT_EQ(TContentsEditorModel::FileNameOnly("/home/me/help\\x.hlp"), "x.hlp");
    EXPECT_EQ(TContentsEditorModel::FileNameOnly("C:x.cnt"), "x.cnt");
}
