#include "unitparser/parseobject.h"

#include "platform/codepage.h"
#include "unitparser/sourcereader.h"

#include <algorithm>
#include <cstdio>

namespace unitparser {

namespace {

constexpr std::array<const char*, 5> VisibilityNames = {"private", "protected", "public",
                                                        "automated", "published"};
constexpr std::array<const char*, 5> TitlePatterns = {"%s exception", "%s class", "%s interface",
                                                      "%s component", "%s form"};
constexpr std::array<const char*, 5> Plurals = {"Exceptions", "Classes", "Interfaces", "Components",
                                                "Forms"};
constexpr std::array<const char*, 5> Singulars = {"exception", "class", "interface", "component",
                                                  "form"};

std::size_t KindIndex(TObjectKind kind) {
    int index = static_cast<int>(kind);
    return (index >= 0 && index < 5) ? static_cast<std::size_t>(index) : 3;
}

char Flag(bool on, char letter) {
    return on ? letter : '.';
}

bool IsWordChar(char c) {
    TCharClass cls = ClassifyChar(static_cast<unsigned char>(c));
    return cls == TCharClass::Letter || cls == TCharClass::Digit;
}

std::string LeadingWord(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && IsWordChar(text[n]))
        ++n;
    return std::string(text.substr(0, n));
}

std::string WordAfterBlank(std::string_view text, int skipBlanks) {
    std::size_t pos = 0;
    for (int i = 0; i < skipBlanks; ++i) {
        std::size_t blank = text.find(' ', pos);
        if (blank == std::string_view::npos)
            return LeadingWord(text.substr(pos));
        pos = blank + 1;
    }
    return LeadingWord(text.substr(pos));
}

} // namespace

const char* VisibilityName(TVisibility visibility) {
    int index = static_cast<int>(visibility);
    return VisibilityNames[static_cast<std::size_t>(std::clamp(index, 0, 4))];
}

std::string TMemberFlags::Text() const {
    return {Flag(key, 'k'), Flag(mention, 'm'), Flag(include, 'i'), Flag(seeAlso, 's'),
            Flag(example, 'e')};
}

std::string TMemberEntry::AccessText() const {
    return {Flag(canRead, 'r'), Flag(canWrite, 'w')};
}

std::string TMemberEntry::Name() const {
    bool classMember = LowerAscii(declaration.substr(0, 6)) == "class ";
    return WordAfterBlank(declaration, classMember ? 2 : 1);
}

std::string TMemberEntry::BarText() const {
    std::string text = declaration + "|" + description + "||" + VisibilityName(visibility);
    if (hasAccess)
        text += "||" + AccessText();
    text += "||" + flags.Text();
    if (topicNo >= 0)
        text += "|||" + std::to_string(topicNo);
    return text;
}

std::string TDeclEntry::FlagText() const {
    switch (list) {
    case TDeclListKind::Types:
        return {Flag(include, 'i'), Flag(seeAlso, 's')};
    case TDeclListKind::Routines:
        return {Flag(include, 'i'), Flag(seeAlso, 's'), Flag(example, 'e')};
    default:
        return {Flag(mention, 'm'), Flag(include, 'i'), Flag(seeAlso, 's')};
    }
}

std::string TDeclEntry::BarText() const {
    std::string text = declaration + "|" + description + "||" + FlagText();
    if (topicNo >= 0)
        text += "|||" + std::to_string(topicNo);
    return text;
}

std::string TDeclEntry::Name() const {
    if (list == TDeclListKind::Routines)
        return WordAfterBlank(declaration, 1);
    return LeadingWord(declaration);
}

TDeclEntry MakeDeclEntry(TDeclListKind list, std::string declaration, std::string description) {
    TDeclEntry entry;
    entry.list = list;
    entry.declaration = std::move(declaration);
    entry.description = std::move(description);
    switch (list) {
    case TDeclListKind::Types:
        entry.include = entry.seeAlso = true;
        break;
    case TDeclListKind::Routines:
        entry.include = entry.seeAlso = entry.example = true;
        break;
    default:
        entry.mention = entry.seeAlso = true;
        break;
    }
    return entry;
}

const char* KindTitlePattern(TObjectKind kind) {
    return TitlePatterns[KindIndex(kind)];
}
const char* KindPlural(TObjectKind kind) {
    return Plurals[KindIndex(kind)];
}
const char* KindSingular(TObjectKind kind) {
    return Singulars[KindIndex(kind)];
}

std::string KindTitle(TObjectKind kind, std::string_view name) {
    std::string pattern = KindTitlePattern(kind);
    std::size_t at = pattern.find("%s");
    return pattern.replace(at, 2, name);
}

TParseObject::TParseObject() = default;

std::vector<TMemberEntry>& TParseObject::List(TMemberKind kind) {
    switch (kind) {
    case TMemberKind::Property:
        return Properties;
    case TMemberKind::Method:
        return Methods;
    default:
        return Events;
    }
}

const std::vector<TMemberEntry>& TParseObject::List(TMemberKind kind) const {
    return const_cast<TParseObject*>(this)->List(kind);
}

void TParseObject::AddMember(TMemberKind kind, TMemberEntry entry) {
    List(kind).push_back(std::move(entry));
}

void TParseObject::EndMembers() {
    if (Sorted) {
        SortEntries(Properties);
        SortEntries(Methods);
        SortEntries(Events);
    }
    Sorted = false;
}

namespace {
template <typename Entry> void SortEntriesImpl(std::vector<Entry>& list) {
    // The display text is built once per entry, not once per comparison.
    std::vector<std::pair<std::string, Entry>> keyed;
    keyed.reserve(list.size());
    for (Entry& entry : list)
        keyed.emplace_back(entry.BarText(), std::move(entry));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return platform::AnsiCompareText(a.first, b.first) < 0;
    });
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i] = std::move(keyed[i].second);
}
} // namespace

void SortEntries(std::vector<TMemberEntry>& list) {
    SortEntriesImpl(list);
}
void SortEntries(std::vector<TDeclEntry>& list) {
    SortEntriesImpl(list);
}

} // namespace unitparser
