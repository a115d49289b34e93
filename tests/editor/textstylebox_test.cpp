#include <gtest/gtest.h>

#include "editor/textstylebox.h"
#include "editorfixture_support.h"

using namespace editor;
using editortest::EditorFixture;

namespace {

class TextStyleBoxTest : public EditorFixture {
protected:
    void SetUp() override {
        Open({10});
        box = std::make_unique<TTextStyleBox>(styles, *editor);
        view.text.LoadDocument(rtf::RtfDocument::FromPlainText("some text"));
    }
    std::unique_ptr<TTextStyleBox> box;
};

} // namespace

TEST_F(TextStyleBoxTest, BuiltInStylesStayAndUserStylesGo) {
    EXPECT_EQ(box->Names().front(), "*InternetLink");
    EXPECT_FALSE(box->Delete("*TopicText"));
    EXPECT_NE(styles.Find("*TopicText"), nullptr);
    const std::string added = box->AddFromSelection();
    EXPECT_EQ(added, "<new macro>");
    EXPECT_EQ(box->Change(added, "Warning"), "Warning");
    EXPECT_EQ(styles.Find("<new macro>"), nullptr);
    EXPECT_TRUE(box->Delete("Warning"));
    EXPECT_EQ(styles.Find("Warning"), nullptr);
    EXPECT_FALSE(box->Delete("Warning"));
    EXPECT_EQ(box->Change("*TopicText", "Renamed"), "*TopicText");
}

TEST_F(TextStyleBoxTest, ChangeTakesTheSelectionsStyle) {
    view.text.SetSelection(0, 4);
    rtf::CharFormat bold;
    bold.bold = true;
    view.text.SetSelFormat(bold, rtf::kCharBold);
    const std::string name = box->AddFromSelection();
    EXPECT_TRUE(styles.Find(name)->Font.Bold);
    view.text.SetSelection(5, 4);
    box->Change(name, name);
    EXPECT_FALSE(styles.Find(name)->Font.Bold);

    view.text.SetSelection(5, 4);
    EXPECT_TRUE(box->Apply("*TopicTitle"));
    EXPECT_TRUE(view.text.Document().CharFormatAt(6).bold);
    EXPECT_FALSE(box->Apply("missing"));
}
