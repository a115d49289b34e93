#include "setup/packagereader.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup_support.h"

namespace {

using namespace setup;
using setuptest::ReadFile;
using setuptest::TSandbox;
using setuptest::WriteFile;

std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), 9);
    out.resize(size);
    return out;
}

// A stub with the package offset at byte 144, volume size 0, then `body`.
std::string RawPackage(const std::string& body) {
    std::string stub(148, '\0');
    stub.replace(144, 4, Le32(148));
    return stub + Le32(0) + body;
}

std::string Record(const std::string& stream) {
    return Le32(static_cast<std::uint32_t>(stream.size())) + stream;
}

TEST(VolumeFileName, FollowsTheNumberingRule) {
    const struct {
        const char* path;
        std::uint32_t number;
        const char* expected;
    } cases[] = {
        {"/d/setup.exe", 1, "/d/setup.exe"},     {"/d/setup.exe", 2, "/d/setup.002"},
        {"/d/setup.exe", 12, "/d/setup.012"},    {"/d/setup.exe", 999, "/d/setup.999"},
        {"/d/setup.exe", 1000, "/d/setup.1000"}, {"/d/setup", 3, "/d/setup.003"},
        {"/d.x/setup", 3, "/d.x/setup.003"},     {"/d/a.b.exe", 10, "/d/a.b.010"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VolumeFileName(c.path, c.number), c.expected) << c.path << " " << c.number;
}

TEST(CompressedString, SizesRoundTripAndEmptyRecordsTakeFourBytes) {
    TSandbox box;
    std::vector<std::string> texts;
    for (std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{256}, std::size_t{1} << 20}) {
        std::string t(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            t[i] = static_cast<char>("line\r\n\0x"[i % 8]);
        texts.push_back(t);
    }
    std::string body;
    for (const auto& t : texts)
        body += t.empty() ? Le32(0) : Record(Deflate(t));
    body += Le32(0xFFFFFFF0); // negative length: empty
    body += "Z";
    WriteFile(box.Path("p.exe"), RawPackage(body));
    TPackageReader reader;
    reader.OpenPackage(box.Path("p.exe"));
    EXPECT_EQ(reader.VolumeSize(), 0);
    for (const auto& t : texts)
        EXPECT_EQ(reader.ReadCompressedString(), t);
    std::uint64_t before = reader.Position();
    EXPECT_EQ(reader.ReadCompressedString(), "");
    EXPECT_EQ(reader.Position(), before + 4);
    EXPECT_EQ(reader.ReadByte(), 'Z');
}

TEST(CompressedString, DamagedRecordsEndWithAnError) {
    std::string good = Deflate(std::string(3000, 'x') + "end");
    const struct {
        const char* name;
        std::string body;
        const char* message;
    } cases[] = {
        {"truncated stream", Record(good.substr(0, good.size() - 6)), "ends too soon"},
        {"trailing bytes", Record(good + "JUNK"), "follows the end"},
        {"record longer than the package", Le32(5000) + good, "ends too soon"},
        {"not zlib", Record("plain text, no stream"), "cannot be inflated"},
        {"huge length", Le32(0x7FFFFFFF) + good, "bytes long"},
    };
    for (const auto& c : cases) {
        TSandbox box;
        WriteFile(box.Path("p.exe"), RawPackage(c.body));
        TPackageReader reader;
        reader.OpenPackage(box.Path("p.exe"));
        try {
            reader.ReadCompressedString();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EPackageDamaged& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

TEST(CompressedString, AllRecordsTogetherStayWithinTheirBudget) {
    // Five records of 15 MiB each: every one is below the cap of a single
    // record, but together they pass the package's 64 MiB.
    TSandbox box;
    std::string body;
    for (int i = 0; i < 5; ++i)
        body += Record(setuptest::ZeroBomb(15u << 20));
    WriteFile(box.Path("p.exe"), RawPackage(body));
    TPackageReader reader;
    reader.OpenPackage(box.Path("p.exe"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(reader.ReadCompressedString().size(), 15u << 20);
    EXPECT_THROW(reader.ReadCompressedString(), EPackageDamaged);
}

TEST(PackageReader, RefusesFilesThatCannotHoldAPackage) {
    TSandbox box;
    WriteFile(box.Path("short.exe"), std::string(100, '\0'));
    std::string bad(200, '\0');
    bad.replace(144, 4, Le32(198)); // the offset leaves no room for the volume size
    WriteFile(box.Path("bad.exe"), bad);
    TPackageReader reader;
    EXPECT_THROW(reader.OpenPackage(box.Path("missing.exe")), ESetupError);
    EXPECT_THROW(reader.OpenPackage(box.Path("short.exe")), EInvalidPackage);
    EXPECT_THROW(reader.OpenPackage(box.Path("bad.exe")), EInvalidPackage);
}

// Answers a missing-volume prompt by putting the volume back in place.
class RestoringPrompter : public IVolumePrompter {
public:
    RestoringPrompter(std::string hidden, std::string name, bool answer)
        : hidden_(std::move(hidden)), name_(std::move(name)), answer_(answer) {}
    bool AskForVolume(std::uint32_t number, std::string& fileName,
                      const std::string& prompt) override {
        ++asked;
        lastNumber = number;
        lastFile = fileName;
        lastPrompt = prompt;
        if (answer_ && asked == 2)
            std::rename(hidden_.c_str(), name_.c_str());
        return answer_;
    }
    int asked = 0;
    std::uint32_t lastNumber = 0;
    std::string lastFile;
    std::string lastPrompt;

private:
    std::string hidden_;
    std::string name_;
    bool answer_;
};

class VolumeTest : public ::testing::Test {
protected:
    // Builds the sample package in one file and in volumes of `size` bytes.
    void BuildBoth(long long size) {
        setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("one.exe"));
        setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("multi.exe"),
                                {"--volume-size", std::to_string(size)});
    }
    // Opens a package and extracts every package file into `folder`.
    std::vector<std::string> ExtractAll(const std::string& package, const std::string& folder,
                                        IVolumePrompter* prompter = nullptr) {
        TSetupPackage p(box.Roots());
        p.SetVolumePrompter(prompter);
        p.Open(package);
        p.PrepareInstallation();
        std::vector<std::string> contents;
        const auto& files = p.Tables().fileTable.files;
        std::filesystem::create_directories(folder);
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string target = folder + "/" + files[i].name;
            EXPECT_EQ(p.InstallPackageFile(static_cast<std::uint16_t>(i), target), "");
            contents.push_back(ReadFile(target));
        }
        return contents;
    }
    TSandbox box;
};

TEST_F(VolumeTest, OneAndThreeVolumesExtractTheSameBytes) {
    // The sample is about 60 KB; 25,000-byte volumes make three, and every
    // volume end falls inside some record.
    BuildBoth(25000);
    ASSERT_TRUE(setuptest::Exists(box.Path("multi.003")));
    ASSERT_FALSE(setuptest::Exists(box.Path("multi.004")));
    auto one = ExtractAll(box.Path("one.exe"), box.Path("out1"));
    auto three = ExtractAll(box.Path("multi.exe"), box.Path("out3"));
    EXPECT_EQ(one, three);
    ASSERT_EQ(one.size(), 5u);
    EXPECT_EQ(one[0], "Read me first.");
    EXPECT_EQ(one[1], "hello");
    EXPECT_EQ(one[2].size(), 300000u);
}

TEST_F(VolumeTest, HeaderFieldsStraddlingVolumeEndsReadCorrectly) {
    // Volumes of 700 bytes cut through the header, the tables and the
    // 4-byte sizes of the streams.
    BuildBoth(700);
    auto one = ExtractAll(box.Path("one.exe"), box.Path("out1"));
    auto many = ExtractAll(box.Path("multi.exe"), box.Path("outN"));
    EXPECT_EQ(one, many);
}

TEST_F(VolumeTest, MissingVolumeIsAskedForAndReadingContinues) {
    BuildBoth(25000);
    std::string hidden = box.Path("hidden.002");
    std::rename(box.Path("multi.002").c_str(), hidden.c_str());
    RestoringPrompter prompter(hidden, box.Path("multi.002"), true);
    auto three = ExtractAll(box.Path("multi.exe"), box.Path("out3"), &prompter);
    EXPECT_EQ(prompter.asked, 2); // asked again while still missing
    EXPECT_EQ(prompter.lastNumber, 2u);
    EXPECT_EQ(prompter.lastFile, box.Path("multi.002"));
    EXPECT_EQ(prompter.lastPrompt, "Please insert volume 2 of the setup package.");
    EXPECT_EQ(three, ExtractAll(box.Path("one.exe"), box.Path("out1")));
}

TEST_F(VolumeTest, CancelledPromptAbortsAndSilentModeFailsWithAMessage) {
    BuildBoth(25000);
    std::remove(box.Path("multi.002").c_str());
    RestoringPrompter cancel("", "", false);
    EXPECT_THROW(ExtractAll(box.Path("multi.exe"), box.Path("o"), &cancel), EAbortInstallation);
    EXPECT_EQ(cancel.asked, 1);
    try {
        ExtractAll(box.Path("multi.exe"), box.Path("o"), nullptr);
        FAIL() << "a missing volume was not reported";
    } catch (const EAbortInstallation&) {
        FAIL() << "silent mode must fail with a message, not abort quietly";
    } catch (const ESetupError& e) {
        // The package's own prompt, with the file it looked for.
        EXPECT_NE(std::string(e.what()).find(
                      "(Please insert volume 2 of the setup package. (multi.002))"),
                  std::string::npos)
            << e.what();
    }
}

TEST_F(VolumeTest, TruncatedMiddleVolumeIsDamagedWithoutAsking) {
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("multi.exe"),
                            {"--volume-size", "25000", "--fault", "short-volume=2"});
    RestoringPrompter prompter("", "", false);
    try {
        ExtractAll(box.Path("multi.exe"), box.Path("o"), &prompter);
        FAIL() << "a short middle volume was accepted";
    } catch (const EPackageDamaged& e) {
        EXPECT_NE(std::string(e.what()).find("ends before the volume size"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(prompter.asked, 0);
}

TEST_F(VolumeTest, OversizedVolumeIsDamaged) {
    BuildBoth(25000);
    std::string bytes = ReadFile(box.Path("multi.002"));
    WriteFile(box.Path("multi.002"), bytes + "extra");
    EXPECT_THROW(ExtractAll(box.Path("multi.exe"), box.Path("o")), EPackageDamaged);
}

struct ExtractFault {
    const char* fault;
    const char* reason;
};

class ExtractFaultTest : public ::testing::TestWithParam<ExtractFault> {};

TEST_P(ExtractFaultTest, FailedExtractionLeavesTheOldTarget) {
    TSandbox box;
    const ExtractFault& f = GetParam();
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("p.exe"),
                            {"--fault", f.fault});
    std::string folder = box.Path("target");
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/big.bin", "the old file");
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    p.PrepareInstallation();
    try {
        p.InstallPackageFile(2, folder + "/big.bin");
        FAIL() << f.fault << ": no error";
    } catch (const EPackageDamaged& e) {
        std::string message = e.what();
        // The package's own read-error text, then why.
        EXPECT_NE(message.find("The file big.bin could not be read from the setup package. "
                               "Please contact Vexlor (http://vexlor.example)."),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find("Setup cannot continue."), std::string::npos) << message;
        EXPECT_NE(message.find(f.reason), std::string::npos) << message;
    }
    EXPECT_EQ(ReadFile(folder + "/big.bin"), "the old file");
    EXPECT_EQ(setuptest::ListFolder(folder), std::vector<std::string>{"big.bin"});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ExtractFaultTest,
    ::testing::Values(ExtractFault{"truncate-file=1", "ends too soon"},
                      ExtractFault{"trailing-file=1", "follows the end"},
                      ExtractFault{"wrong-size=1", "shorter than its recorded size"},
                      ExtractFault{"wrong-crc=1", "CRC-32"},
                      // Above 2 GiB: read unsigned, and simply out of reach.
                      ExtractFault{"position=1:3000000000", "position 3000000000 lies beyond"}));

TEST(ExtractPackageFile, ShorterThanRecordedIsDamaged) {
    TSandbox box;
    // The recorded size is one byte less than the real file: the stream
    // overruns it and is stopped before the excess is written.
    std::string json = setuptest::SamplePackageJson();
    setuptest::BuildPackage(json, box.Path("p.exe"));
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    p.PrepareInstallation();
    p.Tables().fileTable.files[2].size -= 1;
    EXPECT_THROW(p.InstallPackageFile(2, box.Path("big.bin")), EPackageDamaged);
    p.Tables().fileTable.files[2].size += 2;
    EXPECT_THROW(p.InstallPackageFile(2, box.Path("big.bin")), EPackageDamaged);
    EXPECT_FALSE(setuptest::Exists(box.Path("big.bin")));
}

TEST(ExtractPackageFile, ReplacesTheTargetAndReportsProgress) {
    TSandbox box;
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("p.exe"));
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    p.PrepareInstallation();
    WriteFile(box.Path("a.txt"), "old contents that are longer");
    std::size_t progress = 0;
    EXPECT_EQ(p.InstallPackageFile(1, box.Path("a.txt"), [&](std::size_t n) { progress += n; }),
              "");
    EXPECT_EQ(ReadFile(box.Path("a.txt")), "hello");
    EXPECT_EQ(progress, 5u);
    // An abort from the progress sink removes the partial file.
    EXPECT_THROW(p.InstallPackageFile(2, box.Path("big.bin"),
                                      [](std::size_t) { throw EAbortInstallation(); }),
                 EAbortInstallation);
    EXPECT_FALSE(setuptest::Exists(box.Path("big.bin")));
    // A support file is copied from its temporary file.
    EXPECT_EQ(p.InstallPackageFile(0, box.Path("readme.txt")), "");
    EXPECT_EQ(ReadFile(box.Path("readme.txt")), "Read me first.");
}

TEST(ExtractPackageFile, TargetThatCannotBeRenamedIsReplacedAtRestart) {
    TSandbox box;
    setuptest::BuildPackage(setuptest::SamplePackageJson(), box.Path("p.exe"));
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    p.PrepareInstallation();
    // A non-empty folder in the target's place cannot be renamed over.
    std::filesystem::create_directories(box.Path("a.txt/inside"));
    std::string temp = p.InstallPackageFile(1, box.Path("a.txt"));
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(ExtractFileName(temp).substr(0, 3), "cgn");
    EXPECT_EQ(ReadFile(temp), "hello");
    auto entries = p.Pending().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].rename);
    EXPECT_EQ(entries[0].source, temp);
    EXPECT_EQ(entries[0].target, box.Path("a.txt"));
}

} // namespace
