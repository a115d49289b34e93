// Feeds arbitrary bytes to the topic clipboard reader: a record is refused
// without touching the topic, or read and written back to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "helpproject/brindlewovenerror.h"
#include "helpproject/topicclipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace helpproject;
    const std::string_view record(reinterpret_cast<const char*>(data), size);
    TBrindlewovenTopic topic(40, "before");
    try {
        LoadFromClipboardData(topic, record);
    } catch (const EProjectError&) {
        if (topic.Title != "before" || topic.Text.size() != 2)
            std::abort();
        return 0;
    }
    TBrindlewovenTopic back(41, "");
    LoadFromClipboardData(back, SaveToClipboardData(topic));
    if (back.Title != topic.Title || back.Status != topic.Status || back.Text != topic.Text)
        std::abort();
    return 0;
}
