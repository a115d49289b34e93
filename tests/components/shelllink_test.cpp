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

// Little-endian bytes for hand-assembled files.
void Put16(std::string& b, unsigned v) {
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}
void Put32(std::string& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A shell item: its size, then the body.
std::string Item(const std::string& body) {
    std::string b;
    Put16(b, unsigned(body.size() + 2));
    return b + body;
}
std::string MyComputer() {
    return Item(
        std::string("\x1F\x50") +
        std::string("\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D", 16));
}
std::string Volume(const std::string& name) {
    std::string body = "\x2F" + name;
    body.resize(23, '\0');
    return Item(body);
}
// A folder (0x31) or file (0x32) entry by its short name, with the long
// name in an extension block when given.
std::string Entry(char kind, const std::string& shortName, const std::u16string& longName = {}) {
    std::string body;
    body += kind;
    body += '\0';
    Put32(body, 0);                            // size
    Put32(body, 0);                            // modification time
    Put16(body, kind == '\x31' ? 0x10 : 0x20); // attributes
    body += shortName + '\0';
    if (body.size() % 2)
        body += '\0';
    if (!longName.empty()) {
        std::string ext;
        Put16(ext, 3);          // version
        Put32(ext, 0xBEEF0004); // signature
        Put32(ext, 0);          // creation time
        Put32(ext, 0);          // access time
        Put16(ext, 0x14);       // identifier
        Put16(ext, 0);          // no localised name
        for (char16_t c : longName)
            Put16(ext, c);
        Put16(ext, 0);
        std::string block;
        Put16(block, unsigned(ext.size() + 4));
        block += ext;
        Put16(block, unsigned(body.size() + 2)); // where the block starts in the item
        body += block;
    }
    return Item(body);
}

// A shortcut made of the header and an ID list, nothing else.
std::string IdListOnlyLink(const std::string& items) {
    std::string b;
    Put32(b, 0x4C);
    b += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    Put32(b, 0x1); // an ID list only
    Put32(b, 0);
    b.append(24, '\0');
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 1);
    Put16(b, 0);
    b.append(10, '\0');
    std::string list = items;
    Put16(list, 0); // the list's end
    Put16(b, unsigned(list.size()));
    b += list;
    Put32(b, 0);
    return b;
}

TEST(ShellLink, AnIdListAloneGivesTheTargetPath) {
    struct Case {
        const char* what;
        std::string items;
        const char* path;
    };
    const Case cases[] = {
        {"short names",
         MyComputer() + Volume("C:\\") + Entry('\x31', "DOCS") + Entry('\x32', "NOTES.BWV"),
         "C:\\DOCS\\NOTES.BWV"},
        {"long names",
         MyComputer() + Volume("D:\\") + Entry('\x31', "MYPROJ~1", u"My Projects") +
             Entry('\x32', "CAFNOT~1.BWV", u"Caf\u00E9 notes.bwv"),
         "D:\\My Projects\\Caf\xE9 notes.bwv"},
        {"a drive", MyComputer() + Volume("E:\\"), "E:\\"},
        // Nothing on a file system: no path.
        {"only My Computer", MyComputer(), ""},
        {"no list", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        components::TShellLink link;
        link.Parse(IdListOnlyLink(c.items));
        EXPECT_EQ(link.Path, c.path);
    }
    // A list that claims more bytes than the file holds is refused.
    std::string cut = IdListOnlyLink(MyComputer() + Volume("C:\\"));
    cut.resize(cut.size() - 10);
    components::TShellLink link;
    EXPECT_THROW(link.Parse(cut), std::runtime_error);

    TempDir dir;
    std::string file = dir.path + "/target.lnk";
    std::ofstream(file, std::ios::binary)
        << IdListOnlyLink(MyComputer() + Volume("C:\\") + Entry('\x32', "A.TXT"));
    EXPECT_EQ(components::ResolveShortcut(file), "C:\\A.TXT");
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
