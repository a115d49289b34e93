// The folder picker: the tree and the edit line follow each other, and
// SelectFolder returns what the person chose.
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "components/ui/formdirsel.h"
#include "messenger_support.h"

namespace {

using components::ui::SelectFolder;
using components::ui::TFormDirSel;

class FormDirSel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath("help/images"));
        ASSERT_TRUE(QDir(root.path()).mkpath("help/html"));
    }
    QString Path(const QString& relative) const { return root.path() + "/" + relative; }

    static void SelectInTree(TFormDirSel& form, const QString& path) {
        auto* model = qobject_cast<QFileSystemModel*>(form.ShellTree()->model());
        form.ShellTree()->setCurrentIndex(model->index(path));
    }

    QTemporaryDir root;
};

TEST_F(FormDirSel, TypingSelectsTheDeepestExistingFolder) {
    TFormDirSel form;
    EXPECT_EQ(form.windowTitle(), "Select Folder");
    form.Edit()->setText(Path("help/images/missing/also missing"));
    EXPECT_EQ(form.TreePath(), Path("help/images"));
    // The edit keeps what was typed.
    EXPECT_EQ(form.Edit()->text(), Path("help/images/missing/also missing"));
    QTest::keyClick(form.Edit(), Qt::Key_Backspace);
    EXPECT_EQ(form.TreePath(), Path("help/images"));
}

TEST_F(FormDirSel, ChoosingInTheTreeFillsTheEdit) {
    TFormDirSel form;
    SelectInTree(form, Path("help/html"));
    EXPECT_EQ(form.Edit()->text(), Path("help/html"));
}

TEST_F(FormDirSel, SelectFolderReturnsTheChosenFolderOnOkOnly) {
    QWidget owner;
    AnswerNext<TFormDirSel>([this](TFormDirSel& form) {
        EXPECT_EQ(form.Edit()->text(), Path("help"));
        SelectInTree(form, Path("help/images"));
        QTest::mouseClick(form.BtnOK(), Qt::LeftButton);
    });
    EXPECT_EQ(SelectFolder(Path("help"), &owner), Path("help/images"));

    AnswerNext<TFormDirSel>([this](TFormDirSel& form) {
        form.Edit()->setText(Path("help/html"));
        QTest::mouseClick(form.BtnCancel(), Qt::LeftButton);
    });
    EXPECT_EQ(SelectFolder(Path("help"), &owner), Path("help"));
    // One dialog per window, kept between uses.
    EXPECT_EQ(owner.findChildren<TFormDirSel*>().size(), 1);

    AnswerNext<TFormDirSel>([this](TFormDirSel& form) {
        form.Edit()->setText(Path("help/new folder"));
        QTest::mouseClick(form.BtnOK(), Qt::LeftButton);
    });
    EXPECT_EQ(SelectFolder(Path("help")), Path("help/new folder"));
}

} // namespace
