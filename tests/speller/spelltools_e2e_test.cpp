// The command-line tools over a small word list: mkdic writes a dictionary
// and `bwtool spell` reports what it does not hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "speller/dictionary.h"
#include "tests/speller/speller_support.h"

namespace speller {
namespace {

std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "<popen failed>";
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int status = pclose(pipe);
    if (status != 0)
        output += "<exit " + std::to_string(status) + ">";
    return output;
}

TEST(SpellTools, MkdicThenSpell) {
    testing::TempDir dir;
    // UTF-8 input: the accented word is stored in Windows-1252.
    testing::WriteBytes(dir / "words.txt", "cat\nsat\nmat\nthe\ncaf\xC3\xA9\nhat\n");
    const std::string tools = BW_TOOLS_DIR;
    EXPECT_EQ(RunCommand(tools + "/mkdic " + (dir / "words.txt").string() + " " +
                         (dir / "en.dic").string() + " --max-nodes 4 --force-k7"),
              "");
    TDictionary dictionary(dir / "en.dic");
    ASSERT_TRUE(dictionary.Load());
    EXPECT_GT(dictionary.SubDictionaryCount(), 1u);
    EXPECT_TRUE(dictionary.IsWord("caf\xE9"));

    testing::WriteBytes(dir / "text.txt", "The cat sat\ncaf\xC3\xA9 Cst\n  the  xyz\n");
    EXPECT_EQ(RunCommand(tools + "/bwtool spell " + (dir / "en.dic").string() + " --suggest < " +
                         (dir / "text.txt").string()),
              "Cst: Cat\nxyz:\n");
    EXPECT_EQ(RunCommand(tools + "/bwtool spell " + (dir / "en.dic").string() + " < " +
                         (dir / "text.txt").string()),
              "Cst\nxyz\n");
    EXPECT_NE(RunCommand(tools + "/mkdic " + (dir / "none.txt").string() + " " +
                         (dir / "x.dic").string() + " 2>/dev/null"),
              "");
}

} // namespace
} // namespace speller
