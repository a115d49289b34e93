// The wizard window driven as a person drives it, offscreen; every box goes
// to the scripted messenger.
#include "setup/ui/formsetup.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "components/scriptedmessenger.h"
#include "components/ui/richeredit.h"
#include "components/ui/textprinter.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/setuppackage.h"
#include "setup/setupsession.h"
#include "setup/ui/formbackground.h"
#include "setup/ui/pageprogress.h"
#include "setup/ui/setupwizard.h"
#include "setup/ui/wizardmessenger.h"
#include "wizard_support.h"

using components::TScriptedMessenger;
using setup::TWizardPage;
using setup::ui::TFormSetup;
using namespace setuptest;

namespace {

// The scripted messenger that also acts while a question is up, as a
// person looking at the window behind it would.
class TActingMessenger : public TScriptedMessenger {
public:
    int Ask(components::TQuestion& question) override {
        if (onAsk)
            onAsk(question);
        return TScriptedMessenger::Ask(question);
    }
    std::function<void(const components::TQuestion&)> onAsk;
};

class FormSetupTest : public ::testing::Test {
protected:
    TFormSetup& Open(const std::string& json) {
        path_ = sb_.Build(json);
        session_ = std::make_unique<setup::TSetupSession>(sb_.Roots(), sb_.Registry(),
                                                          wizardMessenger_, sb_.SelfPath());
        session_->Open(path_);
        package_ = &session_->Package();
        form_ = std::make_unique<TFormSetup>(*session_, wizardMessenger_, sb_.Environment());
        form_->show();
        EXPECT_TRUE(form_->Start());
        QApplication::processEvents(); // lays the page out
        return *form_;
    }
    // Writes the window as a PNG when BW_SETUP_SCREENSHOTS names a folder.
    void Shot(const char* name) {
        QString dir = qEnvironmentVariable("BW_SETUP_SCREENSHOTS");
        if (dir.isEmpty())
            return;
        QApplication::processEvents();
        form_->grab().save(QDir(dir).filePath(QString(name) + ".png"));
    }
    void Click(QPushButton* button) {
        ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    QTreeWidgetItem* TreeItem(const QString& name) {
        auto found = form_->TreeComponents()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }

    // Install, accept the licence and wait for the done page.
    void InstallThrough(TFormSetup& form) {
        Click(form.WelcomeButton(setup::wbInstall));
        ASSERT_EQ(form.Flow().Page(), TWizardPage::Licence);
        Click(form.BtnLicenseYes());
        for (int i = 0; i < 300 && form.Flow().Page() != TWizardPage::Done; ++i)
            QTest::qWait(10);
        ASSERT_EQ(form.Flow().Page(), TWizardPage::Done);
    }

    TWizardSandbox sb_;
    TActingMessenger messenger_;
    setup::ui::TWizardMessenger wizardMessenger_{messenger_};
    std::string path_;
    std::unique_ptr<setup::TSetupSession> session_;
    setup::TSetupPackage* package_ = nullptr;
    std::unique_ptr<TFormSetup> form_;
};

std::string NoReadmePackage() {
    return R"({"settings": {"product": "Plain", "version": "2", "appFolder": "%PROGRAMFILES%\\Plain"},
      "advancedPage": 1, "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "userMayChoose": true, "selected": true,
                      "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]})";
}

} // namespace

TEST_F(FormSetupTest, WithoutReadmeFourWelcomeButtonsMoveUp) {
    auto& form = Open(NoReadmePackage());
    Shot("welcome-noreadme");
    EXPECT_FALSE(form.WelcomeButton(setup::wbReadme)->isVisible());
    std::vector<QPushButton*> shown;
    for (int b = 0; b < setup::wbCount; ++b)
        if (form.WelcomeButton(static_cast<setup::TWelcomeButtonId>(b))->isVisible())
            shown.push_back(form.WelcomeButton(static_cast<setup::TWelcomeButtonId>(b)));
    ASSERT_EQ(shown.size(), 4u);
    // In id order, one below the other with the same step: no gap where
    // the readme button was.
    const int step = shown[1]->y() - shown[0]->y();
    EXPECT_GT(step, 0);
    for (std::size_t i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i]->y() - shown[i - 1]->y(), step) << i;
    EXPECT_EQ(shown[1], form.WelcomeButton(setup::wbComponents));
    const setup::TUiStrings& ui = package_->Ui();
    EXPECT_EQ(form.BtnBack()->text().toStdString(), ui.Get(28));
    EXPECT_EQ(form.BtnProceed()->text().toStdString(), ui.Get(29));
    EXPECT_EQ(form.BtnAbort()->text().toStdString(), ui.Get(30));
    EXPECT_EQ(form.CheckComponentsDetail()->text().toStdString(), ui.Get(38));
    EXPECT_EQ(form.WelcomeButton(setup::wbInstall)->text().toStdString(), ui.Get(4));
    EXPECT_EQ(form.windowTitle(), "Plain 2 Setup");
    // Hints show in LabelHint as the pointer moves over a button.
    QStatusTipEvent tip(form.WelcomeButton(setup::wbExit)->statusTip());
    QApplication::sendEvent(form.WelcomeButton(setup::wbExit), &tip);
    EXPECT_EQ(form.LabelHint()->text().toStdString(), ui.Get(13));
}

TEST_F(FormSetupTest, BackOnTheComponentsPageForgetsTheChanges) {
    auto& form = Open(NormalPackageJson());
    Shot("welcome");
    Click(form.WelcomeButton(setup::wbComponents));
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Components);
    Shot("components");
    QTreeWidgetItem* docs = TreeItem("Docs");
    QTreeWidgetItem* extras = TreeItem("Extras");
    ASSERT_TRUE(docs && extras);
    EXPECT_EQ(form.TreeComponents()->topLevelItemCount(), 2) << "the fixed component is not listed";
    EXPECT_EQ(docs->checkState(0), Qt::Checked);
    EXPECT_EQ(extras->checkState(0), Qt::Unchecked);
    const QString lineBefore = form.SpaceLine()->text();
    extras->setCheckState(0, Qt::Checked);
    docs->setCheckState(0, Qt::Unchecked);
    EXPECT_NE(form.SpaceLine()->text(), lineBefore) << "the space line follows the choice";
    // Enter toggles the current component too.
    form.TreeComponents()->setCurrentItem(docs);
    QTest::keyClick(form.TreeComponents(), Qt::Key_Return);
    EXPECT_EQ(docs->checkState(0), Qt::Checked);
    docs->setCheckState(0, Qt::Unchecked);

    // The detail adds the folders and files below each component.
    form.CheckComponentsDetail()->setChecked(true);
    Shot("components-detail");
    ASSERT_GT(docs->childCount(), 0);
    EXPECT_TRUE(form.TreeComponents()
                    ->findItems("guide.txt", Qt::MatchExactly | Qt::MatchRecursive)
                    .size() == 1);

    Click(form.BtnBack());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Welcome);
    Click(form.WelcomeButton(setup::wbComponents));
    docs = TreeItem("Docs");
    extras = TreeItem("Extras");
    ASSERT_TRUE(docs && extras);
    EXPECT_EQ(docs->checkState(0), Qt::Checked);
    EXPECT_EQ(extras->checkState(0), Qt::Unchecked);
    EXPECT_EQ(form.SpaceLine()->text(), lineBefore);
    EXPECT_FALSE(form.CheckComponentsDetail()->isChecked());
}

TEST_F(FormSetupTest, PathCleaningShowsItsMessageOnce) {
    auto& form = Open(NormalPackageJson());
    Click(form.WelcomeButton(setup::wbAdvanced));
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Advanced);
    ASSERT_FALSE(form.FolderEdits().empty());
    Shot("advanced");
    QLineEdit* edit = form.FolderEdits()[0];
    const QString wanted = QString::fromStdString(sb_.Path("root/opt2")) + "/Demo";
    edit->setText(wanted + "?*");
    Click(form.BtnProceed());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Advanced);
    EXPECT_EQ(edit->text(), wanted);
    EXPECT_EQ(messenger_.Records.size(), 1u);
    Click(form.BtnProceed());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::FileTypes);
    EXPECT_EQ(messenger_.Records.size(), 1u) << "the cleaned path passes";
    Shot("filetypes");
    ASSERT_EQ(form.FileTypeChecks().size(), 1u);
    EXPECT_TRUE(form.FileTypeChecks()[0]->isChecked());
    EXPECT_EQ(form.FileTypeChecks()[0]->text(), ".dmo -> Demo document (open)");
    form.FileTypeChecks()[0]->setChecked(false);
    Click(form.BtnProceed());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Components);
    EXPECT_FALSE(package_->Tables().fileTypes[0].registerType) << "the tick reaches the run";
    Click(form.BtnBack());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::FileTypes);
    EXPECT_TRUE(form.FolderEdits().empty()) << "the advanced rows went with their page";
}

TEST_F(FormSetupTest, PortablePageListsDrivesAndTakesTheFolder) {
    sb_.drives = {FixedDrive(sb_.Path("root/disk"), "Data", std::uint64_t(3) << 30),
                  FixedDrive(sb_.Path("root/other"), "", std::nullopt)};
    auto& form = Open(WizardPackageJson());
    EXPECT_EQ(form.WelcomeButton(setup::wbComponents)->text(), "Portable");
    Click(form.WelcomeButton(setup::wbComponents));
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Portable);
    Shot("portable");
    // No removable drive: the all-drives option is ticked by itself.
    EXPECT_TRUE(form.CheckAllDrives()->isChecked());
    ASSERT_EQ(form.ListDrive()->topLevelItemCount(), 2);
    EXPECT_EQ(form.ListDrive()->topLevelItem(0)->text(2), "3.00 GB");
    EXPECT_EQ(form.ListDrive()->topLevelItem(1)->text(1), "No volume information");
    EXPECT_EQ(form.ListDrive()->topLevelItem(1)->text(2), "0.00 MB");
    EXPECT_EQ(form.EditFolder()->text(), "\\Portable\\Demo");
    form.EditFolder()->setText("Apps\\Demo");
    Click(form.BtnProceed());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Components);
    EXPECT_EQ(form.Flow().PortableTarget(), sb_.Path("root/disk") + "/Apps/Demo");
    EXPECT_FALSE(TreeItem("Program")) << "the fixed component is not listed";
    Click(form.BtnBack());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Portable);
    Click(form.BtnBack());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Welcome);
    EXPECT_FALSE(form.Flow().Portable());
}

TEST_F(FormSetupTest, LicenceShowsAndPrintsThroughTheTextPrinter) {
    auto& form = Open(NormalPackageJson());
    form.SetHavePrinter(true);
    Click(form.WelcomeButton(setup::wbInstall));
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Licence);
    Shot("licence");
    EXPECT_TRUE(form.BtnLicenseYes()->isVisible());
    EXPECT_TRUE(form.BtnPrint()->isVisible());
    EXPECT_NE(form.MemoLicense()->GetText().find("You may use this program."), std::string::npos);
    const std::string pdf = sb_.Path("licence.pdf");
    form.TextPrinter().OutputFileName = QString::fromStdString(pdf);
    Click(form.BtnPrint());
    EXPECT_TRUE(Exists(pdf));
    EXPECT_GT(ReadFile(pdf).size(), 100u);
    Click(form.BtnBack());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Welcome);
    Click(form.WelcomeButton(setup::wbReadme));
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Readme);
    EXPECT_FALSE(form.BtnLicenseYes()->isVisible());
    EXPECT_NE(form.MemoLicense()->GetText().find("Read me first."), std::string::npos);
}

TEST_F(FormSetupTest, ClickingThroughInstallsFilesLogAndLaunchers) {
    std::string json = NormalPackageJson();
    // Keep the done page open (finish flag 7) to look at it.
    json.insert(json.rfind('}'), R"(, "finish": {"flags": 128})");
    auto& form = Open(json);
    QSignalSpy closed(&form, &TFormSetup::Closed);
    Click(form.WelcomeButton(setup::wbInstall));
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Licence);
    Click(form.BtnLicenseYes());
    // The run starts from the event loop.
    for (int i = 0; i < 200 && form.Flow().Page() != TWizardPage::Done; ++i)
        QTest::qWait(10);
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Done);
    Shot("done");
    const auto& result = form.Flow().Result();
    ASSERT_TRUE(result.completed) << result.errorMessage;
    const std::string app = sb_.AppFolder();
    EXPECT_EQ(ReadFile(app + "/demo.sh"), "#!/bin/sh\necho demo\n");
    EXPECT_TRUE(Exists(app + "/Docs/guide.txt"));
    EXPECT_FALSE(Exists(app + "/extra.bin"));
    EXPECT_EQ(result.logPath, app + "/Cargon.log");
    EXPECT_NE(ReadFile(result.logPath).find("demo.sh"), std::string::npos);
    ASSERT_FALSE(result.launchers.empty());
    for (const auto& l : result.launchers)
        EXPECT_TRUE(Exists(l)) << l;
    EXPECT_TRUE(Exists(sb_.Roots().programsMenu.string() + "/Demo/Demo.desktop"));
    EXPECT_EQ(form.LabelDone()->text(), "Demo 1.0 has been installed.");
    EXPECT_EQ(form.BtnDone()->text(), "Done");
    EXPECT_TRUE(messenger_.Records.empty()) << "no question during a clean run";
    Click(form.BtnDone());
    QTest::qWait(20);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form.isVisible());
}

TEST(RunWizard, ExitAndBadPackageGiveTheirStatus) {
    TWizardSandbox sb;
    TScriptedMessenger messenger;
    setup::ui::TWizardOptions options;
    options.messenger = &messenger;
    options.environment = sb.Environment();
    EXPECT_EQ(setup::ui::RunWizard(sb.Path("missing.exe"), sb.SelfPath(), sb.Roots(), sb.Registry(),
                                   options),
              setup::ui::kWizardBadPackage);
    EXPECT_EQ(messenger.Records.size(), 1u);

    const std::string package = sb.Build(NoReadmePackage());
    // Exit on the welcome page as soon as the window shows.
    QTimer::singleShot(50, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TFormSetup*>(w); form && form->isVisible())
                form->WelcomeButton(setup::wbExit)->click();
    });
    EXPECT_EQ(setup::ui::RunWizard(package, sb.SelfPath(), sb.Roots(), sb.Registry(), options),
              setup::ui::kWizardAborted);
}

namespace {

// A PNG picture as upper-case hex for the package builder.
std::string PngHex(QColor color, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(image.rect().adjusted(2, 2, -2, -2));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return HexOf(bytes.toStdString());
}

} // namespace

TEST_F(FormSetupTest, BackdropLaysOutPictureCaptionsAndShadows) {
    std::string json = NormalPackageJson();
    json.replace(json.find("\"readme\": \"readme.txt\","), 0,
                 R"("icon": "icon.png", "backdropPicture": "back.png",
                    "backdropTopCaption": "Demo 1.0", "backdropBottomCaption": "Vexlor tools",)");
    json.replace(json.find("\"supportFiles\": {") + 17, 0,
                 "\"icon\": {\"hex\": \"" + PngHex(Qt::darkGreen, 32, 32) +
                     "\"}, \"backdropPicture\": {\"hex\": \"" + PngHex(Qt::yellow, 96, 64) +
                     "\"},");
    json.insert(json.rfind('}'), R"(, "gradient": 1, "backdrop": {"gradientColor1": 16711680,
        "gradientColor2": 0, "topShadow": 1, "bottomShadow": 1, "topShadowColor": 0,
        "bottomShadowColor": 0, "topFont": {"name": "Sans", "size": 28, "style": 3, "color": 16777215},
        "bottomFont": {"name": "Sans", "size": 16, "style": 0, "color": 65535}})");
    auto& form = Open(json);
    Shot("welcome-gradient");
    setup::ui::TFormBackground* back = form.Background();
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->isVisible()) << "shown when the installation is prepared";
    if (QString dir = qEnvironmentVariable("BW_SETUP_SCREENSHOTS"); !dir.isEmpty())
        back->grab().scaled(800, 600).save(QDir(dir).filePath("backdrop.png"));
    const QLabel* image = back->Image();
    EXPECT_EQ(image->width(), 96);
    EXPECT_EQ(back->LabelTop()->text(), "Demo 1.0");
    EXPECT_EQ(back->LabelTop()->x(), 2 * image->x() + image->width());
    EXPECT_EQ(back->LabelTopShadow()->pos(), back->LabelTop()->pos() + QPoint(3, 3));
    EXPECT_EQ(back->LabelBottomShadow()->pos(), back->LabelBottom()->pos() + QPoint(3, 3));
    EXPECT_EQ(back->height() - back->LabelBottom()->geometry().bottom() - 1,
              back->LabelTop()->y() + 3);
    EXPECT_TRUE(back->LabelTop()->font().bold());
    EXPECT_FALSE(form.windowIcon().isNull()) << "the package's icon";
    Click(form.WelcomeButton(setup::wbExit));
    QTest::qWait(20);
    EXPECT_FALSE(back->isVisible()) << "closed with the wizard";
}

TEST_F(FormSetupTest, MissingPrerequisiteShowsItsPageUntilProceedFindsIt) {
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "thirdParty": [{"name": "Tool",
        "downloadUrl": "http://vexlor.example/tool", "filePath": "%APPCOMMONFOLDER%\\tool.flag"}])");
    json.replace(json.find("\"menuFolder\""), 0, R"("commonAppFolder": "%COMMONFILES%\\Tool",)");
    auto& form = Open(json);
    Click(form.WelcomeButton(setup::wbInstall));
    Click(form.BtnLicenseYes());
    for (int i = 0; i < 100 && form.Flow().Page() == TWizardPage::Installing; ++i)
        QTest::qWait(10);
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Prerequisite);
    Shot("prerequisite");
    auto* text = form.findChild<QLabel*>("LabelPrerequisite");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Tool must be installed first.");
    auto* link = form.findChild<QLabel*>("Label3rdPartyURL");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(link->text(), "http://vexlor.example/tool");
    EXPECT_TRUE(form.BtnAbort()->isVisible());
    Click(form.BtnProceed());
    EXPECT_EQ(form.Flow().Page(), TWizardPage::Prerequisite) << "still missing";
    const auto* common = package_->Folders().Find("%APPCOMMONFOLDER%");
    ASSERT_NE(common, nullptr);
    std::filesystem::create_directories(common->path);
    WriteFile(common->path + "/tool.flag", "");
    Click(form.BtnProceed());
    for (int i = 0; i < 200 && form.Flow().Page() != TWizardPage::Done; ++i)
        QTest::qWait(10);
    ASSERT_EQ(form.Flow().Page(), TWizardPage::Done);
    EXPECT_TRUE(form.Flow().Result().completed) << form.Flow().Result().errorMessage;
    EXPECT_TRUE(Exists(sb_.AppFolder() + "/demo.sh"));
}

TEST(RunWizard, ClicksThroughIntoTheEnvironmentSandbox) {
    // The program's own way to find its roots and registry, pointed at a
    // sandbox by the environment.
    TSandbox dirs;
    const std::string sandbox = dirs.Path("env");
    const std::string hives = dirs.Path("hives");
    std::filesystem::create_directories(hives);
    qputenv("VEXLOR_SANDBOX", QByteArray::fromStdString(sandbox));
    qputenv("VEXLOR_REGISTRY_DIR", QByteArray::fromStdString(hives));
    const platform::SystemRoots roots = platform::SystemRoots::FromEnvironment();
    roots.CreateFolders();
    // Both variables set: the hives stay inside the sandbox all the same.
    auto registry = platform::OpenFileRegistry(platform::RegistryLocations::FromEnvironment(
        roots, qEnvironmentVariable("VEXLOR_REGISTRY_DIR").toStdString()));
    const std::string package = dirs.Path("demo.exe");
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "finish": {"flags": 128})");
    BuildPackage(json, package);

    TScriptedMessenger messenger;
    setup::ui::TWizardOptions options;
    options.messenger = &messenger;
    // A person: Install, accept the licence, wait for the done page, Done.
    QTimer person;
    int step = 0;
    QObject::connect(&person, &QTimer::timeout, [&] {
        TFormSetup* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TFormSetup*>(w); f && f->isVisible())
                form = f;
        if (!form)
            return;
        if (step == 0 && form->Flow().Page() == TWizardPage::Welcome) {
            form->WelcomeButton(setup::wbInstall)->click();
            ++step;
        } else if (step == 1 && form->Flow().Page() == TWizardPage::Licence) {
            form->BtnLicenseYes()->click();
            ++step;
        } else if (step == 2 && form->Flow().Page() == TWizardPage::Done) {
            form->BtnDone()->click();
            ++step;
        }
    });
    person.start(20);
    const int status = setup::ui::RunWizard(package, dirs.Path("setup"), roots, *registry, options);
    person.stop();
    qunsetenv("VEXLOR_SANDBOX");
    qunsetenv("VEXLOR_REGISTRY_DIR");
    EXPECT_EQ(step, 3);
    ASSERT_EQ(status, setup::ui::kWizardDone);
    const std::string app = roots.programFiles.string() + "/Demo";
    EXPECT_EQ(app.rfind(sandbox, 0), 0u) << "inside the sandbox: " << app;
    EXPECT_EQ(ReadFile(app + "/demo.sh"), "#!/bin/sh\necho demo\n");
    EXPECT_TRUE(Exists(app + "/Docs/guide.txt"));
    EXPECT_NE(ReadFile(app + "/Cargon.log").find("demo.sh"), std::string::npos);
    // The menu's launcher, wherever this scope keeps menus, inside the sandbox.
    std::vector<std::string> launchers;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sandbox))
        if (entry.path().filename() == "Demo.desktop")
            launchers.push_back(entry.path().string());
    EXPECT_EQ(launchers.size(), 1u);
    // The uninstall registration went into the sandbox's own hives, none
    // into the folder outside it.
    registry->Flush();
    EXPECT_NE(ReadFile((roots.machineRegistry / "HKLM.reg").string()).find("Uninstall\\Demo"),
              std::string::npos);
    EXPECT_EQ(roots.machineRegistry.string().rfind(sandbox, 0), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(hives));
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(FormSetupTest, AMissingVolumeIsAskedForAndTheRunGoesOnWithTheSameFile) {
    // Volumes of 20,000 bytes: the guide spans several; the second waits in
    // another folder, as on a second disc, the later ones beside the first.
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "volumeSize": 20000, "finish": {"flags": 128})");
    auto& form = Open(json);
    ASSERT_TRUE(Exists(sb_.Path("p.003")));
    std::filesystem::create_directories(sb_.Path("disc2"));
    std::filesystem::rename(sb_.Path("p.002"), sb_.Path("disc2/p.002"));
    TScriptedMessenger::TAnswer there;
    there.Result = components::mrOk;
    there.Input = sb_.Path("disc2");
    there.HasInput = true;
    messenger_.QueueAnswer(there);
    std::string lookedIn;
    messenger_.onAsk = [&](const components::TQuestion& q) { lookedIn = q.Input; };
    InstallThrough(form);
    const auto& result = form.Flow().Result();
    ASSERT_TRUE(result.completed) << result.errorMessage;
    EXPECT_FALSE(result.errorAsked);
    ASSERT_EQ(messenger_.Records.size(), 1u);
    EXPECT_EQ(messenger_.Records[0].What, TScriptedMessenger::TRecord::Question);
    EXPECT_EQ(messenger_.Records[0].Text, "Please insert volume 2 of the setup package.\rp.002");
    EXPECT_EQ(messenger_.Records[0].Caption, form.Flow().Welcome().windowCaption);
    EXPECT_EQ(lookedIn, sb_.Dir()) << "the folder it looked in";
    EXPECT_EQ(ReadFile(sb_.AppFolder() + "/Docs/guide.txt").size(), 200000u);
    EXPECT_EQ(form.LabelDone()->text(), "Demo 1.0 has been installed.");
}

TEST_F(FormSetupTest, CancellingTheVolumePromptEndsTheRun) {
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "volumeSize": 60000)");
    auto& form = Open(json);
    std::filesystem::remove(sb_.Path("p.002"));
    messenger_.QueueAnswer(components::mrCancel);
    InstallThrough(form);
    EXPECT_TRUE(form.Flow().Result().aborted);
    EXPECT_TRUE(form.Flow().Done().doneExits);
    EXPECT_EQ(messenger_.Records.size(), 1u) << "asked once, no error question after";
}

TEST_F(FormSetupTest, StepsStackAndAnErrorQuestionDoesNotShowTheStepDone) {
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "finish": {"flags": 128})");
    auto& form = Open(json);
    // A file where the guide's folder must go.
    std::filesystem::create_directories(sb_.AppFolder());
    WriteFile(sb_.AppFolder() + "/Docs", "in the way");
    auto* page = form.findChild<setup::ui::TPageProgress*>("ProgressPage");
    ASSERT_NE(page, nullptr);
    int gauge = -1, maximum = -1;
    bool abortShown = false;
    messenger_.onAsk = [&](const components::TQuestion&) {
        Shot("progress-at-an-error");
        gauge = page->Gauge()->value();
        maximum = page->Gauge()->maximum();
        abortShown = form.BtnAbort()->isVisible();
    };
    messenger_.QueueAnswer(components::mrYes);
    InstallThrough(form);
    EXPECT_LT(gauge, maximum) << "the file step stopped short of its end";
    EXPECT_TRUE(abortShown);
    EXPECT_TRUE(form.Flow().Result().completed);
    EXPECT_TRUE(form.Flow().Result().errorAsked);
    // Files, launchers, registry entries and file types: one row each.
    EXPECT_GE(page->StepCount(), 3);
    for (int i = 1; i < page->StepCount(); ++i)
        EXPECT_GT(page->StepLabel(i)->parentWidget()->y(),
                  page->StepLabel(i - 1)->parentWidget()->y());
}

TEST_F(FormSetupTest, AbortWhileTheRunIsBusyStopsItWithoutClosing) {
    // The person presses Abort while the prompt for a volume is up; the run
    // stops at its next step forward and the window stays.
    std::string json = NormalPackageJson();
    json.insert(json.rfind('}'), R"(, "volumeSize": 60000)");
    auto& form = Open(json);
    QSignalSpy closed(&form, &TFormSetup::Closed);
    TScriptedMessenger::TAnswer here;
    here.Result = components::mrOk;
    messenger_.QueueAnswer(here);
    std::filesystem::rename(sb_.Path("p.002"), sb_.Path("p.002.hidden"));
    messenger_.onAsk = [&](const components::TQuestion&) {
        std::filesystem::rename(sb_.Path("p.002.hidden"), sb_.Path("p.002"));
        ASSERT_TRUE(form.BtnAbort()->isVisible());
        form.BtnAbort()->click();
    };
    InstallThrough(form);
    EXPECT_TRUE(form.Flow().Result().aborted);
    EXPECT_EQ(form.LabelDone()->text().toStdString(), package_->Ui().Get(68));
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(form.isVisible());
}

namespace {

// Clicks through RunWizard as a person would: Install, the licence, Done.
int RunWizardThrough(const std::string& package, TWizardSandbox& sb,
                     TScriptedMessenger& messenger) {
    setup::ui::TWizardOptions options;
    options.messenger = &messenger;
    options.environment = sb.Environment();
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<TFormSetup*>(w);
            if (!form || !form->isVisible())
                continue;
            if (form->Flow().Page() == TWizardPage::Welcome)
                form->WelcomeButton(setup::wbInstall)->click();
            else if (form->Flow().Page() == TWizardPage::Licence)
                form->BtnLicenseYes()->click();
            else if (form->Flow().Page() == TWizardPage::Done && !form->Flow().Busy())
                form->BtnDone()->click();
        }
    });
    person.start(20);
    int status = setup::ui::RunWizard(package, sb.SelfPath(), sb.Roots(), sb.Registry(), options);
    person.stop();
    return status;
}

} // namespace

TEST(RunWizard, TheExitStatusSaysWhetherTheRunHadErrors) {
    const struct {
        const char* name;
        bool blocked; // a file where the guide's folder must go
        int answer;   // to the question after the error
        int status;
    } cases[] = {
        {"clean run", false, components::mrNo, setup::ui::kWizardDone},
        {"installed with errors", true, components::mrYes, setup::ui::kWizardAborted},
        {"stopped after an error", true, components::mrNo, setup::ui::kWizardAborted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TWizardSandbox sb;
        TScriptedMessenger messenger;
        messenger.QueueAnswer(c.answer);
        const std::string package = sb.Build(NormalPackageJson());
        if (c.blocked) {
            std::filesystem::create_directories(sb.AppFolder());
            WriteFile(sb.AppFolder() + "/Docs", "in the way");
        }
        EXPECT_EQ(RunWizardThrough(package, sb, messenger), c.status);
        EXPECT_EQ(messenger.Records.size(), c.blocked ? 1u : 0u);
        EXPECT_TRUE(Exists(sb.AppFolder() + "/demo.sh"));
    }
}

TEST_F(FormSetupTest, TheSupportLibraryGetsTheWizardsWindow) {
    const std::string record = sb_.Path("calls.txt");
    ::setenv("BW_TEST_SUPPORT_RECORD", record.c_str(), 1);
    Open(std::string(R"({"settings": {"product": "Demo", "appFolder": "%PROGRAMFILES%\\Demo",
                                     "supportLibrary": "support.so"},
      "supportFiles": {"supportLibrary": {"source": ")") +
         BW_TEST_SUPPORT_LIBRARY + R"("}},
      "files": [{"name": "a.txt", "text": "a"}],
      "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]})");
    ::unsetenv("BW_TEST_SUPPORT_RECORD");
    EXPECT_EQ(ReadFile(record).rfind("AllowInstallation with a window\n", 0), 0u)
        << ReadFile(record);
}
