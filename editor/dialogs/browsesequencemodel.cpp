#include "editor/dialogs/browsesequencemodel.h"

#include <algorithm>
#include <set>

#include "helpproject/brindlewovenproject.h"
#include "platform/codepage.h"

namespace editor {

using helpproject::TBrindlewovenProject;

namespace {

std::int32_t ItemNumber(const std::string& item) {
    return TBrindlewovenProject::NumberFromListText(item, false);
}

bool AlphabeticalLess(const std::string& a, const std::string& b) {
    return platform::AnsiCompareText(a, b) < 0;
}

} // namespace

TBrowseSequenceModel::TBrowseSequenceModel(TBrindlewovenProject& project) : project_(project) {}

void TBrowseSequenceModel::Show() {
    project_.GetBrowseSequences(names_);
    sequence_.clear();
    RefillAvailable();
}

char TBrowseSequenceModel::NameKey(char key) {
    if (key == '\b')
        return key;
    if (!platform::AnsiIsLetter(static_cast<unsigned char>(key)))
        return 0;
    return platform::AnsiLowerCase(std::string(1, key))[0];
}

void TBrowseSequenceModel::SetName(const std::string& text) {
    name_.clear();
    for (char c : text)
        if (const char key = NameKey(c); key != 0 && key != '\b')
            name_ += key;
}

void TBrowseSequenceModel::Read() {
    ReadInto(false);
}

void TBrowseSequenceModel::Append() {
    ReadInto(true);
}

void TBrowseSequenceModel::ReadInto(bool keep) {
    helpproject::TStringList in, out;
    project_.ReadBrowseSequence(name_, in, out);
    if (!keep)
        sequence_.clear();
    std::set<std::int32_t> listed = SequenceNumbers();
    for (std::string& item : in)
        if (listed.insert(ItemNumber(item)).second)
            sequence_.push_back(std::move(item));
    RefillAvailable();
    status_ = "Read sequence " + name_;
}

bool TBrowseSequenceModel::Write() {
    if (name_.empty()) {
        status_ = "Type the name of the sequence first";
        return false;
    }
    project_.WriteBrowseSequence(name_, available_, sequence_);
    project_.GetBrowseSequences(names_);
    status_ = "Wrote sequence " + name_;
    changed_ = true;
    return true;
}

void TBrowseSequenceModel::New() {
    name_.clear();
    sequence_.clear();
    RefillAvailable();
}

std::set<std::int32_t> TBrowseSequenceModel::SequenceNumbers() const {
    std::set<std::int32_t> numbers;
    for (const std::string& item : sequence_)
        numbers.insert(ItemNumber(item));
    return numbers;
}

void TBrowseSequenceModel::RefillAvailable() {
    const std::set<std::int32_t> listed = SequenceNumbers();
    available_.clear();
    for (const auto& topic : project_.Topics())
        if (!listed.count(topic->Number))
            available_.push_back(helpproject::TitleStyleText(topic->Title, topic->Number));
    SortAvailableItems();
}

void TBrowseSequenceModel::SortAvailableItems() {
    if (sortAvailable_)
        std::stable_sort(available_.begin(), available_.end(), AlphabeticalLess);
    else
        std::stable_sort(available_.begin(), available_.end(),
                         [](const std::string& a, const std::string& b) {
                             return ItemNumber(a) < ItemNumber(b);
                         });
}

void TBrowseSequenceModel::SetSortAvailable(bool sorted) {
    sortAvailable_ = sorted;
    SortAvailableItems();
}

void TBrowseSequenceModel::AddAvailable(std::string item) {
    if (!sortAvailable_) {
        available_.push_back(std::move(item));
        return;
    }
    auto at = std::upper_bound(available_.begin(), available_.end(), item, AlphabeticalLess);
    available_.insert(at, std::move(item));
}

std::vector<std::string> TBrowseSequenceModel::Take(std::vector<std::string>& list,
                                                    const std::vector<int>& indices) {
    std::vector<int> sorted;
    for (int index : indices)
        if (index >= 0 && index < static_cast<int>(list.size()))
            sorted.push_back(index);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::string> taken;
    for (int index : sorted)
        taken.push_back(list[static_cast<std::size_t>(index)]);
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
        list.erase(list.begin() + *it);
    return taken;
}

void TBrowseSequenceModel::AddToSequence(const std::vector<int>& availableIndices) {
    DropIntoSequence(availableIndices, -1);
}

void TBrowseSequenceModel::RemoveFromSequence(const std::vector<int>& sequenceIndices) {
    for (std::string& item : Take(sequence_, sequenceIndices))
        AddAvailable(std::move(item));
}

void TBrowseSequenceModel::DropIntoSequence(const std::vector<int>& availableIndices, int dropAt) {
    std::vector<std::string> items = Take(available_, availableIndices);
    const int size = static_cast<int>(sequence_.size());
    const int at = dropAt < 0 || dropAt > size ? size : dropAt;
    sequence_.insert(sequence_.begin() + at, items.begin(), items.end());
}

void TBrowseSequenceModel::MoveWithinSequence(const std::vector<int>& sequenceIndices, int dropAt) {
    const int size = static_cast<int>(sequence_.size());
    int at = dropAt < 0 || dropAt > size ? size : dropAt;
    // The drop place counts the items before it that leave.
    std::set<int> leaving(sequenceIndices.begin(), sequenceIndices.end());
    for (int index : leaving)
        if (index >= 0 && index < at)
            --at;
    std::vector<std::string> items = Take(sequence_, sequenceIndices);
    at = std::clamp(at, 0, static_cast<int>(sequence_.size()));
    sequence_.insert(sequence_.begin() + at, items.begin(), items.end());
}

} // namespace editor
