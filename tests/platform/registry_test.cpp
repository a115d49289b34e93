#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "platform/diagnostics.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/registry.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr RootKey HKCU = RootKey::CurrentUser;
constexpr RootKey HKLM = RootKey::LocalMachine;

RegistryValue Value(RegistryValueType type, std::string data) {
    return {static_cast<uint32_t>(type), std::move(data)};
}

std::string AllBytes() {
    std::string s;
    for (int i = 0; i < 256; ++i) {
        s += static_cast<char>(i);
    }
    return s;
}

void WriteText(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct RoundTripCase {
    const char* label;
    std::string name;
    RegistryValue value;
};

class RegistryTest : public ::testing::Test {
protected:
    TempFolder temp{"bw-registry-test"};
    fs::path Folder() const { return temp.Path(); }
};

TEST_F(RegistryTest, EveryValueTypeRoundTripsByteForByte) {
    std::string highText;
    for (int i = 0x20; i < 256; ++i) {
        if (i != '"' && i != '\\') {
            highText += static_cast<char>(i);
        }
    }
    const std::vector<RoundTripCase> cases = {
        {"plain string", "Plain", Value(RegistryValueType::String, "Brindlewoven")},
        {"empty string", "Empty", Value(RegistryValueType::String, "")},
        {"Windows-1252 text", "High\xE9", Value(RegistryValueType::String, highText)},
        {"quotes and backslashes", "Quote \"name\" \\ here",
         Value(RegistryValueType::String, "C:\\Program Files\\\"x\"\\")},
        {"string with line breaks and NUL", "Lines",
         Value(RegistryValueType::String, std::string("a\r\nb\0c", 6))},
        {"string ending in backslash", "Trail", Value(RegistryValueType::String, "C:\\")},
        {"default value", "", Value(RegistryValueType::String, "default")},
        {"expand string", "Path", Value(RegistryValueType::ExpandString, "%WINDOWS%\\x\xFC")},
        {"empty expand string", "EmptyExpand", Value(RegistryValueType::ExpandString, "")},
        {"multi string", "Multi",
         Value(RegistryValueType::MultiString, EncodeMultiString({"one", "tw\xF6", "", "x"}))},
        {"empty multi string", "NoStrings",
         Value(RegistryValueType::MultiString, EncodeMultiString({}))},
        {"dword zero", "Zero", Value(RegistryValueType::Dword, std::string(4, '\0'))},
        {"dword max", "Max", Value(RegistryValueType::Dword, "\xFF\xFF\xFF\xFF")},
        {"dword of wrong size", "OddDword", Value(RegistryValueType::Dword, "\x01\x02")},
        {"binary of all bytes", "Bytes", Value(RegistryValueType::Binary, AllBytes())},
        {"empty binary", "NoBytes", Value(RegistryValueType::Binary, "")},
        {"qword", "Big", Value(RegistryValueType::Qword, "\x01\x02\x03\x04\x05\x06\x07\x08")},
        {"none", "Nothing", Value(RegistryValueType::None, "\x00\x01")},
        {"unusual type number", "Odd", {0x12345, "xyz"}},
    };
    {
        auto reg = OpenFileRegistry(Folder());
        for (const auto& c : cases) {
            reg->WriteValue(HKCU, "Software\\Vexlor\\Types", c.name, c.value);
        }
        reg->Flush();
    }
    const std::string firstText = ReadFileBytes(Folder() / "HKCU.reg");
    auto reg = OpenFileRegistry(Folder());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::optional<RegistryValue> read = reg->ReadValue(HKCU, "Software\\Vexlor\\Types", c.name);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->type, c.value.type);
        EXPECT_EQ(read->data, c.value.data);
    }
    // Saving what was read writes the same file again.
    reg->WriteString(HKCU, "Software\\Vexlor\\Types", "Plain", "Brindlewoven");
    reg->Flush();
    EXPECT_EQ(ReadFileBytes(Folder() / "HKCU.reg"), firstText);
}

TEST_F(RegistryTest, TypedAccessorsCheckTheType) {
    auto reg = OpenFileRegistry(Folder());
    reg->WriteString(HKCU, "K", "S", "text");
    reg->WriteExpandString(HKCU, "K", "E", "%APPDATAROOT%");
    reg->WriteMultiString(HKCU, "K", "M", {"a", "b"});
    reg->WriteDword(HKCU, "K", "D", 0x0A0B0C0D);
    reg->WriteBinary(HKCU, "K", "B", std::string("\0\1", 2));

    EXPECT_EQ(reg->ReadString(HKCU, "K", "S"), "text");
    EXPECT_EQ(reg->ReadString(HKCU, "K", "E"), "%APPDATAROOT%");
    EXPECT_EQ(reg->ReadString(HKCU, "K", "D"), std::nullopt);
    EXPECT_EQ(reg->ReadMultiString(HKCU, "K", "M"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reg->ReadMultiString(HKCU, "K", "S"), std::nullopt);
    EXPECT_EQ(reg->ReadDword(HKCU, "K", "D"), 0x0A0B0C0Du);
    EXPECT_EQ(reg->ReadDword(HKCU, "K", "B"), std::nullopt);
    EXPECT_EQ(reg->ReadBinary(HKCU, "K", "D"), std::string("\x0D\x0C\x0B\x0A"));
    EXPECT_EQ(reg->ValueType(HKCU, "K", "E"), RegistryValueType::ExpandString);
    EXPECT_EQ(reg->ValueType(HKCU, "K", "Missing"), std::nullopt);
    EXPECT_EQ(reg->ReadString(HKCU, "NoKey", "S"), std::nullopt);

    reg->Flush();
    EXPECT_NE(ReadFileBytes(Folder() / "HKCU.reg").find("\"D\"=dword:0a0b0c0d\r\n"),
              std::string::npos);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirCase) {
    auto reg = OpenFileRegistry(Folder());
    reg->WriteString(HKCU, "Software\\Vexlor\\\xC4rger", "MixedCase", "1");
    reg->WriteString(HKCU, "SOFTWARE\\vexlor\\\xE4RGER", "mixedcase", "2");
    EXPECT_EQ(reg->ReadString(HKCU, "software\\VEXLOR\\\xE4rger", "MIXEDCASE"), "2");
    EXPECT_EQ(reg->SubKeyNames(HKCU, "Software\\Vexlor"), std::vector<std::string>{"\xC4rger"});
    EXPECT_EQ(reg->ValueNames(HKCU, "Software\\Vexlor\\\xC4rger"),
              std::vector<std::string>{"MixedCase"});
    // Doubled and outer backslashes name the same key.
    EXPECT_TRUE(reg->KeyExists(HKCU, "\\Software\\\\Vexlor\\"));

    reg->WriteString(HKCU, "Software\\b", "x", "");
    reg->WriteString(HKCU, "Software\\A", "x", "");
    reg->WriteString(HKCU, "Software\\C", "x", "");
    EXPECT_EQ(reg->SubKeyNames(HKCU, "Software"),
              (std::vector<std::string>{"A", "b", "C", "Vexlor"}));
}

TEST_F(RegistryTest, KeysAreCreatedAndDeletedWithTheirSubkeys) {
    {
        auto reg = OpenFileRegistry(Folder());
        reg->CreateKey(HKCU, "Software\\Empty\\Leaf");
        reg->WriteDword(HKCU, "Software\\Tree\\Branch\\Twig", "Value", 1);
        reg->WriteDword(HKCU, "Software\\Tree", "Top", 2);
        reg->WriteDword(HKCU, "Software\\Keep", "V", 3);
        EXPECT_TRUE(reg->DeleteKey(HKCU, "software\\TREE"));
        EXPECT_FALSE(reg->DeleteKey(HKCU, "Software\\Tree"));
        EXPECT_FALSE(reg->KeyExists(HKCU, "Software\\Tree\\Branch"));
        EXPECT_TRUE(reg->DeleteValue(HKCU, "Software\\Keep", "v"));
        EXPECT_FALSE(reg->DeleteValue(HKCU, "Software\\Keep", "v"));
        EXPECT_THROW(reg->DeleteKey(HKCU, ""), PlatformError);
        EXPECT_THROW(reg->WriteString(HKCU, "Bad\nKey", "x", ""), PlatformError);
        EXPECT_THROW(reg->WriteString(HKCU, "Key", "bad\rname", ""), PlatformError);
        reg->Flush();
    }
    auto reg = OpenFileRegistry(Folder());
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software\\Empty\\Leaf"));
    EXPECT_FALSE(reg->KeyExists(HKCU, "Software\\Tree"));
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software\\Keep"));
    EXPECT_TRUE(reg->ValueNames(HKCU, "Software\\Keep").empty());
}

TEST_F(RegistryTest, ClassesRootLivesInTheMachineHive) {
    auto reg = OpenFileRegistry(Folder());
    reg->WriteString(RootKey::ClassesRoot, ".bwv", "", "Brindlewoven.Project");
    EXPECT_EQ(reg->ReadString(HKLM, "Software\\Classes\\.BWV", ""), "Brindlewoven.Project");
    reg->WriteString(RootKey::Users, ".DEFAULT\\Software", "U", "u");
    reg->Flush();
    const std::string machine = ReadFileBytes(Folder() / "HKLM.reg");
    EXPECT_NE(
        machine.find("[HKEY_LOCAL_MACHINE\\Software\\Classes\\.bwv]\r\n@=\"Brindlewoven.Project\""),
        std::string::npos);
    EXPECT_NE(ReadFileBytes(Folder() / "HKU.reg").find("[HKEY_USERS\\.DEFAULT\\Software]"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(Folder() / "HKCU.reg"));
    EXPECT_THROW(reg->DeleteKey(RootKey::ClassesRoot, ""), PlatformError);
}

TEST_F(RegistryTest, HiveFilesAreReadWithHandWrittenForms) {
    WriteText(Folder() / "HKLM.reg", "REGEDIT4\n"
                                     "; a comment\n"
                                     "[HKEY_LOCAL_MACHINE\\Software\\Hand]\n"
                                     "\"Text\" = \"with \\\"quotes\\\"\"\n"
                                     "\"Long\"=hex:01,02,\\\n"
                                     "    03,04\n"
                                     "\"Expand\"=hex(2):25,41,25,00\n"
                                     "\"Short\"=dword:a\n"
                                     "[HKEY_CLASSES_ROOT\\.txt]\n"
                                     "@=\"txtfile\"\n"
                                     "[HKEY_CURRENT_USER\\Elsewhere]\n"
                                     "\"Ignored\"=\"yes\"\n");
    auto reg = OpenFileRegistry(Folder());
    EXPECT_EQ(reg->ReadString(HKLM, "Software\\Hand", "Text"), "with \"quotes\"");
    EXPECT_EQ(reg->ReadBinary(HKLM, "Software\\Hand", "Long"), "\x01\x02\x03\x04");
    EXPECT_EQ(reg->ReadString(HKLM, "Software\\Hand", "Expand"), "%A%");
    EXPECT_EQ(reg->ReadDword(HKLM, "Software\\Hand", "Short"), 10u);
    EXPECT_EQ(reg->ReadString(RootKey::ClassesRoot, ".txt", ""), "txtfile");
    EXPECT_FALSE(reg->KeyExists(HKCU, "Elsewhere"));
}

std::string Repeat(std::string_view part, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

struct DamageCase {
    const char* label;
    std::string damage;
};

TEST_F(RegistryTest, DamagedHiveIsSetAsideAndKeepsTheGoodValues) {
    const DamageCase cases[] = {
        {"garbage line", "this is not a registry line\n"},
        {"unterminated string", "\"Bad\"=\"no end\n"},
        {"bad dword", "\"Bad\"=dword:12345678901\n"},
        {"bad hex byte", "\"Bad\"=hex:01,zz\n"},
        {"hex cut off", "\"Bad\"=hex:01,02,\\\n"},
        {"unknown root", "[HKEY_NOWHERE\\x]\n"},
        {"unclosed key", "[HKEY_CURRENT_USER\\Open\n"},
        {"binary junk", std::string("\x00\xFF\x00garbage", 10)},
        // Hostile hives: each once crashed every later registry call.
        {"key 50,000 levels deep", "[HKEY_CURRENT_USER" + Repeat("\\a", 50000) + "]\n"},
        {"key 513 levels deep", "[HKEY_CURRENT_USER" + Repeat("\\k", 513) + "]\n"},
        {"key name of 256 characters", "[HKEY_CURRENT_USER\\" + std::string(256, 'n') + "]\n"},
        {"NUL in a key name", std::string("[HKEY_CURRENT_USER\\a\0b]\n", 24)},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder folder("bw-damaged");
        const std::string good = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Good]\r\n"
                                 "\"First\"=\"one\"\r\n\"Second\"=dword:00000002\r\n";
        const std::string original = good + c.damage + "\"After\"=\"lost\"\r\n";
        WriteText(folder.Path() / "HKCU.reg", original);
        std::vector<std::string> warnings;
        {
            TWarningScope scope([&](const std::string& text) { warnings.push_back(text); });
            auto reg = OpenFileRegistry(folder.Path());
            EXPECT_EQ(reg->ReadString(HKCU, "Software\\Good", "First"), "one");
            EXPECT_EQ(reg->ReadDword(HKCU, "Software\\Good", "Second"), 2u);
            EXPECT_EQ(reg->ReadString(HKCU, "Software\\Good", "After"), std::nullopt);
        }
        ASSERT_TRUE(fs::exists(folder.Path() / "HKCU.reg.damaged-1"));
        EXPECT_EQ(ReadFileBytes(folder.Path() / "HKCU.reg.damaged-1"), original);
        // The user hears of it through the warning seam, never on stderr.
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find("HKCU.reg.damaged-1"), std::string::npos) << warnings[0];
        // The hive was written again with what could be read.
        auto again = OpenFileRegistry(folder.Path());
        EXPECT_EQ(again->ReadString(HKCU, "Software\\Good", "First"), "one");
        EXPECT_FALSE(fs::exists(folder.Path() / "HKCU.reg.damaged-2"));
    }
}

TEST_F(RegistryTest, KeysStayWithinTheRegistrysLimits) {
    const std::string deepest = "k" + Repeat("\\k", 511); // 512 levels
    const std::string longest(255, 'n');
    {
        auto reg = OpenFileRegistry(Folder());
        reg->WriteString(HKCU, deepest, "v", "deep");
        reg->WriteString(HKCU, longest, "v", "long");
        EXPECT_THROW(reg->CreateKey(HKCU, deepest + "\\one-more"), PlatformError);
        EXPECT_THROW(reg->WriteString(HKCU, longest + "n", "v", "x"), PlatformError);
        EXPECT_THROW(reg->KeyExists(HKCU, "a" + Repeat("\\a", 50000)), PlatformError);
        EXPECT_THROW(reg->CreateKey(HKCU, std::string("a\0b", 3)), PlatformError);
        reg->Flush();
    }
    // Written and read again: a hive at the limits is not damaged.
    auto again = OpenFileRegistry(Folder());
    EXPECT_EQ(again->ReadString(HKCU, deepest, "v"), "deep");
    EXPECT_EQ(again->ReadString(HKCU, longest, "v"), "long");
    EXPECT_FALSE(fs::exists(Folder() / "HKCU.reg.damaged-1"));
}

TEST_F(RegistryTest, SaveRemovesWhatAKilledSaveLeft) {
    auto reg = OpenFileRegistry(Folder());
    reg->WriteString(HKCU, "Software", "v", "1");
    reg->Flush();
    const fs::path stale = Folder() / ".HKCU.reg.tmpab12cd34";
    const fs::path otherHive = Folder() / ".HKLM.reg.tmpab12cd34";
    const fs::path notOurs = Folder() / ".HKCU.reg.tmp-keep";
    for (const fs::path& p : {stale, otherHive, notOurs}) {
        WriteText(p, "REGEDIT4 half written");
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    reg->WriteString(HKCU, "Software", "v", "2");
    reg->Flush();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(otherHive)) << "only the saved hive's own files go";
    EXPECT_TRUE(fs::exists(notOurs)) << "a name the writer never makes stays";
    EXPECT_EQ(OpenFileRegistry(Folder())->ReadString(HKCU, "Software", "v"), "2");
}

TEST_F(RegistryTest, NotARegistryFileIsSetAsideWithoutValues) {
    WriteText(Folder() / "HKCU.reg",
              "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\x]\r\n");
    WriteText(Folder() / "HKCU.reg.damaged-1", "older damage");
    auto reg = OpenFileRegistry(Folder());
    EXPECT_FALSE(reg->KeyExists(HKCU, "x"));
    EXPECT_EQ(ReadFileBytes(Folder() / "HKCU.reg.damaged-1"), "older damage");
    EXPECT_TRUE(fs::exists(Folder() / "HKCU.reg.damaged-2"));
}

TEST_F(RegistryTest, TwoRegistriesMergeTheirChangesOnFlush) {
    auto a = OpenFileRegistry(Folder());
    auto b = OpenFileRegistry(Folder());
    a->WriteString(HKCU, "Shared", "FromA", "a");
    a->WriteString(HKCU, "Shared", "Both", "a");
    b->WriteString(HKCU, "Shared", "FromB", "b");
    a->Flush();
    // b sees what a saved, together with its own unsaved change.
    EXPECT_EQ(b->ReadString(HKCU, "Shared", "FromA"), "a");
    EXPECT_EQ(b->ReadString(HKCU, "Shared", "FromB"), "b");
    b->WriteString(HKCU, "Shared", "Both", "b");
    b->DeleteValue(HKCU, "Shared", "FromA");
    b->Flush();
    auto c = OpenFileRegistry(Folder());
    EXPECT_EQ(c->ReadString(HKCU, "Shared", "FromA"), std::nullopt);
    EXPECT_EQ(c->ReadString(HKCU, "Shared", "FromB"), "b");
    EXPECT_EQ(c->ReadString(HKCU, "Shared", "Both"), "b");
    // a's earlier values are saved; flushing a again changes nothing.
    a->Flush();
    EXPECT_EQ(c->ReadString(HKCU, "Shared", "Both"), "b");
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNoValue) {
    constexpr int kValues = 500;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            try {
                auto reg = OpenFileRegistry(Folder());
                for (int i = 0; i < kValues; ++i) {
                    reg->WriteDword(HKCU, "Software\\Race\\P" + std::to_string(p),
                                    "V" + std::to_string(i), static_cast<uint32_t>(i));
                    reg->WriteDword(HKCU, "Software\\Race\\Common",
                                    "P" + std::to_string(p) + "-" + std::to_string(i), 1);
                    if (i % 25 == 24) {
                        reg->Flush();
                    }
                }
                reg->Flush();
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        children[p] = pid;
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
    }
    auto reg = OpenFileRegistry(Folder());
    for (int p = 0; p < 2; ++p) {
        const std::string key = "Software\\Race\\P" + std::to_string(p);
        ASSERT_EQ(reg->ValueNames(HKCU, key).size(), static_cast<size_t>(kValues));
        for (int i = 0; i < kValues; ++i) {
            ASSERT_EQ(reg->ReadDword(HKCU, key, "V" + std::to_string(i)), static_cast<uint32_t>(i));
        }
    }
    EXPECT_EQ(reg->ValueNames(HKCU, "Software\\Race\\Common").size(), 2u * kValues);
}

void ExitAtStage(const char* stage) {
    const char* wanted = std::getenv("BW_TEST_CRASH_STAGE");
    if (wanted && std::string_view(stage) == wanted) {
        ::_exit(0);
    }
}

TEST_F(RegistryTest, CrashBeforeTheRenameLeavesTheOldHive) {
    {
        auto reg = OpenFileRegistry(Folder());
        reg->WriteString(HKCU, "Software\\Crash", "Old", "kept");
        reg->Flush();
    }
    const std::string before = ReadFileBytes(Folder() / "HKCU.reg");
    for (const char* stage : {"before-fsync", "before-rename"}) {
        SCOPED_TRACE(stage);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::setenv("BW_TEST_CRASH_STAGE", stage, 1);
            SetAtomicWriteHook(ExitAtStage);
            auto reg = OpenFileRegistry(Folder());
            reg->WriteString(HKCU, "Software\\Crash", "New", "lost");
            reg->DeleteValue(HKCU, "Software\\Crash", "Old");
            reg->Flush();
            ::_exit(3); // the hook should have ended the process first
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(ReadFileBytes(Folder() / "HKCU.reg"), before);
        auto reg = OpenFileRegistry(Folder());
        EXPECT_EQ(reg->ReadString(HKCU, "Software\\Crash", "Old"), "kept");
        EXPECT_EQ(reg->ReadString(HKCU, "Software\\Crash", "New"), std::nullopt);
    }
    // The lock is free again: a later flush works.
    auto reg = OpenFileRegistry(Folder());
    reg->WriteString(HKCU, "Software\\Crash", "Later", "saved");
    reg->Flush();
    EXPECT_EQ(OpenFileRegistry(Folder())->ReadString(HKCU, "Software\\Crash", "Later"), "saved");
}

TEST_F(RegistryTest, FailedFlushKeepsChangesForTheNextTry) {
    const fs::path blocker = Folder() / "blocker";
    WriteText(blocker, "a file where the hive folder should be");
    RegistryLocations locations = RegistryLocations::InFolder(blocker / "registry");
    auto reg = OpenFileRegistry(locations);
    reg->WriteString(HKCU, "K", "V", "x");
    EXPECT_THROW(reg->Flush(), PlatformError);
    EXPECT_EQ(reg->ReadString(HKCU, "K", "V"), "x");
    fs::remove(blocker);
    reg->Flush();
    EXPECT_EQ(OpenFileRegistry(locations)->ReadString(HKCU, "K", "V"), "x");
}

TEST_F(RegistryTest, UnreadableHiveIsNeverWrittenOver) {
    fs::create_directory(Folder() / "HKCU.reg"); // unreadable as a file
    WriteText(Folder() / "HKCU.reg" / "inside", "x");
    auto reg = OpenFileRegistry(Folder());
    EXPECT_FALSE(reg->KeyExists(HKCU, "Software"));
    reg->WriteString(HKCU, "Software", "V", "x");
    EXPECT_THROW(reg->FlushKey(HKCU), PlatformError);
    EXPECT_TRUE(fs::exists(Folder() / "HKCU.reg" / "inside"));
    reg->DiscardChanges(HKCU);
}

TEST_F(RegistryTest, AConfinedRegistryFollowsNoLinkBelowItsSandbox) {
    // box/ is the sandbox, its hives in box/a/reg; outside/ holds a hive of
    // its own that must be neither read nor changed.
    struct Case {
        const char* name;
        const char* link; // below box/, to outside/ (or to outside/HKCU.reg)
        bool toHive;
    } cases[] = {
        {"link above the hive folder", "a", false},
        {"link as the hive folder", "a/reg", false},
        {"link as the hive itself", "a/reg/HKCU.reg", true},
    };
    const std::string outsideHive =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Planted]\r\n\"V\"=\"outside\"\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp("bw-confined");
        const fs::path box = temp.Path() / "box";
        const fs::path outside = temp.Path() / "outside";
        fs::create_directories(outside);
        WriteText(outside / "HKCU.reg", outsideHive);
        fs::create_directories((box / c.link).parent_path());
        if (c.toHive)
            fs::create_symlink(outside / "HKCU.reg", box / c.link);
        else
            fs::create_directory_symlink(outside, box / c.link);
        RegistryLocations locations = RegistryLocations::InFolder(box / "a" / "reg");
        locations.confinedTo = box;
        auto reg = OpenFileRegistry(locations);
        EXPECT_FALSE(reg->KeyExists(HKCU, "Planted")) << "read through the link";
        reg->WriteString(HKCU, "Software", "V", "x");
        EXPECT_THROW(reg->FlushKey(HKCU), PlatformError);
        reg->DiscardChanges(HKCU);
        EXPECT_EQ(fs::directory_iterator(outside)->path().filename(), "HKCU.reg");
        EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
        EXPECT_EQ(ReadFileBytes(outside / "HKCU.reg"), outsideHive);
    }
}

TEST_F(RegistryTest, ValuesPastTheRegistryLimitsAreRefused) {
    auto reg = OpenFileRegistry(Folder());
    struct Case {
        const char* name;
        std::string valueName;
        std::size_t dataSize;
        bool refused;
    } cases[] = {
        {"longest name", std::string(kMaxValueNameLength, 'n'), 1, false},
        {"name one longer", std::string(kMaxValueNameLength + 1, 'n'), 1, true},
        {"largest data", "Big", kMaxValueDataSize, false},
        {"data one byte larger", "Bigger", kMaxValueDataSize + 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ValueProblem(c.valueName, c.dataSize).empty(), !c.refused);
        auto write = [&] {
            reg->WriteBinary(HKCU, "Limits", c.valueName, std::string(c.dataSize, 'd'));
        };
        if (c.refused) {
            EXPECT_THROW(write(), PlatformError);
            EXPECT_FALSE(reg->ValueExists(HKCU, "Limits", c.valueName));
        } else {
            EXPECT_NO_THROW(write());
        }
    }
    reg->Flush();
    EXPECT_EQ(OpenFileRegistry(Folder())->ReadBinary(HKCU, "Limits", "Big")->size(),
              kMaxValueDataSize);
}

TEST_F(RegistryTest, UserHiveIsPrivate) {
    auto reg = OpenFileRegistry(Folder());
    reg->WriteString(HKCU, "K", "Password", "secret");
    reg->WriteString(HKLM, "K", "Public", "x");
    reg->Flush();
    EXPECT_EQ(fs::status(Folder() / "HKCU.reg").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(Folder() / "HKLM.reg").permissions() & fs::perms::others_read,
              fs::perms::others_read);
}

TEST(MemoryRegistry, BehavesLikeTheFileRegistryWithoutFiles) {
    auto reg = OpenMemoryRegistry();
    reg->WriteString(RootKey::ClassesRoot, ".bwv", "", "x");
    EXPECT_EQ(reg->ReadString(HKLM, "software\\classes\\.BWV", ""), "x");
    reg->WriteDword(HKCU, "A\\B", "D", 7);
    reg->Flush();
    EXPECT_EQ(reg->ReadDword(HKCU, "a\\b", "d"), 7u);
    EXPECT_TRUE(reg->DeleteKey(HKCU, "A"));
    EXPECT_FALSE(reg->KeyExists(HKCU, "A\\B"));
}

TEST(RegistryNames, RootKeyNamesAndMultiStrings) {
    EXPECT_EQ(ParseRootKeyName("hkcu"), RootKey::CurrentUser);
    EXPECT_EQ(ParseRootKeyName("HKEY_LOCAL_MACHINE"), RootKey::LocalMachine);
    EXPECT_EQ(ParseRootKeyName("HKCR"), RootKey::ClassesRoot);
    EXPECT_EQ(ParseRootKeyName("hkey_users"), RootKey::Users);
    EXPECT_EQ(ParseRootKeyName("HKEY_CURRENT_USERS"), std::nullopt);
    EXPECT_STREQ(RootKeyName(RootKey::ClassesRoot), "HKEY_CLASSES_ROOT");

    EXPECT_EQ(EncodeMultiString({"a", "bc"}), std::string("a\0bc\0\0", 6));
    EXPECT_EQ(DecodeMultiString(std::string("a\0bc\0\0", 6)),
              (std::vector<std::string>{"a", "bc"}));
    EXPECT_EQ(DecodeMultiString(std::string("a\0bc", 4)), (std::vector<std::string>{"a", "bc"}));
    EXPECT_TRUE(DecodeMultiString(std::string("\0", 1)).empty());
}

TEST(RegistryFormat, LongBinaryValuesContinueOverLines) {
    std::string line = FormatHiveValue("Data", {3, std::string(100, '\x5A')});
    EXPECT_EQ(line.substr(0, 12), "\"Data\"=hex:5");
    size_t lines = 1;
    for (size_t pos = 0; (pos = line.find("\\\r\n  ", pos)) != std::string::npos; ++pos) {
        ++lines;
    }
    EXPECT_GT(lines, 3u);
    for (size_t start = 0; start < line.size();) {
        size_t end = line.find("\r\n", start);
        if (end == std::string::npos) {
            end = line.size();
        }
        EXPECT_LE(end - start, 80u);
        start = end + 2;
    }
    HiveParseResult parsed = ParseHiveText("REGEDIT4\r\n[HKEY_USERS\\k]\r\n" + line + "\r\n");
    ASSERT_FALSE(parsed.damaged);
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_EQ(parsed.entries[1].value.data, std::string(100, '\x5A'));
}

} // namespace
