#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "components/shelllink.h"

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "bwlnkXXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

int RunCommand(const std::string& command, std::string& output) {
    std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
        output.append(buffer, n);
    int status = ::pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(ShellLink, WrittenFileRoundTripsAndIsReadByLnkinfo) {
    TempDir dir;
    components::TShellLink link;
    link.Path = "C:\\Program Files\\Demo\\demo.exe";
    link.Arguments = "/open \"C:\\My Notes\\caf\xE9.bwv\"";
    link.Description = "Runs the demo";
    link.WorkingDirectory = "C:\\Program Files\\Demo";
    link.IconPath = "C:\\Program Files\\Demo\\demo.ico";
    link.IconIndex = 3;
    link.ShowCmd = 7;
    link.HotKey = 0x0641;
    std::string file = dir.path + "/demo.lnk";
    link.Save(file);

    components::TShellLink back;
    back.Load(file);
    EXPECT_EQ(back.Path, link.Path);
    EXPECT_EQ(back.Arguments, link.Arguments);
    EXPECT_EQ(back.Description, link.Description);
    EXPECT_EQ(back.WorkingDirectory, link.WorkingDirectory);
    EXPECT_EQ(back.IconPath, link.IconPath);
    EXPECT_EQ(back.IconIndex, 3);
    EXPECT_EQ(back.ShowCmd, 7);
    EXPECT_EQ(back.HotKey, 0x0641);
    EXPECT_EQ(components::ResolveShortcut(file), link.Path);

    if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "lnkinfo is not installed";
    std::string out;
    ASSERT_EQ(RunCommand("lnkinfo '" + file + "'", out), 0) << out;
    EXPECT_NE(out.find("Local path\t\t\t: C:\\Program Files\\Demo\\demo.exe"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Description\t\t\t: Runs the demo"), std::string::npos) << out;
    EXPECT_NE(out.find("Command line arguments\t\t: /open \"C:\\My Notes\\caf"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Working directory\t\t: C:\\Program Files\\Demo"), std::string::npos) << out;
}

TEST(ShellLink, HandAssembledUnicodeLinkWithNetworkPathLoads) {
    // Header, link info with a local base path and a network share (which
    // has priority), Unicode description and arguments.
    std::string b;
    auto p16 = [&](unsigned v) {
        b += char(v & 0xFF);
        b += char((v >> 8) & 0xFF);
    };
    auto p32 = [&](unsigned v) {
        p16(v & 0xFFFF);
        p16(v >> 16);
    };
    p32(0x4C);
    b += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    p32(0x2 | 0x4 | 0x20 | 0x80); // link info, name, arguments, Unicode
    p32(0);
    b.append(24, '\0');
    p32(0);
    p32(0xFFFFFFFE); // icon index -2
    p32(1);
    p16(0);
    b.append(10, '\0');
    // Link info: header 0x1C, local path at 0x1C, network link after it, suffix.
    std::string local = "C:\\local.txt";
    std::string net;
    {
        std::string n;
        auto n32 = [&](unsigned v) {
            for (int i = 0; i < 4; ++i)
                n += char((v >> (8 * i)) & 0xFF);
        };
        n32(0x14 + 12);
        n32(0);
        n32(0x14);
        n32(0);
        n32(0);
        n += std::string("\\\\srv\\share", 11) + '\0';
        net = n;
    }
    unsigned baseOff = 0x1C, netOff = baseOff + unsigned(local.size()) + 1,
             suffixOff = netOff + unsigned(net.size());
    std::string suffix = "dir\\file.txt";
    p32(suffixOff + unsigned(suffix.size()) + 1);
    p32(0x1C);
    p32(3);
    p32(0);
    p32(baseOff);
    p32(netOff);
    p32(suffixOff);
    b += local + '\0' + net + suffix + '\0';
    for (std::string s : {"D\xE9sc", "-x"}) {
        p16(unsigned(s.size()));
        for (unsigned char c : s)
            p16(c);
    }
    p32(0);
    components::TShellLink l;
    l.Parse(b);
    EXPECT_EQ(l.Path, "\\\\srv\\share\\dir\\file.txt");
    EXPECT_EQ(l.Description, "D\xE9sc");
    EXPECT_EQ(l.Arguments, "-x");
    EXPECT_EQ(l.IconIndex, -2);
    // Every truncation is refused cleanly.
    for (std::size_t n = 0; n < b.size() - 4; ++n) {
        components::TShellLink t;
        EXPECT_THROW(t.Parse(b.substr(0, n)), std::runtime_error) << n;
    }
}

TEST(ShellLink, ErrorsNameTheFile) {
    TempDir dir;
    std::string bad = dir.path + "/bad.lnk";
    std::ofstream(bad) << "not a link at all, long enough to pass a size check............"
                          "................................";
    components::TShellLink l;
    try {
        l.Load(bad);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot load " + bad);
    }
    EXPECT_THROW(l.Load(dir.path + "/missing.lnk"), std::runtime_error);
    try {
        l.Save(dir.path + "/no/such/folder/x.lnk");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot save " + dir.path + "/no/such/folder/x.lnk");
    }
    EXPECT_FALSE(Bytes(bad).empty());
}
