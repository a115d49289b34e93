// Hive files can be edited by hand or damaged on disk: the reader must keep
// whatever it can and never crash, and what it keeps must survive a
// write-and-read-again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/drives.h"
#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::HiveParseResult parsed = platform::ParseHiveText(text);
    for (const platform::HiveEntry& entry : parsed.entries) {
        if (!entry.name ||
            entry.name->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            continue;
        }
        std::string again = "REGEDIT4\r\n[" + entry.rootName + "]\r\n" +
                            platform::FormatHiveValue(*entry.name, entry.value) + "\r\n";
        platform::HiveParseResult reparsed = platform::ParseHiveText(again);
        if (reparsed.damaged || reparsed.entries.size() != 2 ||
            !(reparsed.entries[1].value == entry.value)) {
            std::abort();
        }
    }
    platform::ParseMountInfo(text);
    return 0;
}
