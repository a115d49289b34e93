#include "unitparser/topicgenerator.h"

#include "helpproject/bitmapfolders.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace unitparser {

namespace {

constexpr std::int64_t HighestTopicNumber = std::numeric_limits<std::int32_t>::max();
// A unit's topics start at the next multiple of this above the numbers in
// use; the first class block follows the unit topic at this distance.
constexpr std::int64_t UnitNumberStep = 1000;
constexpr std::int64_t FirstBlockOffset = 10;
// Tab stops, in points: the link line's, and the member list's two columns
// of pictures before the names.
const std::vector<int> LinkTabs = {72, 144, 216, 288, 360, 432};
const std::vector<int> MemberListTabs = {10, 32};

bool Keeps(const TMemberEntry& e) {
    return e.flags.mention || e.flags.include;
}

std::string Padded(std::int32_t number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06d", number);
    return buffer;
}

std::string Num(std::int64_t number) {
    return std::to_string(number);
}

// Hands out blocks of numbers and refuses to pass the highest topic number.
class TNumberer {
public:
    explicit TNumberer(std::int64_t next) : next_(next) {}
    std::int32_t Take(int count) {
        std::int64_t number = next_;
        if (number + count - 1 > HighestTopicNumber)
            throw EParseError("There are not enough free topic numbers above " + Num(number - 1) +
                              " for the generated topics.");
        next_ += count;
        return static_cast<std::int32_t>(number);
    }

private:
    std::int64_t next_;
};

int SeeAlsoExampleCount(bool seeAlso, bool example) {
    return (seeAlso ? 1 : 0) + (example ? 1 : 0);
}

const char* MemberWord(TMemberKind kind) {
    switch (kind) {
    case TMemberKind::Property:
        return "property";
    case TMemberKind::Method:
        return "method";
    default:
        return "event";
    }
}

const char* MemberPlural(TMemberKind kind) {
    switch (kind) {
    case TMemberKind::Property:
        return "Properties";
    case TMemberKind::Method:
        return "Methods";
    default:
        return "Events";
    }
}

const char* MemberAKeyword(TMemberKind kind) {
    switch (kind) {
    case TMemberKind::Property:
        return "_Property;";
    case TMemberKind::Method:
        return "_Method;";
    default:
        return "_Event;";
    }
}

constexpr TMemberKind MemberKinds[] = {TMemberKind::Property, TMemberKind::Method,
                                       TMemberKind::Event};

} // namespace

std::string SingularWord(const std::string& plural) {
    std::string word = plural.empty() ? plural : plural.substr(0, plural.size() - 1);
    if (word.size() >= 2 && word.compare(word.size() - 2, 2, "ie") == 0)
        word.replace(word.size() - 2, 2, "y");
    return word;
}

void ApplySelection(TUnitParser& parser) {
    auto& objects = parser.ParseObjects;
    objects.erase(
        std::remove_if(objects.begin(), objects.end(), [](const auto& o) { return !o->Include; }),
        objects.end());
    for (auto& object : objects) {
        for (TMemberKind kind : MemberKinds) {
            auto& list = object->List(kind);
            list.erase(std::remove_if(list.begin(), list.end(),
                                      [](const TMemberEntry& e) { return !Keeps(e); }),
                       list.end());
        }
    }
    auto dropIf = [](std::vector<TDeclEntry>& list, auto drop) {
        list.erase(std::remove_if(list.begin(), list.end(), drop), list.end());
    };
    dropIf(parser.ListTypes, [](const TDeclEntry& e) { return !e.include; });
    dropIf(parser.ListRoutines, [](const TDeclEntry& e) { return !e.include; });
    dropIf(parser.ListConsts, [](const TDeclEntry& e) { return !e.mention && !e.include; });
    dropIf(parser.ListVars, [](const TDeclEntry& e) { return !e.mention && !e.include; });
}

std::int32_t FirstParserTopicNumber(std::int32_t highestInUse) {
    std::int64_t first =
        (static_cast<std::int64_t>(std::max(highestInUse, 0)) / UnitNumberStep + 1) *
        UnitNumberStep;
    if (first + 1 > HighestTopicNumber)
        throw EParseError("There are no free topic numbers left above " + Num(highestInUse) +
                          " for the generated topics.");
    return static_cast<std::int32_t>(first);
}

int AssignTopicNumbers(TUnitParser& parser, std::int32_t first) {
    if (first < 1)
        throw EParseError("The first topic number must be above 0.");
    TNumberer numbers(first);
    numbers.Take(2); // unit topic and its "See also"
    TNumberer blocks(static_cast<std::int64_t>(first) + FirstBlockOffset);
    int count = 2;
    for (auto& object : parser.ParseObjects) {
        object->TopicNo = blocks.Take(BlockSize);
        count += 1 + (object->SeeAlso ? 1 : 0);
        for (TMemberKind kind : MemberKinds)
            count += object->List(kind).empty() ? 0 : 1;
        if (object->Tasks) {
            // The tasks topic and its "See also" get numbers of their own, so
            // that no later block collides with them.
            blocks.Take(BlockSize);
            count += 2;
        }
        for (TMemberKind kind : MemberKinds) {
            for (TMemberEntry& entry : object->List(kind)) {
                entry.topicNo = -1;
                if (!entry.flags.include)
                    continue;
                entry.topicNo = blocks.Take(BlockSize);
                count += 1 + SeeAlsoExampleCount(entry.flags.seeAlso, entry.flags.example);
            }
        }
    }
    for (auto* list :
         {&parser.ListTypes, &parser.ListRoutines, &parser.ListConsts, &parser.ListVars}) {
        for (TDeclEntry& entry : *list) {
            entry.topicNo = -1;
            if (!entry.include)
                continue;
            entry.topicNo = blocks.Take(BlockSize);
            bool example = entry.list == TDeclListKind::Routines && entry.example;
            count += 1 + SeeAlsoExampleCount(entry.seeAlso, example);
        }
    }
    return count;
}

namespace {

class TWriter {
public:
    TWriter(const TUnitParser& parser, std::int32_t first, TParsedTopicSink& sink,
            const TGenerateOptions& options, components::IMessenger* messenger)
        : parser(parser), unitTopic(first), sink(sink), options(options), messenger(messenger) {}

    void Run();

private:
    // ---- building blocks
    void StartTopic(std::int32_t number, const std::string& title, const std::string& k,
                    const std::string& a) {
        sink.AddParsedTopic(number, title);
        AdvanceGauge();
        sink.SetTopicFields(k, a, parser.UnitName + ":" + Padded(number));
        sink.ClearText();
        currentTitle = title;
    }
    // Each topic moves the gauge on and lets the window repaint; generation
    // cannot be aborted, so the abort flag is not asked.
    void AdvanceGauge() {
        if (!messenger)
            return;
        messenger->SetProgress(++gaugePosition);
        messenger->ProcessEvents();
    }
    void Line(const std::string& macro, const std::string& text) {
        sink.ApplyMacroFont(macro);
        sink.InsertText(text + "\r\n");
    }
    void EndLine() { sink.InsertText("\r\n"); }
    void Code(const std::string& code) {
        sink.SetColor(ColorMaroon);
        sink.InsertText(code);
        sink.SetColor(ColorBlack);
    }
    void InsertJumpLinkToID(const std::string& id, const std::string& text) {
        sink.SetColor(ColorGreen);
        sink.SetStrikeOut(true);
        sink.InsertText(text);
        sink.SetColor(ColorMaroon);
        sink.SetStrikeOut(false);
        sink.InsertText("{linkID=" + id + "}");
        sink.SetColor(ColorBlack);
    }
    void InsertJumpLink(std::int32_t number, const std::string& text) {
        InsertJumpLinkToID(Num(number), text);
    }
    void InsertPopupLink(std::int32_t number, const std::string& text, bool tab) {
        sink.SetColor(ColorGreen);
        sink.SetUnderline(true);
        sink.InsertText(text);
        sink.SetColor(ColorMaroon);
        sink.SetUnderline(false);
        sink.InsertText("{linkID=%" + Num(number) + "}" + (tab ? "\t" : ""));
        sink.SetColor(ColorBlack);
    }
    void SetLinkTabs() { sink.SetTabStops(LinkTabs); }
    // The title line, the empty "*PopupLink" line that carries the links,
    // and the link tabs; the caller writes the links and calls EndHeader.
    void TitleAndLinkLine(const std::string& bitmapFile) {
        if (!bitmapFile.empty()) {
            sink.ApplyMacroFont("*TopicText");
            Code("{bml " + platform::ExtractFileName(bitmapFile) + "}\t");
            Line("*TopicTitle", currentTitle);
        } else {
            Line("*TopicTitle", currentTitle);
        }
        sink.ApplyMacroFont("*PopupLink");
        SetLinkTabs();
    }
    void EndHeader() {
        Code("{keepn}");
        EndLine();
    }
    void Section(const std::string& heading) { Line("*ParagraphTitle", heading); }
    void DescriptionSection(const std::string& description) {
        Section("Description");
        if (options.useComments && description != " " && !description.empty())
            Line("*TopicText", description);
        else
            Line("*TopicText", "<<< Description of " + currentTitle + " >>>");
    }

    void AddSeeAlsoTopic(std::int32_t number) {
        std::string of = currentTitle;
        StartTopic(number, of + " - See also", "", "");
        Line("*PopupTopicTitle", "See also");
        Line("*TopicText", "");
        Line("*TopicText", "<<< See also of " + of + " >>>");
    }
    void AddExampleTopic(std::int32_t number, const std::string& name) {
        StartTopic(number, name + " - Example", "", "");
        Line("*PopupTopicTitle", name + " example");
        Line("*TopicText", "");
    }
    void AddMemberListTopic(std::int32_t number, const std::vector<TMemberEntry>& entries,
                            const std::string& className, TMemberKind kind);

    // ---- topic families
    void UnitTopic();
    void ClassTopics(const TParseObject& object);
    void MemberTopic(const TParseObject& object, const TMemberEntry& entry, TMemberKind kind);
    void DeclTopic(const TDeclEntry& entry);

    const TUnitParser& parser;
    std::int32_t unitTopic;
    TParsedTopicSink& sink;
    const TGenerateOptions& options;
    components::IMessenger* messenger;
    // The gauge starts at 1, before the first topic.
    std::int64_t gaugePosition = 1;
    std::string currentTitle;
};

void TWriter::Run() {
    UnitTopic();
    for (const auto& object : parser.ParseObjects)
        ClassTopics(*object);
    for (auto* list :
         {&parser.ListTypes, &parser.ListRoutines, &parser.ListConsts, &parser.ListVars})
        for (const TDeclEntry& entry : *list)
            if (entry.topicNo >= 0)
                DeclTopic(entry);
}

void TWriter::UnitTopic() {
    const std::string& unit = parser.UnitName;
    StartTopic(unitTopic, unit + " unit", unit + " unit;" + unit, "");
    TitleAndLinkLine("");
    InsertPopupLink(unitTopic + 1, "See also", false);
    EndHeader();
    Line("*TopicText", "<<< Description of the unit >>>");
    Line("*TopicText", "");
    Line("*TopicText", "");
    // Forms are listed too, after the exceptions, so that every class topic
    // can be reached from the unit.
    for (TObjectKind kind : {TObjectKind::Component, TObjectKind::Interface, TObjectKind::Class,
                             TObjectKind::Exception, TObjectKind::Form}) {
        bool any = std::any_of(parser.ParseObjects.begin(), parser.ParseObjects.end(),
                               [&](const auto& o) { return o->Kind == kind; });
        if (!any)
            continue;
        Section(KindPlural(kind));
        sink.ApplyMacroFont("*TopicText");
        for (const auto& object : parser.ParseObjects) {
            if (object->Kind != kind)
                continue;
            InsertJumpLink(object->TopicNo, object->Name);
            EndLine();
        }
        EndLine();
    }
    struct Part {
        const char* heading;
        const std::vector<TDeclEntry>* list;
    };
    for (const Part& part :
         {Part{"Types", &parser.ListTypes}, Part{"Routines", &parser.ListRoutines},
          Part{"Constants", &parser.ListConsts}, Part{"Variables", &parser.ListVars}}) {
        if (part.list->empty())
            continue;
        Section(part.heading);
        sink.ApplyMacroFont("*TopicText");
        for (const TDeclEntry& entry : *part.list) {
            if (entry.topicNo >= 0)
                InsertJumpLink(entry.topicNo, entry.Name());
            else
                sink.InsertText(entry.Name());
            EndLine();
        }
        EndLine();
    }
    AddSeeAlsoTopic(unitTopic + 1);
}

void TWriter::ClassTopics(const TParseObject& object) {
    const std::int32_t c = object.TopicNo;
    const std::string title = KindTitle(object.Kind, object.Name);
    StartTopic(c, title, object.Name, object.Name + "_Object;" + object.Name);
    sink.AddContentsLine("1 " + title);
    sink.AddContentsLine("2 " + title + " Reference=Vellumar" + Num(c));

    TitleAndLinkLine(object.BitmapFile);
    std::vector<std::pair<std::int32_t, std::string>> popups;
    if (object.SeeAlso)
        popups.emplace_back(c + 1, "See also");
    for (int i = 0; i < 3; ++i)
        if (!object.List(MemberKinds[i]).empty())
            popups.emplace_back(c + 2 + i, MemberPlural(MemberKinds[i]));
    for (std::size_t i = 0; i < popups.size(); ++i)
        InsertPopupLink(popups[i].first, popups[i].second, i + 1 < popups.size() || object.Tasks);
    if (object.Tasks)
        InsertJumpLinkToID("%" + Num(c + TasksOffset), "Tasks");
    EndHeader();

    Section("Unit");
    sink.ApplyMacroFont("*TopicText");
    InsertJumpLink(unitTopic, parser.UnitName);
    EndLine();
    EndLine();
    if (object.Kind == TObjectKind::Interface && !object.Guid.empty()) {
        Section("GUID");
        Line("*SourceCode", object.Guid);
        Line("*TopicText", "");
    }
    Section("Description");
    Line("*TopicText", "<<< Description of " + title + " >>>");

    if (object.SeeAlso)
        AddSeeAlsoTopic(c + 1);
    for (int i = 0; i < 3; ++i) {
        const auto& list = object.List(MemberKinds[i]);
        if (!list.empty())
            AddMemberListTopic(c + 2 + i, list, object.Name, MemberKinds[i]);
    }

    if (object.Tasks) {
        const std::int32_t t = c + TasksOffset;
        StartTopic(t, "About the " + title, "", "");
        TitleAndLinkLine(object.BitmapFile);
        InsertPopupLink(t + 1, "See also", true);
        InsertJumpLinkToID("%" + Num(c), object.Name + " reference");
        EndHeader();
        Section("Purpose");
        Line("*TopicText", "<<< purpose of the " + title + " >>>");
        Line("*TopicText", "");
        Section("Tasks");
        Line("*TopicText", "<<< how to use the " + title + " >>>");
        AddSeeAlsoTopic(t + 1);
    }

    for (TMemberKind kind : MemberKinds) {
        const auto& list = object.List(kind);
        bool any = std::any_of(list.begin(), list.end(),
                               [](const TMemberEntry& e) { return e.topicNo >= 0; });
        if (!any)
            continue;
        sink.AddContentsLine(std::string("2 ") + MemberPlural(kind));
        for (const TMemberEntry& entry : list)
            if (entry.topicNo >= 0)
                MemberTopic(object, entry, kind);
    }
}

void TWriter::AddMemberListTopic(std::int32_t number, const std::vector<TMemberEntry>& entries,
                                 const std::string& className, TMemberKind kind) {
    const std::string word = MemberPlural(kind);
    const std::string singular = SingularWord(word);
    StartTopic(number, className + " - " + word, "", "");
    Line("*PopupTopicTitle", word);
    Line("*TopicText", "");
    sink.SetTabStops(MemberListTabs);
    if (kind == TMemberKind::Property) {
        Code("{bmct runtime.bmp}");
        sink.InsertText(" Run-time only\t");
        Code("{bmct key.bmp}");
        sink.InsertText(" Key " + platform::AnsiLowerCase(word));
        EndLine();
    }
    for (const TMemberEntry& entry : entries) {
        if (kind == TMemberKind::Property && entry.visibility == TVisibility::Public)
            Code("{bmct runtime.bmp}");
        else if (entry.visibility == TVisibility::Protected)
            Code("{bmct protect.bmp}");
        sink.InsertText("\t");
        if (entry.flags.key)
            Code("{bmct key.bmp}");
        sink.InsertText("\t");
        std::string name = entry.Name();
        if (entry.topicNo >= 0) {
            InsertJumpLink(entry.topicNo, name);
        } else {
            sink.SetColor(ColorGreen);
            sink.SetStrikeOut(true);
            sink.InsertText(name);
            sink.SetStrikeOut(false);
            Code("{linkDelphi=" + name + "_" + singular + "}");
        }
        EndLine();
    }
}

void TWriter::MemberTopic(const TParseObject& object, const TMemberEntry& entry, TMemberKind kind) {
    const std::int32_t m = entry.topicNo;
    const std::string name = entry.Name();
    const std::string& cls = object.Name;
    const std::string title = name + " " + MemberWord(kind);
    sink.AddContentsLine("3 " + title + "=Vellumar" + Num(m));
    StartTopic(m, title, name + "," + cls + ";" + cls + "," + name,
               cls + "_" + name + ";" + name + MemberAKeyword(kind) + name);
    TitleAndLinkLine("");
    if (entry.flags.seeAlso)
        InsertPopupLink(m + 1, "See also", entry.flags.example);
    if (entry.flags.example)
        InsertJumpLinkToID("%" + Num(m + 2), "Example");
    EndHeader();

    Section("Applies to");
    sink.ApplyMacroFont("*TopicText");
    InsertJumpLink(object.TopicNo, cls);
    sink.InsertText(std::string(" ") + KindSingular(object.Kind));
    EndLine();
    EndLine();
    Section("Declaration");
    sink.ApplyMacroFont("*SourceCode");
    sink.InsertSourceCode(entry.declaration);
    EndLine();
    Line("*TopicText", "");
    DescriptionSection(entry.description);
    if (entry.visibility == TVisibility::Protected)
        Line("*TopicText", "Protected");
    if (kind == TMemberKind::Property) {
        if (entry.visibility == TVisibility::Public)
            Line("*TopicText", "Run-time only");
        if (entry.hasAccess && entry.canRead && !entry.canWrite)
            Line("*TopicText", "Read-only");
        if (entry.hasAccess && !entry.canRead && entry.canWrite)
            Line("*TopicText", "Write-only");
    }
    if (entry.flags.seeAlso)
        AddSeeAlsoTopic(m + 1);
    if (entry.flags.example)
        AddExampleTopic(m + 2, name + " " + MemberWord(kind));
}

void TWriter::DeclTopic(const TDeclEntry& entry) {
    const std::int32_t m = entry.topicNo;
    const std::string name = entry.Name();
    std::string title;
    std::string declaration;
    switch (entry.list) {
    case TDeclListKind::Types:
        title = name + " type";
        declaration = "type " + entry.declaration;
        break;
    case TDeclListKind::Routines: {
        std::string keyword = entry.declaration.substr(0, entry.declaration.find(' '));
        title = name + " " + keyword;
        declaration = entry.declaration;
        break;
    }
    case TDeclListKind::Constants:
        title = name + " constant";
        declaration = "const " + entry.declaration;
        break;
    case TDeclListKind::Variables:
        title = name + " variable";
        declaration = "var " + entry.declaration;
        break;
    }
    bool example = entry.list == TDeclListKind::Routines && entry.example;
    StartTopic(m, title, name, "");
    TitleAndLinkLine("");
    if (entry.seeAlso)
        InsertPopupLink(m + 1, "See also", example);
    if (example)
        InsertJumpLinkToID("%" + Num(m + 2), "Example");
    EndHeader();
    Section("Unit");
    sink.ApplyMacroFont("*TopicText");
    InsertJumpLink(unitTopic, parser.UnitName);
    EndLine();
    EndLine();
    Section("Declaration");
    sink.ApplyMacroFont("*SourceCode");
    sink.InsertSourceCode(declaration);
    EndLine();
    Line("*TopicText", "");
    DescriptionSection(entry.description);
    if (entry.seeAlso)
        AddSeeAlsoTopic(m + 1);
    if (example)
        AddExampleTopic(m + 2, title);
}

// Runs EndGeneration however generation ends.
struct TGenerationScope {
    TParsedTopicSink& sink;
    ~TGenerationScope() { sink.EndGeneration(); }
};

// The parser dialog's error box, with its one button.
void ShowUnitEmpty(components::IMessenger& messenger) {
    components::TQuestion question;
    question.Kind = components::TMessageKind::Error;
    question.Text = kUnitEmptyText;
    question.Buttons = {{"Bummer", components::mrOk, true, true}};
    messenger.Ask(question);
}

} // namespace

void GenerateTopics(const TUnitParser& parser, std::int32_t first, TParsedTopicSink& sink,
                    const TGenerateOptions& options, components::IMessenger* messenger) {
    // Counted again here so the gauge is right whoever numbered the entries.
    int count = 2;
    for (const auto& object : parser.ParseObjects) {
        count += 1 + (object->SeeAlso ? 1 : 0) + (object->Tasks ? 2 : 0);
        for (TMemberKind kind : MemberKinds) {
            const auto& list = object->List(kind);
            count += list.empty() ? 0 : 1;
            for (const auto& e : list)
                if (e.topicNo >= 0)
                    count += 1 + SeeAlsoExampleCount(e.flags.seeAlso, e.flags.example);
        }
    }
    for (auto* list :
         {&parser.ListTypes, &parser.ListRoutines, &parser.ListConsts, &parser.ListVars})
        for (const auto& e : *list)
            if (e.topicNo >= 0)
                count += 1 + SeeAlsoExampleCount(e.seeAlso,
                                                 e.list == TDeclListKind::Routines && e.example);
    components::TProgressScope progress(messenger, kBuildingTopicsText, count + 1);
    if (messenger)
        messenger->SetProgress(1);
    TGenerationScope scope{sink};
    TWriter(parser, first, sink, options, messenger).Run();
}

int ParsePascalUnit(TUnitParser& parser, const std::string& fileName, std::int32_t first,
                    TParsedTopicSink& sink, const std::function<bool(TUnitParser&)>& choose,
                    components::IMessenger* messenger, const TGenerateOptions& options) {
    parser.ParseFile(fileName);
    if (parser.Empty()) {
        if (messenger)
            ShowUnitEmpty(*messenger);
        // The person has been told; the run ends without a further message.
        throw components::EAbort(std::string());
    }
    if (choose && !choose(parser))
        return -1;
    ApplySelection(parser);
    AssignTopicNumbers(parser, first);
    GenerateTopics(parser, first, sink, options, messenger);
    return first;
}

std::vector<std::string> BitmapFolders(const TUnitParser& parser) {
    std::vector<std::string> folders;
    for (const auto& object : parser.ParseObjects) {
        if (!object->Include || object->BitmapFile.empty())
            continue;
        std::string folder = platform::ExtractFileDir(object->BitmapFile);
        if (folder.empty())
            continue;
        bool known = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
            return platform::AnsiSameText(f, folder);
        });
        if (!known)
            folders.push_back(folder);
    }
    return folders;
}

void AddGeneratedBitmapFolders(std::string& folderList, const TUnitParser& parser,
                               const std::string& programFolder) {
    helpproject::AddBitmapFolder(folderList, programFolder);
    for (const auto& folder : BitmapFolders(parser))
        helpproject::AddBitmapFolder(folderList, folder);
}

} // namespace unitparser
