#pragma once
// The program-wide settings that the project options edit, the main window
// keeps in the registry, and the topic editor and the make pipeline read.
#include <cstdint>

namespace editor {

struct TEditorSettings {
    bool UpdateLinks = true;      // links follow a topic whose number changes
    std::int32_t IDIncrease = 10; // step to the number of a new topic (1 or more)
    bool AutoSaveCompile = false; // save before making the help file
    bool operator==(const TEditorSettings&) const = default;
};

} // namespace editor
