#include "editor/dialogs/shgsortmodel.h"

#include <utility>

namespace editor {

void TSHGSortModel::SetHotspots(const std::vector<std::string>& names) {
    items_.clear();
    for (std::size_t i = 0; i < names.size(); ++i)
        items_.push_back({names[i], static_cast<int>(i)});
    selected_ = items_.empty() ? -1 : 0;
}

void TSHGSortModel::Select(int index) {
    selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
}

void TSHGSortModel::Up() {
    if (selected_ <= 0)
        return;
    std::swap(items_[static_cast<std::size_t>(selected_)],
              items_[static_cast<std::size_t>(selected_ - 1)]);
    --selected_;
}

void TSHGSortModel::Down() {
    if (selected_ < 0 || selected_ + 1 >= static_cast<int>(items_.size()))
        return;
    std::swap(items_[static_cast<std::size_t>(selected_)],
              items_[static_cast<std::size_t>(selected_ + 1)]);
    ++selected_;
}

void TSHGSortModel::Move(int from, int dropAt) {
    const int size = static_cast<int>(items_.size());
    if (from < 0 || from >= size)
        return;
    int to = dropAt < 0 || dropAt >= size ? size - 1 : dropAt;
    TItem item = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    selected_ = to;
}

std::vector<int> TSHGSortModel::Order() const {
    std::vector<int> order;
    for (const TItem& item : items_)
        order.push_back(item.Object);
    return order;
}

} // namespace editor
