#pragma once
// What the declaration parsers collect: one entry per member or declaration,
// kept as a structure (a description or a string literal may hold any
// character), and one TParseObject per class-like type. The bar-separated
// text of an entry is only rendered for display.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace unitparser {

enum class TVisibility { Private = 0, Protected = 1, Public = 2, Automated = 3, Published = 4 };
const char* VisibilityName(TVisibility visibility);

enum class TMemberKind { Property, Method, Event };

// The five member flags, in their display order k, m, i, s, e.
struct TMemberFlags {
    bool key = false;         // introduced by this class
    bool mention = false;     // listed in the class's member-list topic
    bool include = false;     // gets a topic of its own
    bool seeAlso = false;     // its topic gets a "See also" line
    bool example = false;     // its topic gets an example link
    std::string Text() const; // e.g. "kmise", ".m.se"
    bool operator==(const TMemberFlags&) const = default;
};

struct TMemberEntry {
    std::string declaration; // rebuilt heading, e.g. "property Caption: string;"
    std::string description; // a single blank when there is none
    TVisibility visibility = TVisibility::Public;
    bool hasAccess = false; // properties only (events have no access field)
    bool canRead = false;
    bool canWrite = false;
    TMemberFlags flags;
    int topicNo = -1; // set by topic generation; -1 = no topic of its own

    // The member's identifier: the word after "property"/"procedure"/...,
    // after "class" too when the declaration begins with it.
    std::string Name() const;
    // "decl|desc||visibility[||rw]||flags[|||topic]".
    std::string BarText() const;
    std::string AccessText() const; // "rw", "r.", ".w", ".."
};

// Which dialog list a declaration entry belongs to; decides its flag letters.
enum class TDeclListKind { Types, Routines, Constants, Variables };

struct TDeclEntry {
    TDeclListKind list = TDeclListKind::Types;
    std::string declaration;
    std::string description;
    bool mention = false; // constants and variables only
    bool include = false;
    bool seeAlso = false;
    bool example = false; // routines only
    int topicNo = -1;

    // Types "is", routines "ise", constants and variables "mis" positions.
    std::string FlagText() const;
    std::string BarText() const;
    // The leading identifier (for routines the one after the keyword).
    std::string Name() const;
};

TDeclEntry MakeDeclEntry(TDeclListKind list, std::string declaration, std::string description);

// Kind of a class-like type, by its number as the dialog shows it.
enum class TObjectKind { Exception = 0, Class = 1, Interface = 2, Component = 3, Form = 4 };
const char* KindTitlePattern(TObjectKind kind); // "%s component"
const char* KindPlural(TObjectKind kind);       // "Components"
const char* KindSingular(TObjectKind kind);     // "component"
std::string KindTitle(TObjectKind kind, std::string_view name);

class TParseObject {
public:
    TParseObject();

    std::string Name;
    std::string Declaration;
    TObjectKind Kind = TObjectKind::Component;
    std::string Guid;
    bool Include = true;
    bool SeeAlso = true;
    bool Tasks = true;
    std::vector<TMemberEntry> Properties;
    std::vector<TMemberEntry> Methods;
    std::vector<TMemberEntry> Events;
    std::string BitmapFile;
    int TopicNo = -1;

    // While the class is parsed its lists are sorted lists: members are
    // gathered as they come and put in alphabetical order (of their display
    // text, ignoring case) once the class ends (EndMembers); afterwards the
    // dialog may reorder them.
    bool Sorted = true;
    void AddMember(TMemberKind kind, TMemberEntry entry);
    // Sorts the three lists and leaves them unsorted from then on.
    void EndMembers();
    std::vector<TMemberEntry>& List(TMemberKind kind);
    const std::vector<TMemberEntry>& List(TMemberKind kind) const;
};

// Puts a list in case-insensitive order of the display text; equal entries
// keep their order (the order of the source). One sort of n entries, where
// inserting each in its place would move n^2 / 4 of them.
void SortEntries(std::vector<TMemberEntry>& list);
void SortEntries(std::vector<TDeclEntry>& list);

} // namespace unitparser
