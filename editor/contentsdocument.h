#pragma once
// The lines of a help project's contents as the contents editor edits them:
// each line one item of an indented tree ("1 Title" a book, "2 Title=ID" a
// page, ":INCLUDE file" an include line), the six kinds of item a line can
// be, the moves that change levels (add, delete, left, right, fixing illegal
// indents, drag and drop) and the snapshot undo store behind the editor's
// Undo and Redo buttons. Nothing here knows the project: the editor model
// reads the lines from it and writes them back.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

using TContentsLines = std::vector<std::string>;

// The kinds of contents item, in the order of the editor's radio group.
enum class TContentsKind : int {
    Header = 0,        // level, space, title
    Link = 1,          // ... title, "=", topic ID [">" window]
    OwnFileLink = 2,   // ... title, "=Vellumar", number, "@", file [">" window]
    OtherFileLink = 3, // ... title, "=", context string, "@", file [">" window]
    Macro = 4,         // ... title, "=! ", macro
    Include = 5,       // ":INCLUDE " file
};

// An item's parts as the property panel shows them.
struct TContentsItem {
    TContentsKind Kind = TContentsKind::Header;
    std::string Title;
    std::string TopicID;          // Link
    std::int32_t TopicNumber = 1; // OwnFileLink
    std::string TopicName;        // OtherFileLink
    std::string File;             // OwnFileLink, OtherFileLink, Include
    std::string Macro;            // Macro
    std::string Window;           // the three links
    bool operator==(const TContentsItem&) const = default;
};

// The parts of a line. Every line that BuildContentsLine makes comes back
// from its parts unchanged; an "=Vellumar" target without a number that
// would come back the same is read as a link to another kind of help file,
// which keeps its text.
TContentsItem ParseContentsLine(std::string_view line);
// The line of an item at a level (1..9; include lines have none), without
// characters below 32.
std::string BuildContentsLine(int level, const TContentsItem& item);
std::string WithoutControlCharacters(std::string_view text);

// Line shapes.
bool IsIncludeLine(std::string_view line);
// A book: the line holds no "=" (include lines too).
bool IsHeaderLine(std::string_view line);
// The line starts with a level digit 1..9.
bool HasLevel(std::string_view line);
// The level digit's value; 1 for a line without one.
int LineLevel(std::string_view line);
// What the tree shows: the title between the level and the first "=", an
// include line whole.
std::string DisplayTitle(std::string_view line);

class TContentsDocument {
public:
    // The last recorded change, which decides whether the next change of
    // the same kind needs a snapshot of its own.
    enum class TAction : int {
        None = 0,
        Add = 1,
        Delete = 2,
        PropertyEdit = 3,
        MoveLeft = 4,
        MoveRight = 5,
        FixIndents = 6,
        Undo = 7,
        DragDrop = 8,
    };
    // Snapshots kept: the states before the newest 99 changes and the one
    // an undo leaves to come back to.
    static constexpr int kMaxSnapshots = 100;
    static constexpr int kMaxUndoSteps = kMaxSnapshots - 1;

    TContentsDocument() = default;

    // Replaces the lines and forgets every snapshot.
    void Load(TContentsLines lines);
    const TContentsLines& Lines() const { return lines_; }
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& Line(int index) const { return lines_.at(static_cast<std::size_t>(index)); }

    // The item shown in the property panel (-1 none). The document keeps it
    // in range as lines come and go.
    int CurrentItem() const { return current_; }
    void SetCurrentItem(int index);

    // ---- changes; each returns whether it changed anything -----------------
    // A new line after the current item (none: after the last line), one
    // level below a book (or include line), beside a page: title "=" ID of
    // the topic, or "New Item=" without one; ">" window when one is given.
    // Returns the new line's index and makes it current.
    int Add(bool withTopic, std::string_view topicTitle, std::string_view topicID,
            std::string_view window);
    // Deletes the current item; the line now at its place (or the new last)
    // becomes current.
    bool DeleteCurrent();
    // One level up (left) or down (right) for the current item; with
    // `subitemsFollow` a book takes the deeper lines below it along.
    bool MoveLeft(bool subitemsFollow);
    bool MoveRight(bool subitemsFollow);
    bool CanMoveLeft(int index) const;
    bool CanMoveRight(int index) const;
    // Cuts every level that is deeper than the line above allows.
    void FixIndents();
    // Replaces the current item's line (a change in the property panel). A
    // run of such changes in one item is one undo step. The line loses its
    // control characters; an unchanged line records nothing.
    bool SetCurrentLine(const std::string& line);
    // Moves line `source` to the drop target `target` (Count() = past the
    // end): dropped below a book it becomes its child, below a page its
    // sibling. With `subitemsFollow` the deeper lines below it move along
    // keeping their depth relative to it; a drop into that run is refused.
    // Returns the dropped line's new index (-1 when refused) and makes it
    // current.
    int Drop(int source, int target, bool subitemsFollow);

    // ---- the undo store -----------------------------------------------------
    bool CanUndo() const { return undoPos_ >= 1; }
    bool CanRedo() const { return undoCount() - 1 > undoPos_; }
    void Undo();
    void Redo();
    // Forgets every snapshot and the last action.
    void ClearUndoStates();
    TAction LastAction() const { return lastAction_; }
    int UndoPos() const { return undoPos_; }
    int UndoCount() const { return undoCount(); }
    // Counts every change of the lines (loads, edits, undo and redo), so
    // that what is derived from them knows when to look again.
    std::uint64_t Generation() const { return generation_; }

private:
    int undoCount() const { return static_cast<int>(snapshots_.size()); }
    void PushUndoState();
    void PushUnlessLast(TAction action);
    void SetLevel(int index, int level);
    // The lines below `index` that are deeper than it, up to the first that
    // is not (or an include line).
    int SubitemCount(int index) const;
    void ClampCurrent();

    TContentsLines lines_;
    int current_ = -1;
    std::vector<TContentsLines> snapshots_;
    int undoPos_ = 0;
    TAction lastAction_ = TAction::None;
    int lastEditedItem_ = -1;
    std::uint64_t generation_ = 0;
};

} // namespace editor
