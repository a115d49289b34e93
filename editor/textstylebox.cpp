#include "editor/textstylebox.h"

#include <algorithm>

#include "helpproject/textstylerange.h"
#include "platform/codepage.h"

namespace editor {

namespace {

bool IsBuiltInName(std::string_view name) {
    return !name.empty() && name.front() == '*';
}

} // namespace

std::vector<std::string> TTextStyleBox::Names() const {
    std::vector<std::string> names;
    for (const auto& item : styles_.Items())
        names.push_back(item.Name);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return platform::AnsiCompareText(a, b) < 0;
    });
    return names;
}

helpproject::TTextStyleMacro TTextStyleBox::SelectionStyle() {
    ITextEditor& text = editor_.View().TextEditor();
    return helpproject::StyleFromFormats(text.SelFormat().Format, text.SelParaFormat());
}

std::string TTextStyleBox::AddFromSelection() {
    const std::string name(kNewStyleName);
    styles_.Add(name, SelectionStyle());
    return name;
}

bool TTextStyleBox::Delete(const std::string& name) {
    if (IsBuiltInName(name) || !styles_.Find(name))
        return false;
    styles_.Remove(name);
    return true;
}

std::string TTextStyleBox::Change(const std::string& lastSelected, const std::string& typed) {
    helpproject::TTextStyleMacro* style = styles_.Find(lastSelected);
    if (!style)
        return lastSelected;
    *style = SelectionStyle();
    if (typed.empty() || typed == lastSelected || IsBuiltInName(lastSelected) ||
        IsBuiltInName(typed))
        return lastSelected;
    const helpproject::TTextStyleMacro values = *style;
    styles_.Remove(lastSelected);
    styles_.Add(typed, values);
    return typed;
}

bool TTextStyleBox::Apply(const std::string& name) {
    return ApplyWith(name, &TTopicEditor::ApplyTextStyleMacro);
}

bool TTextStyleBox::ApplyFont(const std::string& name) {
    return ApplyWith(name, &TTopicEditor::ApplyMacroFont);
}

bool TTextStyleBox::ApplyWith(const std::string& name, TApply apply) {
    const helpproject::TTextStyleMacro* style = styles_.Find(name);
    if (!style)
        return false;
    (editor_.*apply)(*style);
    editor_.View().RefreshEditorState();
    return true;
}

} // namespace editor
