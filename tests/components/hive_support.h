#pragma once
// A fixture with a registry in hive files of a private folder, for tests of
// what the components keep in the registry between two starts of the program.
#include <gtest/gtest.h>

#include <memory>

#include "platform/registry.h"
#include "platform/tempfolder.h"

class TTestHive : public testing::Test {
protected:
    // Flushes the hive and opens it again, as the next start of the program would.
    platform::Registry& Reopened();

    platform::TempFolder folder_{"bwhive"};
    std::unique_ptr<platform::Registry> registry_ = platform::OpenFileRegistry(folder_.Path());
};
