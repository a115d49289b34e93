#include "editor/ui/dialogs/shgform.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "components/ui/messengerform.h"
#include "components/ui/windowedmessenger.h"
#include "editor/editorcontext.h"
#include "editor/ui/dialogs/shgpicture.h"
#include "editor/ui/dialogs/shgsortform.h"
#include "helpproject/images/bmpreader.h"
#include "platform/fileio.h"
#include "platform/registry.h"

using editor::ui::TSHGForm;
using helpproject::TSHG;

namespace {

struct TCanvasRectLike {
    int Left, Top, Width, Height;
    bool operator==(const TCanvasRectLike&) const = default;
};

class SHGFormTest : public ::testing::Test {
protected:
    SHGFormTest() : registry(platform::OpenMemoryRegistry()), context(messenger, *registry) {
        auto& project = context.Project();
        project.ClearTopics();
        project.AddTopic(10, "Intro")->TopicID = "intro";
        project.AddTopic(20, "Setup")->TopicID = "setup";
        project.Windows = {"main=\"Main\",(0,0,1023,1023)"};
        dir = std::filesystem::temp_directory_path() /
              ("bw_shgform_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(dir);
        form = std::make_unique<TSHGForm>(context);
        form->resize(800, 600);
        form->show();
    }
    ~SHGFormTest() override {
        form.reset();
        std::filesystem::remove_all(dir);
    }

    std::string Bmp(const char* name, int width, int height) {
        helpproject::TBitmap bitmap;
        bitmap.SetSize(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.SetPixel(x, y, {static_cast<std::uint8_t>(x * 2), 0, 255});
        const std::string path = (dir / name).string();
        platform::WriteFileAtomic(path, helpproject::WriteBmp(bitmap));
        return path;
    }

    // A person's drag on the picture, in displayed points.
    void Drag(QPoint from, QPoint to) {
        QWidget* picture = form->Picture();
        QMouseEvent press(QEvent::MouseButtonPress, from, picture->mapToGlobal(from),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(picture, &press);
        const QPoint middle = (from + to) / 2;
        for (QPoint p : {middle, to}) {
            QMouseEvent move(QEvent::MouseMove, p, picture->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &move);
        }
        QMouseEvent release(QEvent::MouseButtonRelease, to, picture->mapToGlobal(to),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(picture, &release);
    }

    std::vector<std::string> Messages() const {
        return messenger.Texts(components::TScriptedMessenger::TRecord::Message);
    }

    // Save As in true colour under `name` in the folder, and what the file
    // then holds.
    TSHG SavedInTrueColour(const char* name) {
        const std::string path = (dir / name).string();
        messenger.QueueAnswer(components::mrYes); // true colour
        EXPECT_TRUE(form->SaveAs(path));
        TSHG back;
        back.LoadFromFile(path, false);
        return back;
    }

    components::TScriptedMessenger messenger;
    components::ui::TWindowedMessenger windowedMessenger;
    std::unique_ptr<platform::Registry> registry;
    editor::TEditorContext context;
    std::filesystem::path dir;
    std::unique_ptr<TSHGForm> form;
};

} // namespace

// Draw a hotspot, give it a topic, a window and a file, save in true colour
// and read the file back.
TEST_F(SHGFormTest, DrawnHotspotIsSavedWithItsTarget) {
    ASSERT_TRUE(form->OpenFile(Bmp("pic.bmp", 120, 90)));
    ASSERT_EQ(form->TabCount(), 1);
    EXPECT_EQ(form->Tabs()->tabText(0), "pic.shg");
    EXPECT_FALSE(form->BtnDel()->isEnabled());

    Drag({10, 10}, {13, 40}); // 3 pixels wide: nothing
    EXPECT_TRUE(form->CurrentSHG()->Hotspots.empty());
    Drag({50, 40}, {10, 10});
    ASSERT_EQ(form->CurrentSHG()->Hotspots.size(), 1u);
    EXPECT_EQ(form->SpinLeft()->value(), 10);
    EXPECT_EQ(form->SpinWidth()->value(), 40);
    EXPECT_EQ(form->SpinHeight()->value(), 30);
    EXPECT_EQ(form->ComboHotspot()->currentText(), "<new hotspot>");
    EXPECT_TRUE(form->BtnDel()->isEnabled());

    // The panel: topic, window and file.
    QApplication::setActiveWindow(form.get());
    form->ComboTopic()->setEditText("Intro (10)");
    form->ComboWindow()->setEditText("main");
    form->EditFile()->setText("other.hlp");
    // Moved with the mouse: the spin boxes follow.
    Drag({20, 20}, {30, 25});
    EXPECT_EQ(form->SpinLeft()->value(), 20);
    EXPECT_EQ(form->SpinTop()->value(), 15);

    const std::string path = (dir / "saved.shg").string();
    messenger.QueueAnswer(components::mrYes); // true colour
    ASSERT_TRUE(form->SaveAs(path));
    EXPECT_EQ(form->Tabs()->tabText(0), "saved.shg");

    TSHG back;
    back.LoadFromFile(path, false);
    EXPECT_EQ(back.BitCount, 24);
    EXPECT_EQ(back.Bitmap.Pixel(7, 3), (helpproject::TRgb{14, 0, 255}));
    ASSERT_EQ(back.Hotspots.size(), 1u);
    const auto& h = back.Hotspots[0];
    EXPECT_EQ(h.Target, "intro>main@other.hlp");
    EXPECT_EQ(h.HotspotType, 227 + 8);
    EXPECT_EQ(h.HotspotAttr, 0);
    EXPECT_EQ(h.Name, "Intro"); // an automatic name follows the topic
    EXPECT_EQ(h.Left, 20);
    EXPECT_EQ(h.Top, 15);
    EXPECT_EQ(h.Width, 40);
    EXPECT_EQ(h.Height, 30);

    // 16 colours: the picture is reduced to the fixed table.
    messenger.QueueAnswer(components::mrNo);
    ASSERT_TRUE(form->SaveAs((dir / "small.shg").string()));
    TSHG small;
    small.LoadFromFile((dir / "small.shg").string(), false);
    EXPECT_EQ(small.BitCount, 4);
    EXPECT_EQ(small.Hotspots.size(), 1u);
}

TEST_F(SHGFormTest, ZoomedClicksAddressPicturePoints) {
    ASSERT_TRUE(form->OpenFile(Bmp("pic.bmp", 100, 80)));
    form->ZoomInClick();
    form->ZoomInClick();
    EXPECT_EQ(form->CurrentCanvas()->ZoomLevel(), 3);
    EXPECT_EQ(form->Picture()->size(), QSize(400, 320));
    Drag({40, 20}, {80, 60});
    ASSERT_EQ(form->CurrentSHG()->Hotspots.size(), 1u);
    EXPECT_EQ(form->SpinLeft()->value(), 10);
    EXPECT_EQ(form->SpinTop()->value(), 5);
    EXPECT_EQ(form->SpinWidth()->value(), 10);
}

// A damaged file opens no tab and shows the reader's message; the tab that
// was open stays as it was.
TEST_F(SHGFormTest, BadFilesOpenNoTab) {
    ASSERT_TRUE(form->OpenFile(Bmp("pic.bmp", 50, 40)));
    form->BtnAdd()->click();
    const std::string damaged = (dir / "bad.shg").string();
    platform::WriteFileAtomic(damaged, std::string("lp\x02\x00\x08\x00\x00\x00", 8));
    EXPECT_FALSE(form->OpenFile(damaged));
    const std::string jpeg = (dir / "photo.jpg").string();
    platform::WriteFileAtomic(jpeg, "not read");
    EXPECT_FALSE(form->OpenFile(jpeg));
    EXPECT_FALSE(form->OpenFile((dir / "missing.shg").string()));

    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Cannot understand SHG file.\r(More than one bitmap in file)");
    EXPECT_EQ(messages[1], "Brindlewoven's SHG editor can only open SHG, BMP, GIF and PNG files.");
    EXPECT_EQ(form->TabCount(), 1);
    EXPECT_EQ(form->Tabs()->count(), 1);
    EXPECT_EQ(form->CurrentSHG()->Hotspots.size(), 1u);
    EXPECT_EQ(form->CurrentCanvas()->PictureWidth(), 50);
}

TEST_F(SHGFormTest, OpeningAPictureOverATabAsksWhatToDo) {
    ASSERT_TRUE(form->OpenFile(Bmp("pic.bmp", 50, 40)));
    form->BtnAdd()->click();
    const std::string other = Bmp("other.bmp", 70, 60);

    messenger.QueueAnswer(components::mrCancel);
    EXPECT_FALSE(form->OpenFile(other));
    EXPECT_EQ(form->TabCount(), 1);

    messenger.QueueAnswer(components::mrYes); // Replace
    EXPECT_TRUE(form->OpenFile(other));
    EXPECT_EQ(form->TabCount(), 1);
    EXPECT_EQ(form->CurrentCanvas()->PictureWidth(), 70);
    ASSERT_EQ(form->CurrentSHG()->Hotspots.size(), 1u);
    EXPECT_EQ(form->CurrentSHG()->Hotspots[0].Width, 25);

    messenger.QueueAnswer(components::mrNo); // New SHG
    EXPECT_TRUE(form->OpenFile(other));
    EXPECT_EQ(form->TabCount(), 2);
    EXPECT_EQ(form->Tabs()->tabText(1), "other.shg");
    EXPECT_TRUE(form->CurrentSHG()->Hotspots.empty());
    const auto& records = messenger.Records;
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().Caption, "Open bitmap");

    form->CloseTabClick();
    EXPECT_EQ(form->TabCount(), 1);
    EXPECT_EQ(form->CurrentSHG()->Hotspots.size(), 1u);
    messenger.QueueAnswer(components::mrNo); // its new picture is not saved
    form->CloseTabClick();
    EXPECT_EQ(form->TabCount(), 0);
    EXPECT_FALSE(form->ItemSave()->isEnabled());
}

// A new hotspot bitmap made from pic.bmp is named pic.shg; a pic.shg that
// is already there is another's work and is replaced only on Yes.
TEST_F(SHGFormTest, ANewPictureReplacesAnSHGOfItsNameOnlyWhenTold) {
    const std::string existing = (dir / "pic.shg").string();
    platform::WriteFileAtomic(existing, "made before");
    ASSERT_TRUE(form->OpenFile(Bmp("pic.bmp", 50, 40), true));
    form->BtnAdd()->click();
    const auto asked = [this] {
        return std::count_if(messenger.Records.begin(), messenger.Records.end(), [](const auto& r) {
            return r.Caption == "Save Segmented HyperGraphic";
        });
    };

    // No: the save dialog is offered instead; cancelled, nothing is written.
    messenger.QueueAnswer(components::mrNo);
    bool offered = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            offered = true;
            dialog->reject();
        }
    });
    EXPECT_FALSE(form->SaveClick());
    EXPECT_TRUE(offered);
    EXPECT_EQ(asked(), 1);
    EXPECT_EQ(platform::ReadFileBytes(existing), "made before");

    // Yes replaces it; from then on the file is this picture's own.
    messenger.QueueAnswer(components::mrYes);
    messenger.QueueAnswer(components::mrYes); // true colour
    EXPECT_TRUE(form->SaveClick());
    EXPECT_EQ(asked(), 2);
    helpproject::TSHG saved;
    saved.LoadFromFile(existing, false);
    EXPECT_EQ(saved.Hotspots.size(), 1u);
    messenger.QueueAnswer(components::mrYes); // true colour
    EXPECT_TRUE(form->SaveClick());
    EXPECT_EQ(asked(), 2);
}

// A picture with a new hotspot asks before it goes, whichever way: File >
// Exit, closing its tab, or closing the window. Save writes it and lets it
// go, Don't save drops it, Cancel keeps everything as it was.
TEST_F(SHGFormTest, ClosingAChangedPictureAsksToSaveIt) {
    enum class TWay { Exit, CloseTab, CloseWindow };
    const char* names[] = {"Exit", "tab", "window"};
    for (TWay way : {TWay::Exit, TWay::CloseTab, TWay::CloseWindow}) {
        for (int answer : {components::mrYes, components::mrNo, components::mrCancel}) {
            const std::string what =
                std::string(names[static_cast<int>(way)]) + " " + std::to_string(answer);
            form->show();
            messenger.Records.clear();
            const std::string bmp = Bmp("pic.bmp", 120, 90);
            const std::filesystem::path shg = dir / "pic.shg";
            std::filesystem::remove(shg);
            ASSERT_TRUE(form->OpenFile(bmp)) << what;
            ASSERT_EQ(form->TabCount(), 1) << what;
            Drag({10, 10}, {50, 40});
            ASSERT_EQ(form->CurrentSHG()->Hotspots.size(), 1u) << what;

            messenger.QueueAnswer(answer);
            if (answer == components::mrYes)
                messenger.QueueAnswer(components::mrYes); // true colour
            switch (way) {
            case TWay::Exit:
                form->ItemExit()->trigger();
                break;
            case TWay::CloseTab:
                form->ItemClose()->trigger();
                break;
            case TWay::CloseWindow:
                form->close();
                break;
            }
            ASSERT_FALSE(messenger.Records.empty()) << what;
            const auto& asked = messenger.Records.front();
            EXPECT_EQ(asked.Caption,
                      "If you do not save your hotspot bitmap, you will lose all your changes");
            EXPECT_EQ(asked.Text,
                      "\"pic.shg\" has been modified!\rDo you wish to save your changes?");
            EXPECT_EQ(messenger.UnscriptedQuestions, 0) << what;

            const bool windowGoes = way != TWay::CloseTab;
            switch (answer) {
            case components::mrCancel:
                EXPECT_EQ(form->TabCount(), 1) << what;
                EXPECT_TRUE(form->isVisible()) << what;
                EXPECT_EQ(form->CurrentSHG()->Hotspots.size(), 1u) << what;
                EXPECT_FALSE(std::filesystem::exists(shg)) << what;
                break;
            case components::mrNo:
                EXPECT_EQ(form->TabCount(), 0) << what;
                EXPECT_NE(form->isVisible(), windowGoes) << what;
                EXPECT_FALSE(std::filesystem::exists(shg)) << what;
                break;
            default: {
                // A saved picture stays open only in a window that is kept.
                EXPECT_EQ(form->TabCount(), windowGoes ? 1 : 0) << what;
                EXPECT_NE(form->isVisible(), windowGoes) << what;
                TSHG back;
                back.LoadFromFile(shg.string(), false);
                EXPECT_EQ(back.Hotspots.size(), 1u) << what;
                break;
            }
            }
            // A saved picture closes without a question; the one kept by
            // Cancel is still changed.
            messenger.Records.clear();
            if (answer == components::mrCancel)
                messenger.QueueAnswer(components::mrNo);
            form->CloseTabClick();
            EXPECT_EQ(form->TabCount(), 0) << what;
            EXPECT_EQ(messenger.Records.size(), answer == components::mrCancel ? 1u : 0u) << what;
        }
    }
}

// Unchanged pictures go without a question; of several changed ones each
// is asked about (a hotspot renamed in the panel is a change too), and a
// Cancel at the last keeps them all.
TEST_F(SHGFormTest, ClosingTheWindowAsksForEachChangedPicture) {
    TSHG three;
    three.Bitmap.SetSize(50, 40);
    three.BitCount = 24;
    three.Hotspots.push_back(editor::NewHotspot({1, 1, 10, 10}));
    three.Hotspots[0].Name = "Button";
    const std::string threeFile = (dir / "three.shg").string();
    three.SaveToFile(threeFile, false);

    ASSERT_TRUE(form->OpenFile(Bmp("one.bmp", 50, 40)));
    messenger.QueueAnswer(components::mrNo); // New SHG
    ASSERT_TRUE(form->OpenFile(Bmp("two.bmp", 50, 40)));
    ASSERT_TRUE(form->OpenFile(threeFile));
    messenger.Records.clear();
    EXPECT_TRUE(form->CloseQuery());
    EXPECT_TRUE(messenger.Records.empty());
    EXPECT_EQ(form->TabCount(), 3);

    form->Tabs()->setCurrentIndex(0);
    form->BtnAdd()->click();
    form->Tabs()->setCurrentIndex(2);
    form->EditName()->setText("Renamed");
    form->Tabs()->setCurrentIndex(1);
    messenger.QueueAnswer(components::mrNo);     // one.shg: don't save
    messenger.QueueAnswer(components::mrCancel); // three.shg
    EXPECT_FALSE(form->close());
    ASSERT_EQ(messenger.Records.size(), 2u);
    EXPECT_NE(messenger.Records[0].Text.find("one.shg"), std::string::npos);
    EXPECT_NE(messenger.Records[1].Text.find("three.shg"), std::string::npos);
    EXPECT_EQ(form->TabCount(), 3);
    EXPECT_EQ(form->CurrentTab(), 2); // the one asked about is shown

    messenger.Records.clear();
    messenger.QueueAnswer(components::mrNo);
    messenger.QueueAnswer(components::mrNo);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(messenger.Records.size(), 2u);
    ASSERT_EQ(form->TabCount(), 1);
    EXPECT_EQ(form->Tabs()->tabText(0), "two.shg");
    TSHG back;
    back.LoadFromFile(threeFile, false);
    EXPECT_EQ(back.Hotspots[0].Name, "Button"); // not saved
}

// Replacing the picture by a smaller one moves every hotspot that reaches
// beyond it into it, shown in the panel or not, and says how many moved.
TEST_F(SHGFormTest, SmallerPictureClampsEveryHotspot) {
    TSHG shg;
    shg.Bitmap.SetSize(200, 100);
    shg.BitCount = 24;
    const TCanvasRectLike rects[] = {
        {10, 10, 20, 20}, {150, 20, 40, 30}, {90, 70, 30, 25}, {5, 5, 180, 90}};
    for (const auto& r : rects) {
        helpproject::TBrindlewovenHotspot h;
        h.Name = "h";
        h.HotspotType = 227;
        h.Target = "intro";
        h.Left = r.Left;
        h.Top = r.Top;
        h.Width = r.Width;
        h.Height = r.Height;
        shg.Hotspots.push_back(h);
    }
    const std::string source = (dir / "wide.shg").string();
    shg.SaveToFile(source, false);
    ASSERT_TRUE(form->OpenFile(source));
    QTest::mouseClick(form->BtnNext(), Qt::LeftButton);
    ASSERT_EQ(form->ComboHotspot()->currentIndex(), 1); // the panel shows one to be moved

    messenger.QueueAnswer(components::mrYes); // Replace
    ASSERT_TRUE(form->OpenFile(Bmp("small.bmp", 100, 60)));
    ASSERT_EQ(form->CurrentCanvas()->PictureWidth(), 100);
    const auto& messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "3 hotspots reached beyond the new picture and were moved into it.");

    const TSHG back = SavedInTrueColour("narrow.shg");
    ASSERT_EQ(back.Hotspots.size(), 4u);
    const TCanvasRectLike expected[] = {
        {10, 10, 20, 20}, {60, 20, 40, 30}, {70, 35, 30, 25}, {0, 0, 100, 60}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& h = back.Hotspots[i];
        EXPECT_EQ((TCanvasRectLike{h.Left, h.Top, h.Width, h.Height}), expected[i]) << i;
        EXPECT_LE(h.Left + h.Width, 100) << i;
        EXPECT_LE(h.Top + h.Height, 60) << i;
    }
}

// The colour question of Save As offers Help as its third button; Help
// leaves the question open and asks for the editor's help.
TEST_F(SHGFormTest, ColourQuestionHasAHelpButton) {
    editor::TEditorContext windowed(windowedMessenger, *registry);
    TSHGForm shgForm(windowed);
    shgForm.SetFileChooser([](const editor::TFileDialogSpec&) { return std::string(); });
    shgForm.show();
    ASSERT_TRUE(shgForm.OpenFile(Bmp("pic.bmp", 40, 30)));
    std::vector<int> helpAsked;
    QObject::connect(&shgForm, &TSHGForm::HelpRequested,
                     [&](int context) { helpAsked.push_back(context); });
    QStringList captions;
    QTimer::singleShot(0, [&] {
        auto* box =
            qobject_cast<components::ui::TMessengerForm*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (int i = 0; i < box->ButtonCount(); ++i)
            captions << box->DialogButton(i)->text();
        ASSERT_EQ(box->ButtonCount(), 3);
        QPushButton* trueColour = box->DialogButton(1);
        QPushButton* help = box->DialogButton(2);
        QTest::mouseClick(help, Qt::LeftButton);
        EXPECT_TRUE(box->isVisible()); // still asking
        QTest::mouseClick(trueColour, Qt::LeftButton);
    });
    ASSERT_TRUE(shgForm.SaveAs((dir / "help.shg").string()));
    EXPECT_EQ(captions, (QStringList{"16 colors", "True color", "&Help"}));
    EXPECT_EQ(helpAsked, (std::vector<int>{TSHGForm::kHelpContext}));
    EXPECT_TRUE(std::filesystem::exists(dir / "help.shg"));
}

// The repository's hotspot bitmaps, opened and saved without an edit, come
// back byte for byte.
TEST_F(SHGFormTest, FixturesSaveUnchanged) {
    const std::filesystem::path corpus =
        std::filesystem::path(BW_SOURCE_DIR) / "tests/fuzz/corpus/shg_fuzz";
    int seen = 0;
    for (const char* name : {"d4.shg", "d8.shg", "d24.shg"}) {
        const std::filesystem::path copy = dir / name;
        std::filesystem::copy_file(corpus / name, copy);
        const std::string before = platform::ReadFileBytes(copy);
        ASSERT_TRUE(form->OpenFile(copy.string())) << name;
        ASSERT_TRUE(form->SaveClick()) << name;
        EXPECT_EQ(platform::ReadFileBytes(copy), before) << name;
        ++seen;
    }
    EXPECT_EQ(form->TabCount(), seen);
    EXPECT_EQ(messenger.UnscriptedQuestions, 0);
}

TEST_F(SHGFormTest, ExportingThePictureAsksFirst) {
    ASSERT_TRUE(form->OpenFile(Bmp("pic.bmp", 30, 20)));
    const std::string png = (dir / "out.png").string();
    messenger.QueueAnswer(components::mrNo);
    EXPECT_FALSE(form->SaveAs(png));
    EXPECT_FALSE(std::filesystem::exists(png));
    messenger.QueueAnswer(components::mrYes);
    EXPECT_TRUE(form->SaveAs(png));
    EXPECT_EQ(messenger.Records.back().Caption, "Save bitmap into PNG file");
    EXPECT_EQ(platform::ReadFileBytes(png).substr(1, 3), "PNG");
}

// Leaving a tab stores the panel into the hotspot it showed, not into the
// tab being entered.
TEST_F(SHGFormTest, SwitchingTabsStoresThePanelIntoItsOwnTab) {
    ASSERT_TRUE(form->OpenFile(Bmp("one.bmp", 50, 40)));
    form->BtnAdd()->click();
    messenger.QueueAnswer(components::mrNo); // New SHG
    ASSERT_TRUE(form->OpenFile(Bmp("two.bmp", 60, 40)));
    form->BtnAdd()->click();
    form->EditName()->setText("Second");
    form->RadioType(2)->click();
    form->EditMacro()->setText("Back()");
    form->Tabs()->setCurrentIndex(0);
    EXPECT_EQ(form->EditName()->text(), "<new hotspot>");
    form->EditName()->setText("First");
    form->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(form->EditName()->text(), "Second");
    EXPECT_TRUE(form->RadioType(2)->isChecked());
    EXPECT_EQ(form->CurrentSHG()->Hotspots[0].Target, "Back()");
    EXPECT_EQ(form->CurrentSHG()->Hotspots[0].HotspotType, 200);
    form->Tabs()->setCurrentIndex(0);
    EXPECT_EQ(form->CurrentSHG()->Hotspots[0].Name, "First");
    EXPECT_EQ(form->CurrentSHG()->Hotspots[0].HotspotType, 227);
}

// Sort Hotspots: the dialog shows the hotspots in their order; on OK they
// take its order (with their places and targets) and are saved so, the
// selected hotspot stays selected; Cancel changes nothing.
TEST_F(SHGFormTest, SortHotspotsReordersThemAndTheyAreSavedInThatOrder) {
    TSHG shg;
    shg.Bitmap.SetSize(60, 40);
    shg.BitCount = 24;
    const char* names[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i) {
        helpproject::TBrindlewovenHotspot h;
        h.Name = names[i];
        h.HotspotType = 227;
        h.Target = i == 0 ? "intro" : "setup";
        h.Left = i * 15;
        h.Top = i * 5;
        h.Width = 10;
        h.Height = 10;
        shg.Hotspots.push_back(h);
    }
    const std::string source = (dir / "three.shg").string();
    shg.SaveToFile(source, false);
    ASSERT_TRUE(form->OpenFile(source));
    ASSERT_TRUE(form->ItemSort()->isEnabled());
    QTest::mouseClick(form->BtnNext(), Qt::LeftButton);
    QTest::mouseClick(form->BtnNext(), Qt::LeftButton);
    ASSERT_EQ(form->ComboHotspot()->currentText(), "Three");

    // In the dialog: "Three" moved to the top, then OK (or Cancel).
    QStringList shown;
    const auto sortWith = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto* dialog =
                qobject_cast<editor::ui::TSHGSortForm*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown.clear();
            for (int i = 0; i < dialog->ListHotspots()->count(); ++i)
                shown << dialog->ListHotspots()->item(i)->text();
            dialog->ListHotspots()->setCurrentRow(2);
            QTest::mouseClick(dialog->BtnUp(), Qt::LeftButton);
            QTest::mouseClick(dialog->BtnUp(), Qt::LeftButton);
            if (accept)
                QTest::mouseClick(dialog->OkBtn(), Qt::LeftButton);
            else
                dialog->reject();
        });
        form->ItemSort()->trigger();
    };
    const auto order = [this] {
        std::vector<std::string> result;
        for (const auto& h : form->CurrentSHG()->Hotspots)
            result.push_back(h.Name);
        return result;
    };

    sortWith(false);
    EXPECT_EQ(shown, QStringList({"One", "Two", "Three"}));
    EXPECT_EQ(order(), (std::vector<std::string>{"One", "Two", "Three"}));

    sortWith(true);
    EXPECT_EQ(shown, QStringList({"One", "Two", "Three"}));
    ASSERT_EQ(order(), (std::vector<std::string>{"Three", "One", "Two"}));
    EXPECT_EQ(form->ComboHotspot()->itemText(0), "Three");
    EXPECT_EQ(form->ComboHotspot()->itemText(2), "Two");
    EXPECT_EQ(form->ComboHotspot()->currentText(), "Three");
    EXPECT_EQ(form->CurrentCanvas()->Selected(), 0);

    const TSHG back = SavedInTrueColour("sorted.shg");
    ASSERT_EQ(back.Hotspots.size(), 3u);
    const std::pair<const char*, int> expected[] = {{"Three", 30}, {"One", 0}, {"Two", 15}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Hotspots[i].Name, expected[i].first) << i;
        EXPECT_EQ(back.Hotspots[i].Left, expected[i].second) << i;
    }
    EXPECT_EQ(back.Hotspots[1].Target, "intro");
    EXPECT_EQ(messenger.UnscriptedQuestions, 0);
}
