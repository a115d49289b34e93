// A window's placement saved on close and loaded at the next start, through
// a real hive.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "components/ui/saveformsize.h"
#include "platform/registry.h"
#include "platform/tempfolder.h"

namespace {

using components::ui::LoadFormPlacement;
using components::ui::SaveFormPlacement;

class SaveFormSize : public testing::Test {
protected:
    static constexpr const char* kKey = "Software\\Vexlor\\Brindlewoven";
    platform::TempFolder folder_{"bwformsize"};

    // Saves `form` as the program does when it closes, then opens the hive
    // again as the next start does.
    std::unique_ptr<platform::Registry> SavedAndReopened(const QWidget& form) {
        auto registry = platform::OpenFileRegistry(folder_.Path());
        SaveFormPlacement(*registry, kKey, form);
        registry->Flush();
        return platform::OpenFileRegistry(folder_.Path());
    }

    QRect WorkArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(SaveFormSize, ARestoredWindowComesBackWhereItWas) {
    QWidget closed;
    const QRect where(WorkArea().topLeft() + QPoint(30, 40), QSize(320, 200));
    closed.setGeometry(where);
    auto registry = SavedAndReopened(closed);

    QWidget started;
    started.setGeometry(0, 0, 100, 100);
    EXPECT_TRUE(LoadFormPlacement(*registry, kKey, started));
    EXPECT_EQ(started.geometry(), where);
    EXPECT_FALSE(started.isMaximized());
}

TEST_F(SaveFormSize, AWindowSavedOffTheWorkAreaIsPulledBackOntoIt) {
    QWidget closed;
    closed.setGeometry(WorkArea().right() - 100, WorkArea().top() + 10, 320, 200);
    auto registry = SavedAndReopened(closed);
    QWidget started;
    ASSERT_TRUE(LoadFormPlacement(*registry, kKey, started));
    EXPECT_TRUE(WorkArea().contains(started.geometry()));
    EXPECT_EQ(started.size(), QSize(320, 200));
}

TEST_F(SaveFormSize, AMaximisedWindowComesBackMaximised) {
    QWidget closed;
    closed.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&closed));
    auto registry = SavedAndReopened(closed);

    QWidget started;
    ASSERT_TRUE(LoadFormPlacement(*registry, kKey, started));
    started.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&started));
    EXPECT_TRUE(started.isMaximized());
}

TEST_F(SaveFormSize, WithoutASavedPlacementTheDesignedOneStays) {
    auto registry = platform::OpenFileRegistry(folder_.Path());
    registry->WriteBinary(platform::RootKey::CurrentUser, kKey, "Rect", std::string(16, 'x'));
    QWidget started;
    const QRect designed(10, 20, 300, 200);
    started.setGeometry(designed);
    EXPECT_FALSE(LoadFormPlacement(*registry, kKey, started));
    EXPECT_EQ(started.geometry(), designed);
}

} // namespace
