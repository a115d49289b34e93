#include "platform/processmemory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

TEST(ProcessMemory, CountsThisProcessAndNothingForTheGone) {
    // Touch a block large enough to show in the resident size.
    std::string block(std::size_t{32} << 20, 'x');
    const std::uint64_t own = platform::ProcessResidentBytes(::getpid());
    EXPECT_GE(own, block.size());
    EXPECT_EQ(platform::ProcessResidentBytes(0x7ffffff0), 0u);
    EXPECT_GT(platform::PhysicalMemoryBytes(), own);
    EXPECT_EQ(block.back(), 'x');
}

} // namespace
