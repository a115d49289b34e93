#pragma once
// The renumber dialog's logic: the two topic lists of the range, the first
// new number and the step, and when OK may be pressed. The dialog is kept
// between uses, so the numbering stays as the person left it.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/topicrenumber.h"

namespace helpproject {
class TBrindlewovenProject;
}

namespace editor {

class TRenumberDialogModel {
public:
    static constexpr std::int32_t kMaxStart = 2147483647;
    static constexpr std::int32_t kMaxGap = 100000;

    // The dialog comes up: both lists hold the project's "%d: %s" items, the
    // first topic starts the range and the last ends it.
    void Activate(const helpproject::TBrindlewovenProject& project);

    const std::vector<std::string>& Items() const { return items_; }
    int FromIndex() const { return fromIndex_; }
    int ToIndex() const { return toIndex_; }
    // A choice in either list: the range is taken anew from the numbers
    // before ":" of both choices; a first new number of 1 becomes the
    // range's first number.
    void SetFromIndex(int index);
    void SetToIndex(int index);

    std::int32_t Start() const { return start_; }
    std::int32_t Gap() const { return gap_; }
    // Held to 1..kMaxStart and 1..kMaxGap, as the spin boxes hold them.
    void SetStart(std::int64_t value);
    void SetGap(std::int64_t value);

    std::int32_t RangeFirst() const { return first_; }
    std::int32_t RangeLast() const { return last_; }
    // A range is chosen and its end is not below its start.
    bool OkEnabled() const;
    TRenumberRequest Request() const { return {first_, last_, start_, gap_}; }

private:
    void ComboChange();

    std::vector<std::string> items_;
    int fromIndex_ = -1;
    int toIndex_ = -1;
    std::int32_t first_ = 0;
    std::int32_t last_ = -1;
    std::int32_t start_ = 10;
    std::int32_t gap_ = 10;
};

} // namespace editor
