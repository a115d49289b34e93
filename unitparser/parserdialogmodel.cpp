#include "unitparser/parserdialogmodel.h"

#include "unitparser/topicgenerator.h"

#include <algorithm>

namespace unitparser {

namespace {

std::size_t Slot(TMemberKind list) {
    switch (list) {
    case TMemberKind::Property:
        return 0;
    case TMemberKind::Method:
        return 1;
    default:
        return 2;
    }
}

bool& FlagOf(TMemberFlags& flags, TEntryOption option) {
    switch (option) {
    case TEntryOption::Key:
        return flags.key;
    case TEntryOption::Mention:
        return flags.mention;
    case TEntryOption::Include:
        return flags.include;
    case TEntryOption::SeeAlso:
        return flags.seeAlso;
    default:
        return flags.example;
    }
}

bool* FlagOf(TDeclEntry& entry, TEntryOption option) {
    switch (option) {
    case TEntryOption::Mention:
        return &entry.mention;
    case TEntryOption::Include:
        return &entry.include;
    case TEntryOption::SeeAlso:
        return &entry.seeAlso;
    case TEntryOption::Example:
        return &entry.example;
    default:
        return nullptr;
    }
}

// Key follows Mention; See also and Example follow Include.
bool OptionEnabled(TEntryOption option, bool mention, bool include) {
    switch (option) {
    case TEntryOption::Key:
        return mention;
    case TEntryOption::SeeAlso:
    case TEntryOption::Example:
        return include;
    default:
        return true;
    }
}

template <typename Entry> std::vector<std::string> Items(const std::vector<Entry>& list) {
    std::vector<std::string> items;
    items.reserve(list.size());
    for (const Entry& entry : list)
        items.push_back(entry.BarText());
    return items;
}

bool ValidIndex(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

// Takes the entry at `from` out of `source` and puts it into `target` at
// `at` (the end for -1 or past it); returns where it went.
template <typename Entry>
int MoveEntry(std::vector<Entry>& source, int from, std::vector<Entry>& target, int at) {
    Entry entry = std::move(source[static_cast<std::size_t>(from)]);
    source.erase(source.begin() + from);
    std::size_t place = (at < 0 || static_cast<std::size_t>(at) > target.size())
                            ? target.size()
                            : static_cast<std::size_t>(at);
    target.insert(target.begin() + static_cast<std::ptrdiff_t>(place), std::move(entry));
    return static_cast<int>(place);
}

} // namespace

TMemberListGeometry MemberListGeometry(int firstLabelTop, int labelHeight, int bottom) {
    TMemberListGeometry geometry;
    const int firstListTop = firstLabelTop + labelHeight;
    geometry.listHeight = std::max(0, (bottom - firstListTop - 2 * (labelHeight + 4)) / 3);
    int labelTop = firstLabelTop;
    for (std::size_t i = 0; i < 3; ++i) {
        geometry.labelTop[i] = labelTop;
        geometry.listTop[i] = labelTop + labelHeight;
        labelTop = geometry.listTop[i] + geometry.listHeight + 4;
    }
    return geometry;
}

TParserDialogModel::TParserDialogModel() = default;

int TParserDialogModel::ParsePascalUnit(const std::string& fileName, std::int32_t first,
                                        TParsedTopicSink& sink,
                                        const std::function<bool()>& execute,
                                        components::IMessenger* messenger) {
    ResetDialog();
    TGenerateOptions options;
    auto choose = [&](TUnitParser&) {
        Prepare();
        if (execute && !execute())
            return false;
        Accept();
        options.useComments = UseComments;
        return true;
    };
    try {
        const int result =
            unitparser::ParsePascalUnit(parser_, fileName, first, sink, choose, messenger, options);
        ResetDialog();
        return result;
    } catch (...) {
        ResetDialog();
        throw;
    }
}

void TParserDialogModel::ResetDialog() {
    caption_ = kFormCaption;
    currentTab_ = -1;
    include_ = seeAlso_ = tasks_ = false;
    for (auto& list : members_)
        list.clear();
    selectedList_ = TMemberKind::Property;
    selectedIndex_ = -1;
    selectedDecl_.fill(-1);
}

void TParserDialogModel::Prepare() {
    ResetDialog();
    caption_ = "Delphi source code parser: unit " + parser_.UnitName;
    if (!parser_.ParseObjects.empty())
        LoadTab(0);
}

bool TParserDialogModel::PageVisible(TParserPage page) const {
    switch (page) {
    case TParserPage::Classes:
        return !parser_.ParseObjects.empty();
    case TParserPage::Types:
        return !parser_.ListTypes.empty();
    case TParserPage::Routines:
        return !parser_.ListRoutines.empty();
    case TParserPage::Constants:
        return !parser_.ListConsts.empty();
    default:
        return !parser_.ListVars.empty();
    }
}

TParserPage TParserDialogModel::FirstVisiblePage() const {
    for (TParserPage page : {TParserPage::Classes, TParserPage::Types, TParserPage::Routines,
                             TParserPage::Constants, TParserPage::Variables})
        if (PageVisible(page))
            return page;
    return TParserPage::Classes;
}

void TParserDialogModel::Accept() {
    StoreTab();
}

// ---- Classes page -------------------------------------------------------------

TParseObject* TParserDialogModel::Current() const {
    if (!ValidIndex(currentTab_, parser_.ParseObjects.size()))
        return nullptr;
    return parser_.ParseObjects[static_cast<std::size_t>(currentTab_)].get();
}

std::vector<std::string> TParserDialogModel::TabNames() const {
    std::vector<std::string> names;
    for (const auto& object : parser_.ParseObjects)
        names.push_back(object->Name);
    return names;
}

void TParserDialogModel::ChangeTab(int index) {
    StoreTab();
    LoadTab(index);
}

void TParserDialogModel::StoreTab() {
    TParseObject* object = Current();
    if (!object)
        return;
    object->Include = include_;
    object->SeeAlso = seeAlso_;
    object->Tasks = tasks_;
    object->Properties = members_[Slot(TMemberKind::Property)];
    object->Methods = members_[Slot(TMemberKind::Method)];
    object->Events = members_[Slot(TMemberKind::Event)];
}

void TParserDialogModel::LoadTab(int index) {
    selectedIndex_ = -1;
    if (!ValidIndex(index, parser_.ParseObjects.size())) {
        currentTab_ = -1;
        include_ = seeAlso_ = tasks_ = false;
        for (auto& list : members_)
            list.clear();
        return;
    }
    currentTab_ = index;
    const TParseObject& object = *parser_.ParseObjects[static_cast<std::size_t>(index)];
    include_ = object.Include;
    seeAlso_ = object.SeeAlso;
    tasks_ = object.Tasks;
    members_[Slot(TMemberKind::Property)] = object.Properties;
    members_[Slot(TMemberKind::Method)] = object.Methods;
    members_[Slot(TMemberKind::Event)] = object.Events;
}

std::string TParserDialogModel::ObjectCaption() const {
    const TParseObject* object = Current();
    return object ? object->Declaration : std::string();
}

TObjectKind TParserDialogModel::Kind() const {
    const TParseObject* object = Current();
    return object ? object->Kind : TObjectKind::Component;
}

void TParserDialogModel::SetKind(TObjectKind kind) {
    if (TParseObject* object = Current(); object && ClassControlsEnabled())
        object->Kind = kind;
}

void TParserDialogModel::SetObjInclude(bool on) {
    if (Current())
        include_ = on;
}

void TParserDialogModel::SetObjSeeAlso(bool on) {
    if (ClassControlsEnabled())
        seeAlso_ = on;
}

void TParserDialogModel::SetObjTasks(bool on) {
    if (ClassControlsEnabled())
        tasks_ = on;
}

std::string TParserDialogModel::BitmapFile() const {
    const TParseObject* object = Current();
    return object ? object->BitmapFile : std::string();
}

void TParserDialogModel::SetBitmapFile(const std::string& fileName) {
    if (TParseObject* object = Current(); object && ClassControlsEnabled())
        object->BitmapFile = fileName;
}

const std::vector<TMemberEntry>& TParserDialogModel::Members(TMemberKind list) const {
    return members_[Slot(list)];
}

std::vector<std::string> TParserDialogModel::MemberItems(TMemberKind list) const {
    return Items(Members(list));
}

void TParserDialogModel::SelectMember(TMemberKind list, int index) {
    selectedList_ = list;
    selectedIndex_ = ValidIndex(index, Members(list).size()) ? index : -1;
}

std::string TParserDialogModel::SelectedMemberCaption() const {
    if (selectedIndex_ < 0)
        return kNoSelection;
    return Members(selectedList_)[static_cast<std::size_t>(selectedIndex_)].declaration;
}

TOptionState TParserDialogModel::MemberOption(TEntryOption option) const {
    if (selectedIndex_ < 0)
        return {};
    TMemberFlags flags = Members(selectedList_)[static_cast<std::size_t>(selectedIndex_)].flags;
    TOptionState state;
    state.checked = FlagOf(flags, option);
    state.enabled = ClassControlsEnabled() && OptionEnabled(option, flags.mention, flags.include);
    return state;
}

bool TParserDialogModel::SetMemberOption(TEntryOption option, bool on) {
    if (!MemberOption(option).enabled)
        return false;
    TMemberEntry& entry = members_[Slot(selectedList_)][static_cast<std::size_t>(selectedIndex_)];
    FlagOf(entry.flags, option) = on;
    return true;
}

bool TParserDialogModel::CanDropMember(TMemberKind source, TMemberKind target) {
    if (source == TMemberKind::Method || target == TMemberKind::Method)
        return source == target;
    return true;
}

bool TParserDialogModel::DropMember(TMemberKind source, int from, TMemberKind target, int at) {
    if (!ClassControlsEnabled() || !CanDropMember(source, target) ||
        !ValidIndex(from, Members(source).size()))
        return false;
    selectedIndex_ = MoveEntry(members_[Slot(source)], from, members_[Slot(target)], at);
    selectedList_ = target;
    return true;
}

// ---- Declaration pages ---------------------------------------------------------

std::size_t TParserDialogModel::DeclSlot(TDeclListKind list) {
    return static_cast<std::size_t>(list);
}

std::vector<TDeclEntry>& TParserDialogModel::DeclList(TDeclListKind list) {
    switch (list) {
    case TDeclListKind::Types:
        return parser_.ListTypes;
    case TDeclListKind::Routines:
        return parser_.ListRoutines;
    case TDeclListKind::Constants:
        return parser_.ListConsts;
    default:
        return parser_.ListVars;
    }
}

const std::vector<TDeclEntry>& TParserDialogModel::Decls(TDeclListKind list) const {
    return const_cast<TParserDialogModel*>(this)->DeclList(list);
}

std::vector<std::string> TParserDialogModel::DeclItems(TDeclListKind list) const {
    return Items(Decls(list));
}

void TParserDialogModel::SelectDecl(TDeclListKind list, int index) {
    selectedDecl_[DeclSlot(list)] = ValidIndex(index, Decls(list).size()) ? index : -1;
}

int TParserDialogModel::SelectedDecl(TDeclListKind list) const {
    return selectedDecl_[DeclSlot(list)];
}

std::string TParserDialogModel::DeclCaption(TDeclListKind list) const {
    const int index = SelectedDecl(list);
    if (index < 0)
        return kNoSelection;
    return Decls(list)[static_cast<std::size_t>(index)].declaration;
}

std::vector<TEntryOption> TParserDialogModel::DeclOptions(TDeclListKind list) {
    switch (list) {
    case TDeclListKind::Types:
        return {TEntryOption::Include, TEntryOption::SeeAlso};
    case TDeclListKind::Routines:
        return {TEntryOption::Include, TEntryOption::SeeAlso, TEntryOption::Example};
    default:
        return {TEntryOption::Mention, TEntryOption::Include, TEntryOption::SeeAlso};
    }
}

TOptionState TParserDialogModel::DeclOption(TDeclListKind list, TEntryOption option) const {
    const int index = SelectedDecl(list);
    const auto options = DeclOptions(list);
    if (index < 0 || std::find(options.begin(), options.end(), option) == options.end())
        return {};
    TDeclEntry entry = Decls(list)[static_cast<std::size_t>(index)];
    TOptionState state;
    state.checked = *FlagOf(entry, option);
    state.enabled = OptionEnabled(option, entry.mention, entry.include);
    return state;
}

bool TParserDialogModel::SetDeclOption(TDeclListKind list, TEntryOption option, bool on) {
    if (!DeclOption(list, option).enabled)
        return false;
    *FlagOf(DeclList(list)[static_cast<std::size_t>(SelectedDecl(list))], option) = on;
    return true;
}

bool TParserDialogModel::MoveDecl(TDeclListKind list, int from, int at) {
    std::vector<TDeclEntry>& entries = DeclList(list);
    if (!ValidIndex(from, entries.size()))
        return false;
    selectedDecl_[DeclSlot(list)] = MoveEntry(entries, from, entries, at);
    return true;
}

} // namespace unitparser
