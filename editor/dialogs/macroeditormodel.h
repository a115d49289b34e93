#pragma once
// The logic of the macro editor: a macro picked from the table, its
// parameters filled in, the call composed and added to the result, several
// calls joined with ";". A macro parameter is composed in a second editor
// and passed in with its own quotes turned into ` and '.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "editor/dialogs/macrotable.h"

namespace editor {

// What one parameter slot of the form shows.
struct TMacroSlot {
    bool Visible = false;
    TMacroParamType Type = TMacroParamType::None;
    std::string Label; // the parameter's name
    std::string Hint;
    bool HasButton = false; // "..." for help files and nested macros
};

class TMacroEditorModel {
public:
    static constexpr std::size_t kMaxMemo = 16383;

    // The first macro selected, the result empty.
    TMacroEditorModel();

    // Handed in before showing, read back after OK.
    std::string MacroText;
    // Showing the form: the result starts as MacroText.
    void Show() { Memo = MacroText; }

    std::size_t MacroIndex() const { return index_; }
    const TMacroRecord& Macro() const { return kMacroTable[index_]; }
    // Picking a macro from the list (an index past the table is ignored).
    void SelectMacro(std::size_t index);
    std::string Description() const { return std::string(Macro().DescriptionText()); }
    bool Win32Only() const { return Macro().Win32Only(); }
    TMacroSlot Slot(std::size_t slot) const;

    // The six parameter edits and the result memo.
    std::array<std::string, TMacroRecord::kParameters> Values;
    std::string Memo;

    // The call of the selected macro with the parameters as they stand.
    std::string Call() const;
    // "Add": the call joins the result, after a ";" when needed.
    void Add();
    // "Clear".
    void Clear() { Memo.clear(); }
    // OK: an empty result takes the selected macro's call first; MacroText
    // becomes the result without line breaks.
    void Ok();

    // "..." of a help-file parameter: the file's name goes into the slot and
    // its folder is where the file dialog opens next time.
    void HelpFileChosen(std::size_t slot, const std::string& path);
    const std::string& HelpFolder() const { return helpFolder_; }
    // "..." of a macro parameter: the nested editor's result goes into the
    // slot with its double quotes turned alternately into ` and '.
    void NestedMacroAccepted(std::size_t slot, std::string_view nestedMacroText);
    static std::string QuoteNestedMacro(std::string_view macroText);

private:
    std::size_t index_ = 0;
    std::string helpFolder_;
};

} // namespace editor
