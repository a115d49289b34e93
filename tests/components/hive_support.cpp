#include "hive_support.h"

platform::Registry& TTestHive::Reopened() {
    registry_->Flush();
    registry_ = platform::OpenFileRegistry(folder_.Path());
    return *registry_;
}
