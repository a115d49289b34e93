#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <vector>

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/systemfolders.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

void WriteText(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

void ThrowAtRename(const char* stage) {
    if (std::string_view(stage) == "before-rename") {
        throw std::runtime_error("injected failure");
    }
}

struct HookReset {
    ~HookReset() { SetAtomicWriteHook(nullptr); }
};

TEST(WriteFileAtomic, CreatesAndReplacesKeepingPermissions) {
    TempFolder temp("bw-fileio");
    const fs::path target = temp.Path() / "project.bwv";
    WriteFileAtomic(target, "first");
    EXPECT_EQ(ReadFileBytes(target), "first");
    ::chmod(target.c_str(), 0640);
    std::string big(300000, 'x');
    big[123456] = '\0';
    WriteFileAtomic(target, big);
    EXPECT_EQ(ReadFileBytes(target), big);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntriesIn(temp.Path()), 1u); // no temporary file left
}

TEST(WriteFileAtomic, FailureLeavesTheOldFileAndNoTemporary) {
    TempFolder temp("bw-fileio");
    const fs::path target = temp.Path() / "keep.txt";
    WriteText(target, "old contents");
    {
        HookReset reset;
        SetAtomicWriteHook(ThrowAtRename);
        EXPECT_THROW(WriteFileAtomic(target, "new contents"), std::runtime_error);
    }
    EXPECT_EQ(ReadFileBytes(target), "old contents");
    EXPECT_EQ(EntriesIn(temp.Path()), 1u);

    // A rename that the system refuses (a folder is in the way).
    const fs::path folderTarget = temp.Path() / "folder";
    fs::create_directory(folderTarget);
    WriteText(folderTarget / "inside", "x");
    try {
        WriteFileAtomic(folderTarget, "data");
        FAIL() << "no error";
    } catch (const PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find(folderTarget.string()), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(folderTarget));
    EXPECT_EQ(EntriesIn(temp.Path()), 2u);

    // A folder that does not exist: nothing is created anywhere.
    EXPECT_THROW(WriteFileAtomic(temp.Path() / "missing" / "file", "x"), PlatformError);
    EXPECT_EQ(EntriesIn(temp.Path()), 2u);
}

TEST(AtomicFileWriter, NothingIsVisibleUntilCommit) {
    TempFolder temp("bw-fileio");
    const fs::path target = temp.Path() / "out.html";
    WriteText(target, "old");
    {
        AtomicFileWriter writer(target);
        writer.Write("part one, ");
        EXPECT_EQ(ReadFileBytes(target), "old");
        EXPECT_TRUE(fs::exists(writer.TempPath()));
        EXPECT_EQ(writer.TempPath().parent_path(), temp.Path());
    } // dropped without Commit
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(EntriesIn(temp.Path()), 1u);

    AtomicFileWriter writer(target);
    for (int i = 0; i < 10000; ++i) {
        writer.Write("0123456789");
    }
    writer.Commit();
    EXPECT_EQ(ReadFileBytes(target).size(), 100000u);
    EXPECT_THROW(writer.Write("late"), PlatformError);
    EXPECT_EQ(EntriesIn(temp.Path()), 1u);
}

TEST(AtomicFileWriter, NamedTemporaryAndKeptWhenTheRenameFails) {
    TempFolder temp("bw-fileio");
    // A folder in the way: the finished file stays under its temporary name
    // for the caller to put in place later.
    const fs::path blocked = temp.Path() / "blocked";
    fs::create_directory(blocked);
    WriteText(blocked / "inside", "x");
    fs::path kept;
    {
        AtomicFileWriter writer(blocked, "cgn");
        writer.SetSync(false);
        writer.Write("finished");
        EXPECT_EQ(writer.TempPath().filename().string().rfind("cgn", 0), 0u);
        EXPECT_FALSE(writer.CommitOrKeep());
        kept = writer.TempPath();
    }
    EXPECT_EQ(kept.parent_path(), temp.Path());
    EXPECT_EQ(kept.extension(), ".tmp");
    EXPECT_EQ(ReadFileBytes(kept), "finished");
    EXPECT_TRUE(fs::is_directory(blocked));

    AtomicFileWriter writer(temp.Path() / "free", "cgn");
    writer.Write("placed");
    EXPECT_TRUE(writer.CommitOrKeep());
    EXPECT_EQ(ReadFileBytes(temp.Path() / "free"), "placed");
    EXPECT_EQ(EntriesIn(temp.Path()), 3u); // blocked, the kept file, free
}

TEST(CreateUniqueFile, NewNamesNeverFollowLinks) {
    TempFolder temp("bw-fileio");
    fs::path first, second;
    int a = CreateUniqueFile(temp.Path(), "cgn", ".tmp", 0644, first);
    int b = CreateUniqueFile(temp.Path(), "cgn", ".tmp", 0644, second);
    ::close(a);
    ::close(b);
    EXPECT_NE(first, second);
    EXPECT_EQ(first.filename().string().size(), 3u + 8u + 4u);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(first)));
    EXPECT_THROW(CreateUniqueFile(temp.Path() / "missing", "cgn", ".tmp", 0644, first),
                 PlatformError);
}

TEST(WriteNewFile, WritesOnlyWhereNothingIs) {
    TempFolder temp("bw-fileio");
    const fs::path file = temp.Path() / "page.htm";
    ASSERT_TRUE(WriteNewFile(file, "<P>text</P>\r\n"));
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "<P>text</P>\r\n");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);

    // Whatever is there stays as it is, a link and the file behind it too.
    const fs::path victim = temp.Path() / "victim.txt";
    WriteText(victim, "precious");
    fs::create_symlink(victim, temp.Path() / "link.htm");
    fs::create_symlink(temp.Path() / "nowhere.txt", temp.Path() / "dangling.htm");
    for (const char* name : {"page.htm", "link.htm", "dangling.htm"})
        EXPECT_FALSE(WriteNewFile(temp.Path() / name, "other")) << name;
    std::ifstream again(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "<P>text</P>\r\n");
    std::ifstream kept(victim, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "link.htm"));
    EXPECT_FALSE(fs::exists(temp.Path() / "nowhere.txt"));
    EXPECT_THROW(WriteNewFile(temp.Path() / "missing" / "page.htm", "x"), PlatformError);
}

TEST(ReadFileBytes, ErrorsNameThePathAndTheReason) {
    try {
        ReadFileBytes("/nonexistent-bw/file.txt");
        FAIL() << "no error";
    } catch (const PlatformError& e) {
        EXPECT_STREQ(e.what(),
                     "Cannot open \"/nonexistent-bw/file.txt\": No such file or directory");
    }
    EXPECT_THROW(ReadFileBytes("/"), PlatformError);
}

// Files that outside data names: a FIFO must not block the reader, and
// nothing larger than the limit is read.
TEST(ReadRegularFile, OnlyRegularFilesUpToTheLimit) {
    TempFolder temp("bw-fileio");
    const fs::path fifo = temp.Path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteText(temp.Path() / "small", "1234");
    WriteText(temp.Path() / "five", "12345");
    const fs::path huge = temp.Path() / "huge";
    WriteText(huge, "");
    fs::resize_file(huge, (std::uint64_t{1} << 32) + 1); // sparse: nothing is stored
    fs::create_symlink(temp.Path() / "small", temp.Path() / "link");
    struct Case {
        fs::path path;
        std::string bytes; // or the reason after the path
        bool fails = false;
    };
    const Case cases[] = {
        {temp.Path() / "small", "1234"},
        {temp.Path() / "link", "1234"},
        {temp.Path() / "five", ": larger than 4 bytes", true},
        {huge, ": larger than 4 bytes", true},
        {fifo, ": not a regular file", true},
        {temp.Path(), ": not a regular file", true},
        {"/dev/zero", ": not a regular file", true},
    };
    for (const Case& c : cases) {
        try {
            EXPECT_EQ(ReadRegularFile(c.path, 4), c.bytes) << c.path;
            EXPECT_FALSE(c.fails) << c.path;
        } catch (const PlatformError& e) {
            EXPECT_TRUE(c.fails) << c.path;
            EXPECT_EQ(e.what(), "Cannot read \"" + c.path.string() + "\"" + c.bytes);
        }
    }
    EXPECT_EQ(SizeLimitText(64u << 20), "64 MB");
    EXPECT_EQ(SizeLimitText(512u << 10), "512 KB");
    EXPECT_EQ(SizeLimitText(1536), "1536 bytes");
}

TEST(TempFolder, IsPrivateAndRemovedOnEveryExit) {
    fs::path path;
    {
        TempFolder temp("bw-private");
        path = temp.Path();
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_EQ(path.filename().string().rfind("bw-private-", 0), 0u);
        fs::create_directories(path / "deep" / "deeper");
        WriteText(path / "deep" / "deeper" / "file", "x");
    }
    EXPECT_FALSE(fs::exists(path));

    try {
        TempFolder temp("bw-private");
        path = temp.Path();
        temp.NewFile("work.tmp");
        throw std::runtime_error("operation failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(fs::exists(path));

    TempFolder outer("bw-private");
    path = outer.Path();
    TempFolder moved = std::move(outer);
    EXPECT_EQ(moved.Path(), path);
    EXPECT_TRUE(outer.Path().empty());
    moved.Remove();
    EXPECT_FALSE(fs::exists(path));
}

TEST(TempFolder, SandboxKeepsTemporaryFoldersInside) {
    TempFolder box("bw-sandbox");
    SetDefaultSystemRoots(SystemRoots::InSandbox(box.Path()));
    fs::path path;
    {
        TempFolder inside("bw-op");
        path = inside.Path();
    }
    SetDefaultSystemRoots(std::nullopt);
    EXPECT_EQ(path.parent_path(), box.Path() / "tmp");
}

TEST(TempFolder, NewFileIsExclusiveAndStaysInside) {
    TempFolder temp("bw-files");
    TempFolder elsewhere("bw-outside");
    const fs::path outside = elsewhere.Path() / "victim";
    WriteText(outside, "untouched");
    fs::create_symlink(outside, temp.Path() / "evil.txt");

    struct Case {
        const char* hint;
        const char* expected;
    } cases[] = {
        {"data.bin", "data.bin"},
        {"data.bin", "data-1.bin"},
        {"..\\..\\etc\\passwd", "passwd"},
        {"../up.txt", "up.txt"},
        {"..", "file"},
        {"", "file-1"},
        {"a:b\x01", "a_b_"},
        {"evil.txt", "evil-1.txt"}, // the link is never opened
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        fs::path file = temp.NewFile(c.hint);
        EXPECT_EQ(file.parent_path(), temp.Path());
        EXPECT_EQ(file.filename().string(), c.expected);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
        EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(ReadFileBytes(outside), "untouched");
}

} // namespace

namespace {

TEST(SaveTargetOf, FollowsEveryLinkToTheFileBehindIt) {
    TempFolder temp("bw-savetarget");
    const fs::path file = temp.Path() / "real" / "p.bwv";
    fs::create_directories(file.parent_path());
    fs::create_symlink("real/p.bwv", temp.Path() / "relative.bwv");
    fs::create_symlink(temp.Path() / "relative.bwv", temp.Path() / "absolute.bwv");
    EXPECT_EQ(SaveTargetOf(temp.Path() / "absolute.bwv"), temp.Path() / "real/p.bwv");
    EXPECT_EQ(SaveTargetOf(file), file); // not a link, and need not exist
    // Saving through the link replaces the target and keeps the link.
    WriteFileAtomic(SaveTargetOf(temp.Path() / "absolute.bwv"), "saved");
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "absolute.bwv"));
    EXPECT_EQ(ReadFileBytes(file), "saved");
    fs::create_symlink("loop2", temp.Path() / "loop1");
    fs::create_symlink("loop1", temp.Path() / "loop2");
    EXPECT_THROW(SaveTargetOf(temp.Path() / "loop1"), PlatformError);
}

TEST(RemoveStaleTempFiles, RemovesWhatAKilledSaveLeftButNotASaveUnderWay) {
    TempFolder temp("bw-stale");
    const fs::path target = temp.Path() / "p.bwv";
    WriteText(target, "old");
    WriteText(temp.Path() / ".p.bwv.tmpabcd1234", "left by a killed save");
    WriteText(temp.Path() / ".p.bwv.tmpnotmine", "not a name the writer makes");
    AtomicFileWriter underWay(target);
    underWay.Write("new");
    const auto later = fs::file_time_type::clock::now() + std::chrono::hours(1);
    EXPECT_EQ(RemoveStaleTempFiles(target, later), 1u);
    EXPECT_FALSE(fs::exists(temp.Path() / ".p.bwv.tmpabcd1234"));
    EXPECT_TRUE(fs::exists(temp.Path() / ".p.bwv.tmpnotmine"));
    EXPECT_TRUE(fs::exists(underWay.TempPath()));
    underWay.Commit();
    EXPECT_EQ(ReadFileBytes(target), "new");
}

} // namespace

namespace {

// Every path below `root`, links not followed.
std::vector<std::string> TreeOf(const fs::path& root) {
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.push_back(fs::relative(entry.path(), root).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

TEST(FolderBelow, NoLinkBelowTheBaseIsFollowed) {
    // box/ is the base; outside/ must stay empty whatever stands in the way.
    struct Case {
        const char* name;
        const char* link;   // made a link to outside/ before the call ("" for none)
        const char* file;   // made a regular file before the call ("" for none)
        const char* folder; // to make below box/
        const char* problem;
    } cases[] = {
        {"plain chain", "", "", "a/b/c", nullptr},
        {"the base itself", "", "", "", nullptr},
        {"link as the first step", "a", "", "a/b/c", "box/a\" is a symbolic link"},
        {"link in the middle", "a/b", "", "a/b/c", "box/a/b\" is a symbolic link"},
        {"link as the folder", "a/b/c", "", "a/b/c", "box/a/b/c\" is a symbolic link"},
        {"file in the way", "", "a/b", "a/b/c", "box/a/b\" is not a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp("bw-below");
        const fs::path box = temp.Path() / "box";
        const fs::path outside = temp.Path() / "outside";
        fs::create_directories(outside);
        if (*c.link) {
            fs::create_directories((box / c.link).parent_path());
            fs::create_directory_symlink(outside, box / c.link);
        }
        if (*c.file) {
            fs::create_directories((box / c.file).parent_path());
            WriteText(box / c.file, "x");
        }
        const fs::path folder = box / c.folder;
        EXPECT_EQ(ReachedWithoutLinks(box, folder), c.problem == nullptr);
        if (c.problem) {
            try {
                CreateFolderBelow(box, folder);
                ADD_FAILURE() << "made through the link";
            } catch (const PlatformError& e) {
                EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos) << e.what();
            }
        } else {
            CreateFolderBelow(box, folder);
            EXPECT_TRUE(fs::is_directory(fs::symlink_status(folder)));
            int fd = OpenFolderBelow(box, folder, false);
            EXPECT_GE(fd, 0);
            ::close(fd);
        }
        EXPECT_TRUE(fs::is_empty(outside)) << TreeOf(outside).front();
    }
}

TEST(FolderBelow, AFolderOutsideTheBaseIsRefused) {
    TempFolder temp("bw-below");
    for (const fs::path& folder :
         {temp.Path() / "other", temp.Path() / "box/../other", fs::path("/")}) {
        EXPECT_FALSE(LiesInsideFolder(folder, temp.Path() / "box")) << folder;
        EXPECT_FALSE(ReachedWithoutLinks(temp.Path() / "box", folder)) << folder;
        EXPECT_THROW(CreateFolderBelow(temp.Path() / "box", folder), PlatformError) << folder;
    }
    EXPECT_FALSE(fs::exists(temp.Path() / "other"));
    EXPECT_TRUE(LiesInsideFolder(temp.Path() / "box/./a/", temp.Path() / "box/"));
    EXPECT_TRUE(LiesInsideFolder(temp.Path() / "box", temp.Path() / "box/"));
}

TEST(TempFolder, ASandboxTemporaryFolderThatIsALinkIsRefused) {
    TempFolder box("bw-sandbox");
    TempFolder outside("bw-outside");
    fs::create_directory_symlink(outside.Path(), box.Path() / "tmp");
    SetDefaultSystemRoots(SystemRoots::InSandbox(box.Path()));
    EXPECT_THROW(TempFolder("bw-op"), PlatformError);
    SetDefaultSystemRoots(std::nullopt);
    EXPECT_TRUE(fs::is_empty(outside.Path()));
}
