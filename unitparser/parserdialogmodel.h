#pragma once
// What the parser dialog does, without its widgets: after a unit has been
// parsed the person chooses, page by page, what the generated help is to
// contain. Every choice goes straight into the parsed entries (their flag
// characters) or into the class records, which topic generation then reads.
// The Classes page shows one class at a time; its check boxes and member
// lists are held here while the class is shown and stored back into its
// record when another class is chosen or the dialog is confirmed.
#include "components/messengerseam.h"
#include "unitparser/topicsink.h"
#include "unitparser/unitparser.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace unitparser {

// The dialog's pages, in their order.
enum class TParserPage { Classes, Types, Routines, Constants, Variables };

// The options of one entry, as check boxes: the five of a member, and those
// of a declaration page (types: include, see also; routines: include, see
// also, example; constants and variables: mention, include, see also).
enum class TEntryOption { Key, Mention, Include, SeeAlso, Example };

struct TOptionState {
    bool checked = false;
    bool enabled = false;
    bool operator==(const TOptionState&) const = default;
};

// Where the three member lists go on the Classes page: the lists share the
// height from the bottom of the first label down to `bottom`, each label 4
// pixels below the list above it and each list directly below its label.
struct TMemberListGeometry {
    std::array<int, 3> labelTop{};
    std::array<int, 3> listTop{};
    int listHeight = 0;
};
TMemberListGeometry MemberListGeometry(int firstLabelTop, int labelHeight, int bottom);

class TParserDialogModel {
public:
    // The form's caption before a unit has been parsed.
    static constexpr const char* kFormCaption = "Delphi Source Code Parser";
    // The caption of the selected-entry groups while nothing is selected.
    static constexpr const char* kNoSelection = "...";

    TParserDialogModel();

    // The whole run for one unit: parse it, prepare the dialog and let
    // `execute` show it (true for OK), then generate the topics from the
    // choices. Returns the first topic's number, or -1 when the person
    // cancelled. A unit that fails to parse raises its EParseError and an
    // empty one shows "This unit seems to be quite empty." and raises a
    // silent EAbort; neither writes a topic. Nothing of an earlier run is
    // kept: the classes, their choices and the dialog's selections start
    // afresh with each unit.
    int ParsePascalUnit(const std::string& fileName, std::int32_t first, TParsedTopicSink& sink,
                        const std::function<bool()>& execute, components::IMessenger* messenger);

    // The parsed unit (after a run: what was generated).
    TUnitParser& Parser() { return parser_; }
    const TUnitParser& Parser() const { return parser_; }

    // Sets the dialog up over what the parser holds: caption, tabs, the first
    // class loaded, every selection cleared. ParsePascalUnit calls it; tests
    // call it after parsing text themselves.
    void Prepare();
    // Forgets the dialog's state (tabs, selections, the shown class).
    void ResetDialog();

    std::string Caption() const { return caption_; }
    bool PageVisible(TParserPage page) const;
    // The first visible page: the one shown first. Classes when none is.
    TParserPage FirstVisiblePage() const;

    // "Use comments as descriptions"; kept from one run to the next like the
    // dialog's other settings of its own.
    bool UseComments = true;

    // Stores the shown class and keeps the dialog's choices (OK).
    void Accept();

    // ---- Classes page --------------------------------------------------------
    std::vector<std::string> TabNames() const;
    // The class shown, -1 when the unit has none.
    int CurrentTab() const { return currentTab_; }
    // Stores the shown class's state into its record and loads another one.
    void ChangeTab(int index);
    // The two halves of ChangeTab.
    void StoreTab();
    void LoadTab(int index);

    // The shown class's heading (the group's caption).
    std::string ObjectCaption() const;
    TObjectKind Kind() const;
    void SetKind(TObjectKind kind);
    bool ObjInclude() const { return include_; }
    bool ObjSeeAlso() const { return seeAlso_; }
    bool ObjTasks() const { return tasks_; }
    void SetObjInclude(bool on);
    void SetObjSeeAlso(bool on);
    void SetObjTasks(bool on);
    // The kind, the other two check boxes, the bitmap buttons, the member
    // lists and the selected member's group follow "Include class".
    bool ClassControlsEnabled() const { return currentTab_ >= 0 && include_; }
    std::string BitmapFile() const;
    void SetBitmapFile(const std::string& fileName);
    void ClearBitmapFile() { SetBitmapFile(std::string()); }

    // The shown class's member lists, as the list boxes hold them.
    const std::vector<TMemberEntry>& Members(TMemberKind list) const;
    std::vector<std::string> MemberItems(TMemberKind list) const;

    // A click on a member: it becomes the one its check boxes show.
    void SelectMember(TMemberKind list, int index);
    bool HasSelectedMember() const { return selectedIndex_ >= 0; }
    TMemberKind SelectedMemberList() const { return selectedList_; }
    int SelectedMemberIndex() const { return selectedIndex_; }
    // The selected member's declaration, "..." when none.
    std::string SelectedMemberCaption() const;
    TOptionState MemberOption(TEntryOption option) const;
    // Writes a check box into its flag of the selected member; false (and
    // nothing changed) when that check box is disabled.
    bool SetMemberOption(TEntryOption option, bool on);

    // Dragging: methods stay in their own list; properties and events may
    // move between their two lists (a property turned into an event and
    // back).
    static bool CanDropMember(TMemberKind source, TMemberKind target);
    // Removes the entry at `from` of `source` and inserts it into `target`
    // at `at` (-1 or past the end: at the end). It becomes the selected
    // member. False when the move is refused or `from` names no entry.
    bool DropMember(TMemberKind source, int from, TMemberKind target, int at);

    // ---- Types, Routines, Constants and Variables pages ----------------------
    const std::vector<TDeclEntry>& Decls(TDeclListKind list) const;
    std::vector<std::string> DeclItems(TDeclListKind list) const;
    void SelectDecl(TDeclListKind list, int index);
    int SelectedDecl(TDeclListKind list) const;
    std::string DeclCaption(TDeclListKind list) const;
    // The options a page has (types "is", routines "ise", constants and
    // variables "mis").
    static std::vector<TEntryOption> DeclOptions(TDeclListKind list);
    TOptionState DeclOption(TDeclListKind list, TEntryOption option) const;
    bool SetDeclOption(TDeclListKind list, TEntryOption option, bool on);
    // Reorders within the list (the entry at `from` to `at`, -1 for the end).
    bool MoveDecl(TDeclListKind list, int from, int at);

private:
    TParseObject* Current() const;
    std::vector<TDeclEntry>& DeclList(TDeclListKind list);
    static std::size_t DeclSlot(TDeclListKind list);

    TUnitParser parser_;
    std::string caption_ = kFormCaption;

    // The shown class: its check boxes and member lists, stored into its
    // record by StoreTab.
    int currentTab_ = -1;
    bool include_ = false;
    bool seeAlso_ = false;
    bool tasks_ = false;
    std::array<std::vector<TMemberEntry>, 3> members_;

    // The member last clicked (-1: none), and the entry last clicked on each
    // declaration page.
    TMemberKind selectedList_ = TMemberKind::Property;
    int selectedIndex_ = -1;
    std::array<int, 4> selectedDecl_{-1, -1, -1, -1};
};

} // namespace unitparser
