#pragma once
// The text-style box of the main window: the styles by name, sorted; new
// styles taken from the selection, styles changed, renamed, deleted, and
// applied to the selection. The built-in styles (names beginning with "*")
// cannot be deleted or renamed.
#include <string>
#include <vector>

#include "editor/topiceditor.h"
#include "helpproject/textstylemacro.h"

namespace editor {

class TTextStyleBox {
public:
    static constexpr std::string_view kNewStyleName = "<new macro>";

    TTextStyleBox(helpproject::TTextStyleList& styles, TTopicEditor& editor)
        : styles_(styles), editor_(editor) {}

    // The names the box lists, sorted ignoring case.
    std::vector<std::string> Names() const;

    // "New TextMacro": a style made from the selection, named "<new macro>".
    // Returns the name to select.
    std::string AddFromSelection();
    // "Delete TextMacro": false, and nothing deleted, for a built-in style
    // or a name the list lacks.
    bool Delete(const std::string& name);
    // "Change TextMacro": the style at the selection is stored into the
    // style last selected; a different name typed into the box renames it
    // (not a built-in one, and not to a built-in name). Returns the name the
    // style has now.
    std::string Change(const std::string& lastSelected, const std::string& typed);
    // "Apply TextMacro": the whole style, or its font alone. False when no
    // style has that name.
    bool Apply(const std::string& name);
    bool ApplyFont(const std::string& name);

private:
    using TApply = void (TTopicEditor::*)(const helpproject::TTextStyleMacro&);
    bool ApplyWith(const std::string& name, TApply apply);
    helpproject::TTextStyleMacro SelectionStyle();

    helpproject::TTextStyleList& styles_;
    TTopicEditor& editor_;
};

} // namespace editor
