// The recent-files menu as the main window uses it.
#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "components/ui/reopenmenu.h"
#include "platform/registry.h"
#include "platform/tempfolder.h"

namespace {

using components::ui::TReopenMenu;

TReopenMenu::TTexts MainWindowTexts() {
    return {"Reopen this project",
            "&Remove All",
            "Remove all items from the reopen menu",
            "Remove &Obsolete",
            "Remove all projects that no longer exist from the reopen menu",
            "Empty"};
}

QStringList Captions(const QMenu& menu) {
    QStringList captions;
    for (QAction* action : menu.actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

class ReopenMenu : public testing::Test {
protected:
    ReopenMenu() {
        reopen_.SetMenuItem(&menu_);
        reopen_.SetMaxItems(10);
        reopen_.SetTexts(MainWindowTexts());
    }

    QMenu menu_{QStringLiteral("&Reopen")};
    TReopenMenu reopen_;
};

TEST_F(ReopenMenu, AnEmptyListShowsOneDisabledItem) {
    ASSERT_EQ(Captions(menu_), QStringList{"Empty"});
    EXPECT_FALSE(menu_.actions()[0]->isEnabled());
    EXPECT_EQ(menu_.actions()[0]->data().toInt(), 255);
}

TEST_F(ReopenMenu, FilesComeNewestFirstAboveTheCommands) {
    reopen_.AddFile("/help/Tom & Jerry.bwv");
    reopen_.AddFile(QString::fromUtf8("/help/\xC3\x9C"
                                      "bersicht.bwv"));
    EXPECT_EQ(Captions(menu_),
              (QStringList{QString::fromUtf8("&0 /help/\xC3\x9C"
                                             "bersicht.bwv"),
                           "&1 /help/Tom && Jerry.bwv", "-", "Remove &Obsolete", "&Remove All"}));
    QList<QAction*> actions = menu_.actions();
    EXPECT_EQ(actions[1]->data().toInt(), 1);
    EXPECT_EQ(actions[1]->statusTip(), "Reopen this project");
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(actions[i]->data().toInt(), 255);
    EXPECT_EQ(actions[4]->statusTip(), "Remove all items from the reopen menu");
}

TEST_F(ReopenMenu, ALongNameIsShortenedInTheMiddleButReopensWhole) {
    const QString longName = "/home/someone/" + QString(400, 'x') + "/project.bwv";
    reopen_.AddFile(longName);
    QAction* item = menu_.actions()[0];
    EXPECT_TRUE(item->text().startsWith("&0 /home/someone/"));
    EXPECT_TRUE(item->text().endsWith("/project.bwv"));
    EXPECT_LT(item->text().size(), 100);
    EXPECT_EQ(item->toolTip(), longName);
    QSignalSpy reopened(&reopen_, &TReopenMenu::Reopen);
    item->trigger();
    ASSERT_EQ(reopened.count(), 1);
    EXPECT_EQ(reopened.first().at(0).toString(), longName);
}

TEST_F(ReopenMenu, PickingAFileReopensItAndTheCommandsWork) {
    QSignalSpy reopened(&reopen_, &TReopenMenu::Reopen);
    reopen_.AddFile("/help/a.bwv");
    reopen_.AddFile("/help/b.bwv");
    // The owner moves the reopened file to the top while the menu is busy
    // with the click.
    QObject::connect(&reopen_, &TReopenMenu::Reopen, &reopen_,
                     [this](const QString& file) { reopen_.AddFile(file); });
    menu_.actions()[1]->trigger();
    ASSERT_EQ(reopened.count(), 1);
    EXPECT_EQ(reopened.first().at(0).toString(), "/help/a.bwv");
    EXPECT_EQ(reopen_.Files(), (QStringList{"/help/a.bwv", "/help/b.bwv"}));

    menu_.actions().at(3)->trigger(); // Remove Obsolete: neither file exists
    EXPECT_EQ(Captions(menu_), QStringList{"Empty"});
    reopen_.AddFile("/help/c.bwv");
    menu_.actions().at(3)->trigger(); // Remove All
    EXPECT_TRUE(reopen_.Files().isEmpty());
}

TEST_F(ReopenMenu, ThePopupMenuGetsCopiesEachTimeItOpens) {
    QMenu popup;
    reopen_.SetPopupMenu(&popup);
    reopen_.AddFile("/help/a.bwv");
    emit popup.aboutToShow();
    ASSERT_EQ(Captions(popup), Captions(menu_));
    QSignalSpy reopened(&reopen_, &TReopenMenu::Reopen);
    popup.actions()[0]->trigger();
    EXPECT_EQ(reopened.count(), 1);

    QMenu other;
    reopen_.SetPopupMenu(&other);
    reopen_.AddFile("/help/b.bwv");
    emit popup.aboutToShow(); // detached: left as it was
    EXPECT_EQ(popup.actions().size(), 4);
}

TEST_F(ReopenMenu, ForgetsAMenuDestroyedElsewhere) {
    auto* menu = new QMenu;
    reopen_.SetMenuItem(menu);
    delete menu;
    EXPECT_NE(reopen_.MenuItem(), nullptr); // one of its own now
    reopen_.AddFile("/help/a.bwv");
    EXPECT_EQ(reopen_.MenuItem()->actions().size(), 4);
}

TEST_F(ReopenMenu, KeepsItsListInTheRegistry) {
    platform::TempFolder folder("bwreopenmenu");
    const char* key = "Software\\Vexlor\\Brindlewoven\\Reopen";
    {
        auto registry = platform::OpenFileRegistry(folder.Path());
        reopen_.AddFile("/help/a.bwv");
        reopen_.AddFile("/help/b.bwv");
        reopen_.SaveToRegistry(*registry, key);
    }
    auto registry = platform::OpenFileRegistry(folder.Path());
    TReopenMenu read;
    read.SetTexts(MainWindowTexts());
    read.LoadFromRegistry(*registry, key);
    EXPECT_EQ(Captions(*read.MenuItem()), Captions(menu_));
}

} // namespace
