#pragma once
// The hotspot sort dialog's logic: the hotspots' names in their tab order,
// each with the place it had, moved up, down or dragged.
#include <string>
#include <vector>

namespace editor {

class TSHGSortModel {
public:
    struct TItem {
        std::string Name;
        int Object = 0; // the hotspot's place in the editor's list
    };

    // The names in the hotspots' order; the objects are their places.
    void SetHotspots(const std::vector<std::string>& names);
    const std::vector<TItem>& Items() const { return items_; }
    int Selected() const { return selected_; }
    void Select(int index);

    // Exchanges the selected hotspot with its neighbour; it stays selected.
    void Up();
    void Down();
    // A drag: the item moves to the drop place (the end for -1).
    void Move(int from, int dropAt);
    // The hotspots' old places in their new order.
    std::vector<int> Order() const;

private:
    std::vector<TItem> items_;
    int selected_ = -1;
};

} // namespace editor
