// An independent check: Free Pascal's own parser (fcl-passrc) lists the
// classes and their non-private, non-field members of the same units; the
// sets must match ours. Built and run only where fpc is installed.
// Known difference, not met in these units: we read both branches of an
// {$IFDEF}, so a member declared under a false condition is ours only.
#include "unitparser/unitparser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

using ClassSets = std::map<std::string, std::set<std::string>>;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

std::string Capture(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    status = pclose(pipe);
    return out;
}

class PassrcCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::system("command -v fpc >/dev/null 2>&1") != 0)
            return;
        std::string dir = ::testing::TempDir() + "bw_passrcdump";
        std::filesystem::create_directories(dir);
        int status = -1;
        std::string log = Capture("fpc -O1 -FE" + dir + " -FU" + dir +
                                      " " BW_TEST_DATA "/unitparser/passrcdump.pp 2>&1",
                                  status);
        if (status == 0)
            dumper = dir + "/passrcdump";
    }
    void SetUp() override {
        if (dumper.empty())
            GTEST_SKIP() << "fpc with fcl-passrc not available";
    }

    static ClassSets Theirs(const std::string& unit) {
        int status = -1;
        std::istringstream in(Capture(dumper + " " + unit, status));
        EXPECT_EQ(status, 0);
        ClassSets sets;
        std::string line, current;
        while (std::getline(in, line)) {
            if (line.rfind("class ", 0) == 0)
                sets[current = Lower(line.substr(6))];
            else if (line.rfind("member ", 0) == 0)
                sets[current].insert(Lower(line.substr(7)));
        }
        return sets;
    }

    static ClassSets Ours(const std::string& unit) {
        unitparser::TUnitParser parser;
        parser.ParseFile(unit);
        ClassSets sets;
        for (const auto& object : parser.ParseObjects) {
            auto& members = sets[Lower(object->Name)];
            for (const auto* list : {&object->Properties, &object->Methods, &object->Events})
                for (const auto& entry : *list)
                    members.insert(Lower(entry.Name()));
        }
        return sets;
    }

    static std::string dumper;
};

std::string PassrcCheck::dumper;

class PassrcUnits : public PassrcCheck, public ::testing::WithParamInterface<const char*> {};

TEST_P(PassrcUnits, SameClassesAndMembers) {
    std::string unit = GetParam();
    if (unit[0] != '/')
        unit = std::string(BW_TEST_DATA "/unitparser/") + unit;
    if (!std::filesystem::exists(unit))
        GTEST_SKIP() << unit << " not installed";
    ClassSets theirs = Theirs(unit);
    ClassSets ours = Ours(unit);
    ASSERT_FALSE(theirs.empty());
    EXPECT_EQ(ours, theirs);
}

INSTANTIATE_TEST_SUITE_P(FreePascal, PassrcUnits,
                         ::testing::Values("fptimer.pp",
                                           "/usr/share/fpcsrc/3.2.2/packages/fcl-web/src/base/"
                                           "fphttpclient.pp",
                                           "/usr/share/fpcsrc/3.2.2/packages/fcl-db/src/base/"
                                           "db.pas"));

} // namespace
