#include "setup/wizardhooks.h"

#include <gtest/gtest.h>

#include "platform/machinerestart.h"
#include "session_support.h"
#include "setup/folders.h"
#include "setup/prerequisites.h"
#include "setup/setuppackage.h"
#include "wizard_support.h"

namespace {

using namespace setuptest;
using setup::TWizardPage;

class TRestartRecorder : public platform::IMachineRestart {
public:
    bool RestartMachine(std::string&) override {
        ++calls;
        return true;
    }
    int calls = 0;
};

// The wizard's flow with the engine's hooks, clicked through without a window.
class WizardHooksTest : public ::testing::Test {
protected:
    setup::TWizardFlow& Open(const std::string& json) {
        package_ = std::make_unique<setup::TSetupPackage>(sandbox_.Roots());
        package_->Open(sandbox_.Build(json));
        flow_ = std::make_unique<setup::TWizardFlow>(*package_, sandbox_.Registry(),
                                                     sandbox_.Roots(), messenger_,
                                                     sandbox_.Environment(), services_.Hooks());
        flow_->BuildWelcome();
        EXPECT_TRUE(flow_->PrepareInstallation());
        return *flow_;
    }
    std::string Record() { return ReadFile(sandbox_.Path("record.txt")); }

    TWizardSandbox sandbox_;
    components::TScriptedMessenger messenger_;
    TRestartRecorder restart_;
    setup::TWizardServices services_{sandbox_.Roots(), sandbox_.Registry(), messenger_, restart_};
    std::unique_ptr<setup::TSetupPackage> package_;
    std::unique_ptr<setup::TWizardFlow> flow_;
};

std::string PackageNeedingToolWithLibrary(const std::string& flag) {
    return R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo",
               "supportLibrary": "support.so"},
  "supportFiles": {"supportLibrary": {"source": ")" +
           TestSupportLibrary() + R"("}},
  "files": [{"name": "a.txt", "text": "main"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}],
  "thirdParty": [{"name": "Tool", "installerFile": "tool-setup.sh", "parameters": "\")" +
           flag + R"(\"", "filePath": ")" + flag +
           R"(", "text": "#!/bin/sh\nsleep 1\necho installed > \"$1\"\n"}]
})";
}

TEST_F(WizardHooksTest, TheInstallersEndResumesTheWizardsRun) {
    TSupportLibraryMode mode("", sandbox_.Path("record.txt"));
    std::string flag = sandbox_.Path("tool-present");
    auto& flow = Open(PackageNeedingToolWithLibrary(flag));
    ASSERT_EQ(flow.Install(), TWizardPage::Installing);
    ASSERT_EQ(flow.Run(), TWizardPage::Prerequisite);
    EXPECT_EQ(flow.Prerequisite().text, package_->Ui().Format(89, {"Tool"}));
    EXPECT_EQ(flow.Prerequisite().detail, package_->Ui().Get(87)); // the installer runs
    // The wizard's timer asks again while the installer runs: still waiting.
    EXPECT_FALSE(services_.CheckPrerequisites(*package_).ready);
    ASSERT_NE(services_.Prerequisites(), nullptr);
    ASSERT_TRUE(services_.Prerequisites()->WaitForInstaller(30000));
    EXPECT_TRUE(services_.CheckPrerequisites(*package_).ready);
    flow.Proceed();
    EXPECT_EQ(flow.Run(), TWizardPage::Done);
    ASSERT_TRUE(flow.Result().completed) << flow.Result().errorMessage;
    EXPECT_EQ(ReadFile(sandbox_.AppFolder() + "/a.txt"), "main");
    EXPECT_EQ(Record(), "AllowInstallation\nGetSystemFolders 32768\nGetInstallFolders 32768\n"
                        "GetComponentSelection Main -1 -1 0\nFinishDeployment " +
                            flow.Result().logPath + "\n");
}

TEST_F(WizardHooksTest, PortableRunAndRestartOffer) {
    auto& flow = Open(R"({
  "settings": {"product": "Demo", "version": "1.0", "appFolder": "%PROGRAMFILES%\\Demo"},
  "installMode": 2, "portableMarkerKind": 2, "portableFolder": "\\Carry",
  "files": [{"name": "a.txt", "text": "hello"}],
  "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "a.txt"}]}]}]
})");
    platform::DriveInfo stick;
    stick.root = sandbox_.Path("stick");
    stick.type = platform::DriveType::Removable;
    stick.freeBytes = 1 << 30;
    sandbox_.drives = {stick};
    flow_ =
        std::make_unique<setup::TWizardFlow>(*package_, sandbox_.Registry(), sandbox_.Roots(),
                                             messenger_, sandbox_.Environment(), services_.Hooks());
    auto& portable = *flow_;
    portable.BuildWelcome();
    ASSERT_TRUE(portable.PrepareInstallation());
    ASSERT_EQ(portable.Install(), TWizardPage::Portable);
    ASSERT_EQ(portable.FillDriveList(false).size(), 1u);
    portable.ProceedPortable(0, "\\Carry");
    while (portable.Page() != TWizardPage::Installing && portable.Page() != TWizardPage::Done)
        portable.Proceed();
    EXPECT_EQ(portable.Run(), TWizardPage::Done);
    ASSERT_TRUE(portable.Result().completed) << portable.Result().errorMessage;
    std::string folder = portable.PortableTarget();
    EXPECT_EQ(ReadFile(folder + "/a.txt"), "hello");
    EXPECT_EQ(portable.Result().logPath, folder + "/RemovableDrive.sys");
    EXPECT_TRUE(Exists(folder + "/RemovableDrive.sys")); // kind 2: always
    (void)flow;

    // "Restart now": the pending operations happen, the machine restarts only on Yes.
    setup::TPendingFileOperations(sandbox_.Roots().pendingRenames.string())
        .AddDelete(sandbox_.Path("stale.txt"));
    WriteFile(sandbox_.Path("stale.txt"), "x");
    services_.Restart();
    EXPECT_FALSE(Exists(sandbox_.Path("stale.txt")));
    EXPECT_EQ(restart_.calls, 0);
    messenger_.QueueAnswer(components::mrYes);
    services_.Restart();
    EXPECT_EQ(restart_.calls, 1);
}

} // namespace
