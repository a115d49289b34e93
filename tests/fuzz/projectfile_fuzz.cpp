// Feeds arbitrary bytes to the project-file reader. It must refuse with its
// own error or load; what it loads must save and load again to the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "helpproject/brindlewovenproject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace helpproject;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TTextStyleList styles;
    TBrindlewovenProject project;
    try {
        project.LoadFromBytes(bytes, "fuzz.bwv", &styles);
    } catch (const EProjectError&) {
        return 0;
    }
    const std::string saved = project.SaveToBytes(&styles);
    TTextStyleList backStyles;
    TBrindlewovenProject back;
    back.LoadFromBytes(saved, "fuzz.bwv", &backStyles);
    if (back.SaveToBytes(&backStyles) != saved)
        std::abort();
    return 0;
}
