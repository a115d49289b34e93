#include "editor/dialogs/windowseditormodel.h"

namespace editor {

void TWindowsEditorModel::Show(const std::vector<std::string>& windows) {
    windows_ = windows;
    shown_ = -1;
    edited_ = false;
    controls_ = {};
    Select(0);
}

void TWindowsEditorModel::Edit(const TWindowDefinition& controls) {
    controls_ = controls;
    edited_ = true;
}

void TWindowsEditorModel::StoreShown() {
    controls_.HoldToScale();
    if (edited_ && shown_ >= 0 && shown_ < static_cast<int>(windows_.size()) &&
        !controls_.Name.empty())
        windows_[static_cast<std::size_t>(shown_)] = controls_.Format();
    edited_ = false;
}

void TWindowsEditorModel::Select(int index) {
    StoreShown();
    if (index < 0 || index >= static_cast<int>(windows_.size())) {
        shown_ = -1;
        controls_ = {};
        return;
    }
    shown_ = index;
    controls_ = TWindowDefinition::Parse(windows_[static_cast<std::size_t>(index)]);
    controls_.HoldToScale();
}

void TWindowsEditorModel::Add() {
    // Select stores the shown window, whose place the new one leaves alone.
    windows_.push_back(kNewWindowDefinition);
    Select(static_cast<int>(windows_.size()) - 1);
    // A new window has never been stored in the scale's form.
    edited_ = true;
}

void TWindowsEditorModel::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(windows_.size()))
        return;
    StoreShown();
    windows_.erase(windows_.begin() + index);
    shown_ = -1;
    Select(0);
}

std::vector<std::string> TWindowsEditorModel::Ok() {
    StoreShown();
    return windows_;
}

} // namespace editor
