#include "editor/dialogs/renumberdialogmodel.h"

#include <algorithm>

#include "helpproject/brindlewovenproject.h"

namespace editor {

using helpproject::TBrindlewovenProject;

void TRenumberDialogModel::Activate(const TBrindlewovenProject& project) {
    items_.clear();
    for (const auto& item : project.TopicsByNumber())
        items_.push_back(item.Text);
    fromIndex_ = items_.empty() ? -1 : 0;
    toIndex_ = static_cast<int>(items_.size()) - 1;
    ComboChange();
}

void TRenumberDialogModel::SetFromIndex(int index) {
    fromIndex_ = index;
    ComboChange();
}

void TRenumberDialogModel::SetToIndex(int index) {
    toIndex_ = index;
    ComboChange();
}

void TRenumberDialogModel::ComboChange() {
    auto numberAt = [this](int index) -> std::int32_t {
        if (index < 0 || index >= static_cast<int>(items_.size()))
            return -1;
        return TBrindlewovenProject::NumberFromListText(items_[static_cast<std::size_t>(index)],
                                                        true);
    };
    first_ = numberAt(fromIndex_);
    last_ = numberAt(toIndex_);
    if (OkEnabled() && start_ == 1)
        start_ = first_;
}

void TRenumberDialogModel::SetStart(std::int64_t value) {
    start_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 1, kMaxStart));
}

void TRenumberDialogModel::SetGap(std::int64_t value) {
    gap_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 1, kMaxGap));
}

bool TRenumberDialogModel::OkEnabled() const {
    return first_ >= 1 && last_ >= first_;
}

} // namespace editor
