#include "editor/dialogs/macroeditormodel.h"

#include "platform/codepage.h"
#include "platform/pathnames.h"

namespace editor {

TMacroEditorModel::TMacroEditorModel() {
    SelectMacro(0);
}

void TMacroEditorModel::SelectMacro(std::size_t index) {
    if (index < kMacroTable.size())
        index_ = index;
}

TMacroSlot TMacroEditorModel::Slot(std::size_t slot) const {
    TMacroSlot view;
    const TMacroParameter& p = Macro().Parameters.at(slot);
    view.Type = ParameterType(p.Declaration);
    if (view.Type == TMacroParamType::None)
        return view;
    view.Visible = true;
    view.Label = std::string(ParameterName(p.Declaration));
    view.Hint = std::string(p.Hint);
    view.HasButton = view.Type == TMacroParamType::Hlp || view.Type == TMacroParamType::Mac;
    return view;
}

std::string TMacroEditorModel::Call() const {
    std::string call = std::string(Macro().Name) + "(";
    for (std::size_t i = 0; i < TMacroRecord::kParameters; ++i) {
        const TMacroParamType type = ParameterType(Macro().Parameters[i].Declaration);
        if (type == TMacroParamType::None)
            continue;
        if (i > 0)
            call += ',';
        if (type == TMacroParamType::Int)
            call += Values[i];
        else
            call += '"' + Values[i] + '"';
    }
    call += ')';
    // A test handed in as a macro parameter is passed unquoted: the quote
    // before it and the one that closes it go.
    const std::size_t test = platform::AnsiLowerCase(call).find("\"ismark");
    if (test != std::string::npos) {
        call.erase(test, 1);
        const std::size_t close = call.find('"', test);
        if (close != std::string::npos)
            call.erase(close, 1);
    }
    return call;
}

void TMacroEditorModel::Add() {
    if (!Memo.empty() && Memo.back() != ';')
        Memo += ';';
    Memo += Call();
}

void TMacroEditorModel::Ok() {
    if (Memo.empty())
        Add();
    std::string text;
    text.reserve(Memo.size());
    for (std::size_t i = 0; i < Memo.size(); ++i) {
        if (Memo[i] == '\r' && i + 1 < Memo.size() && Memo[i + 1] == '\n') {
            ++i;
            continue;
        }
        text += Memo[i];
    }
    MacroText = text;
}

void TMacroEditorModel::HelpFileChosen(std::size_t slot, const std::string& path) {
    Values.at(slot) = platform::ExtractFileName(path);
    helpFolder_ = platform::ExtractFileDir(path);
}

std::string TMacroEditorModel::QuoteNestedMacro(std::string_view macroText) {
    std::string quoted(macroText);
    bool opening = true;
    for (char& c : quoted)
        if (c == '"') {
            c = opening ? '`' : '\'';
            opening = !opening;
        }
    return quoted;
}

void TMacroEditorModel::NestedMacroAccepted(std::size_t slot, std::string_view nestedMacroText) {
    Values.at(slot) = QuoteNestedMacro(nestedMacroText);
}

} // namespace editor
