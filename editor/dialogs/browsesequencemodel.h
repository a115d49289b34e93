#pragma once
// The browse-sequence editor's logic: the sequence names, the list of
// available topics and the ordered list of the topics in the sequence
// ("%s (%d)" items), reading, appending, writing and starting sequences,
// and every way topics move between and within the two lists.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace helpproject {
class TBrindlewovenProject;
}

namespace editor {

class TBrowseSequenceModel {
public:
    explicit TBrowseSequenceModel(helpproject::TBrindlewovenProject& project);

    // The editor comes up: the names of the project's sequences, every
    // topic available, the sequence list empty.
    void Show();

    const std::vector<std::string>& Names() const { return names_; }
    const std::vector<std::string>& Available() const { return available_; }
    const std::vector<std::string>& Sequence() const { return sequence_; }

    // The name box: letters only, folded to lower case, and backspace; 0
    // for a refused key.
    static char NameKey(char key);
    const std::string& Name() const { return name_; }
    // Keeps the letters of the text, in lower case.
    void SetName(const std::string& text);

    // Read replaces the sequence list with the named sequence, Append adds
    // its topics that are not listed yet; both leave every other topic
    // available.
    void Read();
    void Append();
    // Writes the listed topics as the named sequence (positions 10, 20, ...)
    // and takes the sequence from the available ones. Refused (false, with
    // a status text) without a name.
    bool Write();
    // An empty name and sequence; every topic available.
    void New();

    // Moves the items at those places (ascending or not) to the end of the
    // other list: double-click, the add and remove buttons.
    void AddToSequence(const std::vector<int>& availableIndices);
    void RemoveFromSequence(const std::vector<int>& sequenceIndices);
    // Drag and drop: available items into the sequence before `dropAt`
    // (the end for -1 or past the last), sequence items moved to `dropAt`
    // in their order, and sequence items dropped on the available list.
    void DropIntoSequence(const std::vector<int>& availableIndices, int dropAt);
    void MoveWithinSequence(const std::vector<int>& sequenceIndices, int dropAt);
    void DropIntoAvailable(const std::vector<int>& sequenceIndices) {
        RemoveFromSequence(sequenceIndices);
    }

    // Checked: the available list in alphabetical order; unchecked: in
    // topic-number order.
    bool SortAvailable() const { return sortAvailable_; }
    void SetSortAvailable(bool sorted);

    // What the status label shows last ("Read sequence main").
    const std::string& StatusText() const { return status_; }
    // A sequence was written since the editor came up.
    bool Changed() const { return changed_; }

private:
    void ReadInto(bool keep);
    // The topic numbers of the items in the sequence list.
    std::set<std::int32_t> SequenceNumbers() const;
    void RefillAvailable();
    void AddAvailable(std::string item);
    void SortAvailableItems();
    static std::vector<std::string> Take(std::vector<std::string>& list,
                                         const std::vector<int>& indices);

    helpproject::TBrindlewovenProject& project_;
    std::vector<std::string> names_;
    std::vector<std::string> available_;
    std::vector<std::string> sequence_;
    std::string name_;
    std::string status_;
    bool sortAvailable_ = false;
    bool changed_ = false;
};

} // namespace editor
