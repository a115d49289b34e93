// The floating tool panel as a person drags it, and its state in a real
// hive.
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/flyingpanel.h"
#include "platform/registry.h"

namespace {

using components::TPanelAlign;
using components::ui::TFlyingPanel;

constexpr const char* kKey = "Software\\Vexlor\\Brindlewoven";

class FlyingPanel : public ::testing::Test {
protected:
    void SetUp() override {
        form.setObjectName("FindForm");
        form.setCentralWidget(new QWidget);
        form.setGeometry(100, 100, 500, 300);
        panel = new TFlyingPanel(&form);
        panel->setObjectName("FindBar");
        for (int i = 0; i < 3; ++i) {
            auto* button = new QPushButton(QString("Button %1").arg(i), panel->Content());
            // Designed as a column: the window holds the panel at its right.
            button->setGeometry(5, 2 + 29 * i, 75, 25);
            buttons.push_back(button);
        }
        panel->SetRegistry(registry.get());
        panel->AddDockSite(&form, true, true, false, false);
        panel->DockInto(&form, TPanelAlign::Right);
        panel->Loaded();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        Settle();
    }

    static void Settle() { QApplication::processEvents(); }

    // A point of the panel's face where no control is.
    QPoint EmptyPoint() const { return QPoint(2, panel->Content()->height() - 3); }
    // Where a point of a window lies in the panel face's coordinates.
    QPoint FaceAt(QWidget& window, QPoint point) const {
        return panel->Content()->mapFromGlobal(window.mapToGlobal(point));
    }
    void Press(QPoint at) { QTest::mousePress(panel->Content(), Qt::LeftButton, {}, at); }
    void MoveTo(QPoint at) { QTest::mouseMove(panel->Content(), at); }
    void Release(QPoint at) { QTest::mouseRelease(panel->Content(), Qt::LeftButton, {}, at); }

    std::unique_ptr<platform::Registry> registry = platform::OpenMemoryRegistry();
    QMainWindow form;
    TFlyingPanel* panel = nullptr;
    std::vector<QPushButton*> buttons;
};

TEST_F(FlyingPanel, DockedRightItStandsAsAColumnOfCentredControls) {
    EXPECT_EQ(panel->Site(), &form);
    EXPECT_EQ(panel->Align(), TPanelAlign::Right);
    EXPECT_TRUE(panel->Vertical());
    EXPECT_EQ(panel->Content()->width(), 2 * 5 + 75);
    EXPECT_EQ(buttons[0]->geometry(), QRect(5, 2, 75, 25));
    EXPECT_EQ(buttons[1]->geometry(), QRect(5, 31, 75, 25));
    EXPECT_GT(panel->x(), 300);
}

TEST_F(FlyingPanel, APressOnAControlNeverStartsADrag) {
    QTest::mousePress(buttons[1], Qt::LeftButton);
    EXPECT_FALSE(panel->DragArmed());
    MoveTo(FaceAt(form, QPoint(3, 150)));
    EXPECT_EQ(panel->Align(), TPanelAlign::Right);
    QTest::mouseRelease(buttons[1], Qt::LeftButton);
}

TEST_F(FlyingPanel, FourPixelsStartNoDragFiveDo) {
    const QPoint start = EmptyPoint();
    Press(start);
    EXPECT_TRUE(panel->DragArmed());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    // The panel's own drag cursor.
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BitmapCursor);
    MoveTo(start + QPoint(-4, -4));
    EXPECT_FALSE(panel->Moving());
    MoveTo(start + QPoint(-5, 0));
    EXPECT_TRUE(panel->Moving());
    Release(start + QPoint(-5, 0));
    EXPECT_FALSE(panel->DragArmed());
    EXPECT_FALSE(panel->Moving());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(panel->Align(), TPanelAlign::Right);
}

TEST_F(FlyingPanel, DraggedOverTheLeftEdgeOfItsWindowItDocksThere) {
    QSignalSpy docked(panel, &TFlyingPanel::DockChanged);
    Press(EmptyPoint());
    MoveTo(EmptyPoint() + QPoint(-10, 0));
    MoveTo(FaceAt(form, QPoint(200, 150))); // the middle is no hot zone
    EXPECT_EQ(docked.count(), 0);
    MoveTo(FaceAt(form, QPoint(3, 150)));
    EXPECT_EQ(docked.count(), 1);
    EXPECT_EQ(panel->Align(), TPanelAlign::Left);
    EXPECT_FALSE(panel->DragArmed());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Settle();
    EXPECT_LT(panel->x(), 10);
    EXPECT_TRUE(panel->isVisible());
    // The top edge was not offered.
    Press(EmptyPoint());
    MoveTo(EmptyPoint() + QPoint(10, 0));
    MoveTo(FaceAt(form, QPoint(250, 3)));
    EXPECT_EQ(panel->Align(), TPanelAlign::Left);
    Release(FaceAt(form, QPoint(250, 3)));
}

TEST_F(FlyingPanel, DraggedIntoAnotherRegisteredWindowItLiesAlongItsTop) {
    QMainWindow other;
    other.setObjectName("MainForm");
    other.setCentralWidget(new QWidget);
    other.setGeometry(700, 100, 400, 300);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    panel->AddDockSite(&other, false, false, true, false);
    QSignalSpy docked(panel, &TFlyingPanel::DockChanged);
    Press(EmptyPoint());
    MoveTo(EmptyPoint() + QPoint(10, 0));
    MoveTo(FaceAt(other, QPoint(200, 10)));
    ASSERT_EQ(docked.count(), 1);
    EXPECT_EQ(panel->Site(), &other);
    EXPECT_EQ(panel->Align(), TPanelAlign::Top);
    EXPECT_FALSE(panel->Vertical());
    EXPECT_EQ(panel->Content()->minimumHeight(), 2 * 3 + 25);
    EXPECT_EQ(buttons[2]->geometry(), QRect(160, 3, 75, 25));
}

TEST_F(FlyingPanel, StateRoundTripsThroughARealHive) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto hive = platform::OpenFileRegistry(folder.path().toStdString());
    panel->SetRegistry(hive.get());
    panel->DockInto(&form, TPanelAlign::Left);
    panel->hide();
    panel->SaveState(kKey);
    hive.reset(); // flushes the hive file

    QFile file(folder.path() + "/HKCU.reg");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Vexlor\\Brindlewoven\\FindBar]"));
    EXPECT_TRUE(text.contains("\"ParentForm\"=\"FindForm\""));
    EXPECT_TRUE(text.contains("\"ParentControl\"=\"FindForm\""));
    EXPECT_TRUE(text.contains("\"Align\"=dword:00000003"));
    EXPECT_TRUE(text.contains("\"Visible\"=hex:00"));

    panel->DockInto(&form, TPanelAlign::Right);
    EXPECT_FALSE(panel->isHidden());
    auto reopened = platform::OpenFileRegistry(folder.path().toStdString());
    panel->SetRegistry(reopened.get());
    panel->LoadState(kKey);
    EXPECT_EQ(panel->Site(), &form);
    EXPECT_EQ(panel->Align(), TPanelAlign::Left);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(panel->Vertical());
}

TEST_F(FlyingPanel, StateNamesTheControlInsideItsForm) {
    QWidget mainForm;
    mainForm.setObjectName("MainForm");
    auto* dock = new QMainWindow(&mainForm);
    dock->setWindowFlags(Qt::Widget);
    dock->setObjectName("PanelDock");
    dock->setCentralWidget(new QWidget);
    panel->AddDockSite(dock, true, true, true, true);
    panel->DockInto(dock, TPanelAlign::Bottom);
    panel->SaveState(kKey);
    const std::string key = std::string(kKey) + "\\FindBar";
    EXPECT_EQ(registry->ReadString(platform::RootKey::CurrentUser, key, "ParentForm"), "MainForm");
    EXPECT_EQ(registry->ReadString(platform::RootKey::CurrentUser, key, "ParentControl"),
              "PanelDock");

    panel->DockInto(&form, TPanelAlign::Right);
    panel->LoadState(kKey);
    EXPECT_EQ(panel->Site(), dock);
    EXPECT_EQ(panel->Align(), TPanelAlign::Bottom);
    EXPECT_FALSE(panel->isHidden());
}

TEST_F(FlyingPanel, ABadStoredAlignOrAParentThatIsNoDockSiteLeavesThePanel) {
    QMainWindow stranger;
    stranger.setObjectName("Stranger");
    stranger.setCentralWidget(new QWidget);
    const std::string key = std::string(kKey) + "\\FindBar";
    using platform::RootKey;
    struct Case {
        const char* name;
        const char* form;
        std::uint32_t align;
    } cases[] = {
        {"align 0", "FindForm", 0},
        {"align 5 (client)", "FindForm", 5},
        {"a window that is no dock site", "Stranger", 1},
        {"a window that is not open", "Gone", 1},
    };
    for (const Case& c : cases) {
        registry->WriteString(RootKey::CurrentUser, key, "ParentForm", c.form);
        registry->WriteString(RootKey::CurrentUser, key, "ParentControl", c.form);
        registry->WriteDword(RootKey::CurrentUser, key, "Align", c.align);
        registry->WriteBinary(RootKey::CurrentUser, key, "Visible", std::string(1, '\0'));
        panel->LoadState(kKey);
        EXPECT_EQ(panel->Site(), &form) << c.name;
        EXPECT_EQ(panel->Align(), TPanelAlign::Right) << c.name;
        EXPECT_FALSE(panel->isHidden()) << c.name;
    }
    // The same values with a good alignment are taken.
    registry->WriteString(RootKey::CurrentUser, key, "ParentForm", "FindForm");
    registry->WriteString(RootKey::CurrentUser, key, "ParentControl", "FindForm");
    registry->WriteDword(RootKey::CurrentUser, key, "Align", 3);
    panel->LoadState(kKey);
    EXPECT_EQ(panel->Align(), TPanelAlign::Left);
}

TEST_F(FlyingPanel, RemovingASiteTakesItsFirstEntry) {
    QMainWindow other;
    panel->AddDockSite(&other, true, false, false, false);
    panel->AddDockSite(&other, false, true, false, false);
    panel->RemoveDockSite(&other);
    ASSERT_EQ(panel->DockSites().size(), 2u);
    EXPECT_EQ(panel->DockSites()[1].Edges, (components::TDockEdges{false, true, false, false}));
    panel->RemoveDockSite(&other);
    EXPECT_FALSE(panel->IsDockSite(&other));
    EXPECT_TRUE(panel->IsDockSite(&form));
}

} // namespace
