#include "install_support.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/textutil.h"

namespace setuptest {

TInstallSandbox::TInstallSandbox() {
    std::filesystem::create_directories(Path("reg"));
    registry_ = platform::OpenFileRegistry(std::filesystem::path(Path("reg")));
}

setup::TInstallResult TInstallSandbox::Install(const std::string& json,
                                               const std::string& packageName,
                                               setup::TInstallAnswers answers,
                                               components::TScriptedMessenger* messenger) {
    std::string package = Path(packageName + ".exe");
    BuildPackage(json, package);
    if (answers.installDate.empty())
        answers.installDate = "20260101";
    components::TScriptedMessenger own;
    return setup::InstallPackage(package, answers, Roots(), *registry_,
                                 messenger ? *messenger : own);
}

std::string TInstallSandbox::Relative(std::string text) const {
    for (std::size_t pos = text.find(Dir()); pos != std::string::npos; pos = text.find(Dir(), pos))
        text.replace(pos, Dir().size(), "<SB>");
    return text;
}

std::string TInstallSandbox::RegistryDump() {
    registry_->Flush();
    std::string out;
    for (const char* hive : {"HKCU.reg", "HKLM.reg"}) {
        out += std::string("== ") + hive + "\n";
        if (Exists(Path("reg/") + hive))
            out += ReadFile(Path("reg/") + hive);
    }
    return Relative(out);
}

components::TScriptedMessenger GoingOnAfterErrors(int count) {
    components::TScriptedMessenger messenger;
    for (int i = 0; i < count; ++i)
        messenger.QueueAnswer(components::mrYes);
    return messenger;
}

std::string HexOf(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes)
        out += platform::HexUpper(c, 2);
    return out;
}

bool HaveProgram(const std::string& name) {
    return RunShell("command -v " + name + " >/dev/null 2>&1") == 0;
}

int RunShell(const std::string& command, std::string* output) {
    std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return -1;
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
        text.append(buffer, n);
    int status = ::pclose(p);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

unsigned long InodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<unsigned long>(st.st_ino) : 0;
}

} // namespace setuptest
