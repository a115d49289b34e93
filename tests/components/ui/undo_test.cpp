// The undo and redo menus: filled when they open, newest first, at most 16,
// and a picked entry undoes or redoes down to it.
#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

#include "components/ui/undo.h"

namespace {

using components::ui::TUndo;

class TEdit : public components::TUndoItem {
public:
    TEdit(std::string name, int& value) : name_(std::move(name)), value_(value) {}
    std::string GetLongDescription() const override { return name_; }
    std::string GetDescription() const override { return name_; }
    void Redo() override { ++value_; }
    void Undo() override { --value_; }

private:
    std::string name_;
    int& value_;
};

TEST(UndoMenus, FilledWhenOpenedAndAnswered) {
    int value = 0;
    TUndo undo;
    QMenu undoMenu;
    QMenu redoMenu;
    undo.SetPopupUndo(&undoMenu);
    undo.SetPopupRedo(&redoMenu);

    emit undoMenu.aboutToShow();
    ASSERT_EQ(undoMenu.actions().size(), 1);
    EXPECT_EQ(undoMenu.actions()[0]->text(), "&Undo <nothing>");
    EXPECT_FALSE(undoMenu.actions()[0]->isEnabled());
    EXPECT_EQ(undoMenu.actions()[0]->statusTip(),
              "At the moment there is nothing that can be undone");

    for (int i = 0; i < 20; ++i) {
        undo.Add(std::make_unique<TEdit>("edit " + std::to_string(i), value));
        ++value;
    }
    emit undoMenu.aboutToShow();
    ASSERT_EQ(undoMenu.actions().size(), 16);
    EXPECT_EQ(undoMenu.actions()[0]->text(), "Undo edit 19");
    EXPECT_EQ(undoMenu.actions()[15]->text(), "Undo edit 4");

    undoMenu.actions()[2]->trigger(); // edits 19, 18 and 17
    EXPECT_EQ(value, 17);
    EXPECT_EQ(undo.GetRedoCount(), 3);
    emit redoMenu.aboutToShow();
    ASSERT_EQ(redoMenu.actions().size(), 3);
    EXPECT_EQ(redoMenu.actions()[0]->text(), "Redo edit 17");
    redoMenu.actions()[0]->trigger();
    EXPECT_EQ(value, 18);
}

TEST(UndoMenus, ReplacedOrDestroyedMenusDetach) {
    TUndo undo;
    QMenu first;
    undo.SetPopupUndo(&first);
    emit first.aboutToShow();
    EXPECT_EQ(first.actions().size(), 1);
    QMenu second;
    undo.SetPopupUndo(&second);
    EXPECT_TRUE(first.actions().isEmpty()); // emptied when replaced
    emit first.aboutToShow();
    EXPECT_TRUE(first.actions().isEmpty()); // and no longer filled
    {
        auto menu = std::make_unique<QMenu>();
        undo.SetPopupRedo(menu.get());
    }
    EXPECT_EQ(undo.PopupRedo(), nullptr);
}

} // namespace
