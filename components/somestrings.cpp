#include "components/somestrings.h"

#include <algorithm>

#include "platform/codepage.h"

namespace components {

void TSomeStrings::SetStrings(std::vector<std::string> strings) {
    strings_ = std::move(strings);
    if (sorted_)
        Sort();
}

void TSomeStrings::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_)
        Sort();
}

void TSomeStrings::Sort() {
    std::stable_sort(strings_.begin(), strings_.end(),
                     [](const std::string& a, const std::string& b) {
                         return platform::AnsiCompareTextLinguistic(a, b) < 0;
                     });
}

std::string TSomeStrings::GetValue(std::string_view name) const {
    for (const std::string& line : strings_) {
        std::size_t equals = line.find('=');
        if (equals != std::string::npos &&
            platform::AnsiSameText(std::string_view(line).substr(0, equals), name))
            return line.substr(equals + 1);
    }
    return {};
}

} // namespace components
