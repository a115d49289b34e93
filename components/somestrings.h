#pragma once
// A holder of lines set up by its owner, looked up as name=value pairs; the
// find window keeps its message texts in one.
#include <string>
#include <string_view>
#include <vector>

namespace components {

class TSomeStrings {
public:
    const std::vector<std::string>& Strings() const { return strings_; }
    // Copies the lines (sorted when Sorted is set).
    void SetStrings(std::vector<std::string> strings);
    bool Sorted() const { return sorted_; }
    // Sorting orders the lines ignoring case; turning it off keeps the order.
    void SetSorted(bool sorted);

    // The text after the first "=" of the line whose name (the text before
    // it) is `name`, ignoring case; empty when there is none.
    std::string GetValue(std::string_view name) const;

private:
    void Sort();

    std::vector<std::string> strings_;
    bool sorted_ = false;
};

} // namespace components
