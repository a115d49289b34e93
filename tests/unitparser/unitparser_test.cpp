#include "unitparser/parsedump.h"
#include "unitparser/unitparser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace unitparser;

namespace {

// Wraps interface declarations into a unit.
std::string Unit(const std::string& interfacePart) {
    return "unit Sample;\n\ninterface\n\n" + interfacePart + "\nimplementation\nend.\n";
}

TUnitParser Parse(const std::string& interfacePart) {
    TUnitParser parser;
    parser.ParseText(Unit(interfacePart), "sample.pas");
    return parser;
}

std::vector<std::string> Bars(const std::vector<TMemberEntry>& list) {
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(e.BarText());
    return out;
}

std::vector<std::string> Bars(const std::vector<TDeclEntry>& list) {
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(e.BarText());
    return out;
}

using Strings = std::vector<std::string>;

// ------------------------------------------------------------ class members

struct MemberCase {
    const char* name;
    const char* members; // inside "TFoo = class(TButton) ... end;"
    Strings properties;
    Strings methods;
    Strings events;
};

class MemberTable : public ::testing::TestWithParam<MemberCase> {};

TEST_P(MemberTable, GivesExactEntries) {
    const auto& c = GetParam();
    TUnitParser parser =
        Parse(std::string("type\n  TFoo = class(TButton)\n") + c.members + "\n  end;\n");
    ASSERT_EQ(parser.ParseObjects.size(), 1u);
    const TParseObject& object = *parser.ParseObjects[0];
    EXPECT_EQ(Bars(object.Properties), c.properties);
    EXPECT_EQ(Bars(object.Methods), c.methods);
    EXPECT_EQ(Bars(object.Events), c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Members, MemberTable,
    ::testing::Values(
        MemberCase{"Redeclared",
                   "published\n property Caption;",
                   {"property Caption;| ||published||..||.m.se"},
                   {},
                   {}},
        MemberCase{"TypedWithComment",
                   "published\n property Caption: string read FCaption write SetCaption; // The "
                   "text shown",
                   {"property Caption: string;|The text shown||published||rw||kmise"},
                   {},
                   {}},
        MemberCase{"Event",
                   "published\n property OnClick: TNotifyEvent read FOnClick write FOnClick;",
                   {},
                   {},
                   {"property OnClick: TNotifyEvent;| ||published||kmise"}},
        MemberCase{"RedeclaredEvent",
                   "published\n property OnClick;",
                   {},
                   {},
                   {"property OnClick;| ||published||.m.se"}},
        MemberCase{"ArrayDefault",
                   "public\n property Items[Index: Integer]: string read GetItem; default; // "
                   "the items",
                   {"property Items[Index: Integer]: string;|the items||public||r.||kmise"},
                   {},
                   {}},
        MemberCase{"IndexSpecifier",
                   "public\n property Left: Integer index 0 read GetCoord write SetCoord "
                   "stored False default 3;",
                   {"property Left: Integer;| ||public||rw||kmise"},
                   {},
                   {}},
        MemberCase{"WriteOnly",
                   "public\n property Secret: string write SetSecret;",
                   {"property Secret: string;| ||public||.w||kmise"},
                   {},
                   {}},
        MemberCase{"ProtectedOverride",
                   "protected\n procedure Paint; override;",
                   {},
                   {"procedure Paint; override;| ||protected||...se"},
                   {}},
        MemberCase{"ProtectedKey",
                   "protected\n procedure Paint; virtual;",
                   {},
                   {"procedure Paint; virtual;| ||protected||k..se"},
                   {}},
        MemberCase{
            "ClassFunctionThenProcedure",
            "public\n class function Create: TFoo; procedure Bar;",
            {},
            {"class function Create: TFoo;| ||public||kmise", "procedure Bar;| ||public||kmise"},
            {}},
        MemberCase{"DefaultVisibilityIsPublic",
                   "procedure Click; override;",
                   {},
                   {"procedure Click; override;| ||public||.m.se"},
                   {}},
        MemberCase{"ParametersAndDirectives",
                   "public\n constructor Create(AOwner: TComponent; const S: array of string); "
                   "overload; virtual;",
                   {},
                   {"constructor Create(AOwner: TComponent; const S: array of string); "
                    "overload; virtual;| ||public||kmise"},
                   {}},
        MemberCase{"MessageHandler",
                   "protected\n procedure WMPaint(var Msg: TWMPaint); message WM_PAINT;",
                   {},
                   {"procedure WMPaint(var Msg: TWMPaint); message WM_PAINT;| ||protected||k..se"},
                   {}},
        MemberCase{"FunctionStopsAtOverload",
                   "public\n function Find(const S: string): Integer; overload; // finds",
                   {},
                   {"function Find(const S: string): Integer;| ||public||kmise"},
                   {}},
        MemberCase{"NestedParensInDefault",
                   "public\n procedure Put(C: Char = Chr(65)); // puts",
                   {},
                   {"procedure Put(C: Char = Chr(65));|puts||public||kmise"},
                   {}},
        MemberCase{"FieldsAreSkipped",
                   "public\n FCount: Integer;\n FPoint: record X, Y: Integer; end;\n procedure "
                   "Go;",
                   {},
                   {"procedure Go;| ||public||kmise"},
                   {}},
        MemberCase{"PrivateRecordSkippedWhole",
                   "private\n FData: record A: Integer; B: record C: Byte; end; end;\n procedure "
                   "Hidden;\npublished\n property Visible;",
                   {"property Visible;| ||published||..||.m.se"},
                   {},
                   {}},
        MemberCase{"BarInsideStringLiteral",
                   "public\n procedure Split(const Sep: string = '|'); // on bars",
                   {},
                   {"procedure Split(const Sep: string = '|');|on bars||public||kmise"},
                   {}},
        // Syntax the older parsers did not know must not swallow the next member.
        MemberCase{"StrictPrivate",
                   "strict private\n FHidden: Integer;\n procedure Hidden;\npublic\n procedure "
                   "Shown;",
                   {},
                   {"procedure Shown;| ||public||kmise"},
                   {}},
        MemberCase{"StrictProtected",
                   "strict protected\n procedure Guarded; virtual;\npublic\n procedure Shown;",
                   {},
                   {"procedure Guarded; virtual;| ||protected||k..se",
                    "procedure Shown;| ||public||kmise"},
                   {}},
        MemberCase{"NestedTypesAreSkippedWhole",
                   "public\n type\n  TInner = class(TObject)\n  public\n   procedure InnerOnly;\n"
                   "  end;\n  TKind = (kA, kB);\n  TMeta = class of TInner;\n public\n  procedure "
                   "Outer;\nprivate\n type TPriv = class procedure Hidden; end;\n F: Integer;\n"
                   "published\n property Shown;",
                   {"property Shown;| ||published||..||.m.se"},
                   {"procedure Outer;| ||public||kmise"},
                   {}},
        MemberCase{"ClassVarDoesNotMarkNextMethod",
                   "public\n class var Count: Integer;\n procedure Plain;",
                   {},
                   {"procedure Plain;| ||public||kmise"},
                   {}}));

TEST(UnitParser, MembersStaySortedByDisplayText) {
    TUnitParser parser = Parse("type TFoo = class(TButton)\npublic\n procedure Zeta;\n procedure "
                               "alpha;\n procedure Beta;\nend;\n");
    ASSERT_EQ(parser.ParseObjects.size(), 1u);
    Strings names;
    for (const auto& m : parser.ParseObjects[0]->Methods)
        names.push_back(m.Name());
    EXPECT_EQ(names, (Strings{"alpha", "Beta", "Zeta"}));
    EXPECT_FALSE(parser.ParseObjects[0]->Sorted);
}

TEST(UnitParser, ListsAreSortedIgnoringCaseAndEqualEntriesKeepTheirOrder) {
    struct Case {
        const char* source;
        Strings consts, vars, methods;
    };
    const Case cases[] = {
        {"const b = 1; A = 2; c = 3;", {"A = 2", "b = 1", "c = 3"}, {}, {}},
        // Entries equal but for case stay in source order, either way round.
        {"var x: Integer; X: Integer;", {}, {"x: Integer;", "X: Integer;"}, {}},
        {"var X: Integer; x: Integer;", {}, {"X: Integer;", "x: Integer;"}, {}},
        {"var Zed, alpha, Mid: Byte;", {}, {"alpha: Byte;", "Mid: Byte;", "Zed: Byte;"}, {}},
        {"type T = class(TButton) public procedure go; procedure Go; procedure a; end;",
         {},
         {},
         {"procedure a;", "procedure go;", "procedure Go;"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        TUnitParser parser = Parse(c.source);
        Strings consts, vars, methods;
        for (const auto& e : parser.ListConsts)
            consts.push_back(e.declaration);
        for (const auto& e : parser.ListVars)
            vars.push_back(e.declaration);
        for (const auto& object : parser.ParseObjects)
            for (const auto& m : object->Methods)
                methods.push_back(m.declaration);
        EXPECT_EQ(consts, c.consts);
        EXPECT_EQ(vars, c.vars);
        EXPECT_EQ(methods, c.methods);
    }
}

// ------------------------------------------------------------ class kinds

struct KindCase {
    const char* declaration;
    TObjectKind kind;
    bool tasks;
    const char* heading;
    const char* guid;
};

class KindTable : public ::testing::TestWithParam<KindCase> {};

TEST_P(KindTable, Classified) {
    const auto& c = GetParam();
    TUnitParser parser = Parse(std::string("type\n") + c.declaration + "\n");
    ASSERT_EQ(parser.ParseObjects.size(), 1u);
    const TParseObject& object = *parser.ParseObjects[0];
    EXPECT_EQ(object.Kind, c.kind);
    EXPECT_EQ(object.Tasks, c.tasks);
    EXPECT_EQ(object.Declaration, c.heading);
    EXPECT_EQ(object.Guid, c.guid);
    EXPECT_TRUE(object.Include);
    EXPECT_TRUE(object.SeeAlso);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, KindTable,
    ::testing::Values(
        KindCase{"TMyButton = class(TButton) end;", TObjectKind::Component, true,
                 "TMyButton = class(TButton)", ""},
        KindCase{"EMyError = class(Exception);", TObjectKind::Exception, false,
                 "EMyError = class(Exception)", ""},
        KindCase{"TMyList = class(TObject) end;", TObjectKind::Class, false,
                 "TMyList = class(TObject)", ""},
        KindCase{"TMyThing = class end;", TObjectKind::Class, false, "TMyThing = class", ""},
        KindCase{"TMyStore = class(TPersistent) end;", TObjectKind::Class, false,
                 "TMyStore = class(TPersistent)", ""},
        KindCase{"TMainForm = class(TForm) end;", TObjectKind::Component, true,
                 "TMainForm = class(TForm)", ""},
        KindCase{"IMyIntf = interface(IUnknown) ['{00000000-1111-2222-3333-444444444444}'] "
                 "procedure Go; end;",
                 TObjectKind::Interface, true, "IMyIntf = interface(IUnknown)",
                 "['{00000000-1111-2222-3333-444444444444}']"},
        KindCase{"TBoth = class(TInterfacedObject, IMyIntf, Classes.IStreamPersist) end;",
                 TObjectKind::Component, true,
                 "TBoth = class(TInterfacedObject, IMyIntf, Classes.IStreamPersist)", ""},
        KindCase{"TOld = object(TBase) end;", TObjectKind::Component, true, "TOld = object(TBase)",
                 ""},
        KindCase{"ESealed = class sealed(EMyError) end;", TObjectKind::Exception, false,
                 "ESealed = class sealed(EMyError)", ""},
        KindCase{"TBaseThing = class abstract(TObject) end;", TObjectKind::Class, false,
                 "TBaseThing = class abstract(TObject)", ""},
        KindCase{"IDisp = dispinterface ['{1}'] end;", TObjectKind::Interface, true,
                 "IDisp = dispinterface", "['{1}']"}));

TEST(UnitParser, ForwardDeclarationRecordsNothingUntilTheFullOne) {
    TUnitParser parser = Parse("type\n TMyClass = class;\n IFoo = interface;\n TMyClass = "
                               "class(TButton)\n procedure Go;\n end;\n");
    ASSERT_EQ(parser.ParseObjects.size(), 1u);
    EXPECT_EQ(parser.ParseObjects[0]->Name, "TMyClass");
    EXPECT_EQ(parser.ParseObjects[0]->Methods.size(), 1u);
}

// ------------------------------------------------------------ declarations

struct DeclCase {
    const char* name;
    const char* source;
    Strings types;
    Strings routines;
    Strings consts;
    Strings vars;
};

class DeclTable : public ::testing::TestWithParam<DeclCase> {};

TEST_P(DeclTable, GivesExactEntries) {
    const auto& c = GetParam();
    TUnitParser parser = Parse(c.source);
    EXPECT_EQ(Bars(parser.ListTypes), c.types);
    EXPECT_EQ(Bars(parser.ListRoutines), c.routines);
    EXPECT_EQ(Bars(parser.ListConsts), c.consts);
    EXPECT_EQ(Bars(parser.ListVars), c.vars);
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, DeclTable,
    ::testing::Values(
        DeclCase{"Record",
                 "type TPoint3 = record X, Y, Z: Integer; end; // a point",
                 {"TPoint3 = record X, Y, Z: Integer; end;|a point||is"},
                 {},
                 {},
                 {}},
        DeclCase{"Enum",
                 "type TDir = (dNorth, dSouth);",
                 {"TDir = (dNorth, dSouth);| ||is"},
                 {},
                 {},
                 {}},
        DeclCase{"ArrayAndPointer",
                 "type TArr = array[0..9] of Integer; PArr = ^TArr; TSet = set of TDir;",
                 {"PArr = ^TArr;| ||is", "TArr = array[0..9] of Integer;| ||is",
                  "TSet = set of TDir;| ||is"},
                 {},
                 {},
                 {}},
        DeclCase{"PackedNestedRecord",
                 "type TRec = packed record A: Byte; case Integer of 0: (B: Word); 1: (C: record "
                 "D: Byte; end); end;",
                 {"TRec = packed record A: Byte; case Integer of 0:(B: Word); 1:(C: record D: "
                  "Byte; end); end;| ||is"},
                 {},
                 {},
                 {}},
        DeclCase{"ClassOf",
                 "type TFooClass = class of TFoo; // meta",
                 {"TFooClass = class of TFoo;|meta||is"},
                 {},
                 {},
                 {}},
        DeclCase{"ProcedureOfObject",
                 "type TNotifyProc = procedure(Sender: TObject) of object; TProc = procedure of "
                 "object; TPlain = procedure;",
                 {"TNotifyProc = procedure(Sender: TObject) of object;| ||is",
                  "TPlain = procedure;| ||is", "TProc = procedure of object;| ||is"},
                 {},
                 {},
                 {}},
        DeclCase{"FunctionTypes",
                 "type TCompare = function(A, B: Pointer): Integer; TGetter = function: string; "
                 "TCb = function(X: Integer): Boolean; stdcall;",
                 {"TCb = function(X: Integer): Boolean; stdcall;| ||is",
                  "TCompare = function(A, B: Pointer): Integer;| ||is",
                  "TGetter = function : string;| ||is"},
                 {},
                 {},
                 {}},
        DeclCase{"Routines",
                 "procedure Foo(A: Integer; var B: array of Byte); overload; // foo\nfunction "
                 "Bar: Integer; stdcall;\nprocedure Baz;",
                 {},
                 {"function Bar: Integer; stdcall;| ||ise", "procedure Baz;| ||ise",
                  "procedure Foo(A: Integer; var B: array of Byte); overload;|foo||ise"},
                 {},
                 {}},
        DeclCase{"Constants",
                 "const MaxItems = 100; // most\n SHello = 'Hello';\n Arr: array[0..1] of "
                 "Integer = (1, 2);\nresourcestring SBye = 'Bye|now';",
                 {},
                 {},
                 {"Arr: array [0..1] of Integer = (1, 2)| ||m.s", "MaxItems = 100|most||m.s",
                  "SBye = 'Bye|now'| ||m.s", "SHello = 'Hello'| ||m.s"},
                 {}},
        DeclCase{"Variables",
                 "var A, B: Integer; // counters\n P: TPoint;\n R: record X: Byte; end;",
                 {},
                 {},
                 {},
                 {"A: Integer;|counters||m.s", "B: Integer;|counters||m.s", "P: TPoint;| ||m.s",
                  "R: record X: Byte; end;| ||m.s"}},
        DeclCase{"UsesIsSkipped",
                 "uses Classes, SysUtils;\nconst X = 1;",
                 {},
                 {},
                 {"X = 1| ||m.s"},
                 {}}));

TEST(UnitParser, BarInLiteralKeepsEntryWhole) {
    TUnitParser parser = Parse("const Sep = '||x||'; // split | here");
    ASSERT_EQ(parser.ListConsts.size(), 1u);
    const TDeclEntry& entry = parser.ListConsts[0];
    EXPECT_EQ(entry.declaration, "Sep = '||x||'");
    EXPECT_EQ(entry.description, "split / here");
    EXPECT_TRUE(entry.mention);
    EXPECT_FALSE(entry.include);
    EXPECT_EQ(entry.Name(), "Sep");
}

// ------------------------------------------------------------ errors

struct ErrorCase {
    const char* source; // the whole file
    const char* message;
};

class ErrorTable : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTable, RaisesWithLineNumber) {
    TUnitParser parser;
    try {
        parser.ParseText(GetParam().source, "bad.pas");
        FAIL() << "no error";
    } catch (const EParseError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
    EXPECT_TRUE(parser.Empty());
    EXPECT_TRUE(parser.UnitName.empty());
}

std::string Deep(int depth) {
    return "unit D;\ninterface\ntype T = " + std::string(depth, '(') + "a" +
           std::string(depth, ')') + ";\nimplementation\nend.\n";
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ErrorTable,
    ::testing::Values(
        ErrorCase{"unit A;\ninterface\ntype\n  TFoo: Integer;\nimplementation\n",
                  "bad.pas: Error in line 4: '=' expected in type declaration"},
        ErrorCase{"unit A;\ninterface\ntype\n  TC = class of TFoo\n  X = 1;\nimplementation\n",
                  "bad.pas: Error in line 5: ';' expected"},
        ErrorCase{"unit A;\ninterface\ntype\n  TC = class(TA, TB;\nend;\nimplementation\n",
                  "bad.pas: Error in line 4: ')' expected"},
        ErrorCase{"unit A;\ninterface\n\nvar\n  X = 1;\nimplementation\n",
                  "bad.pas: Error in line 5: ':' expected in var declaration"},
        ErrorCase{"unit A;\ninterface\nconst X = 1;\n",
                  "bad.pas: Error in line 3: Unexpected end of file"},
        ErrorCase{"unit A;\ninterface\ntype\n  T = class\n    procedure X;\n\n{ open\n",
                  "bad.pas: Error in line 7: Unexpected end of file"},
        ErrorCase{"program P;\nbegin\nend.\n",
                  "bad.pas is not a Pascal unit.\r(Unit clause not found)"},
        ErrorCase{"unit A interface\n", "bad.pas is not a Pascal unit.\r(Unit clause invalid)"},
        ErrorCase{"unit A;\nimplementation\nend.\n",
                  "bad.pas is not a Pascal unit.\r(\"interface\" not found)"},
        ErrorCase{"unit A;\ninterface\ntype\n generic TList<T> = class end;\nimplementation\n",
                  "bad.pas: Error in line 4: '=' expected in type declaration"}));

TEST(UnitParser, DeepNestingIsBoundedAndReported) {
    TUnitParser parser;
    EXPECT_NO_THROW(parser.ParseText(Deep(TUnitParser::MaxNesting), "deep.pas"));
    try {
        parser.ParseText(Deep(100000), "deep.pas");
        FAIL() << "no error";
    } catch (const EParseError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "deep.pas: Error in line 3: declaration nested too deeply");
    }
    std::string records = "unit D;\ninterface\ntype T = class(TButton)\nprivate\n F: ";
    for (int i = 0; i < 50000; ++i)
        records += "record a: ";
    records += "Byte;\n";
    EXPECT_THROW(parser.ParseText(records, "deep.pas"), EParseError);
}

TEST(UnitParser, ParsesAgainFromScratch) {
    TUnitParser parser;
    parser.ParseText(Unit("const A = 1;"), "a.pas");
    parser.ParseText(Unit("var B: Byte;"), "b.pas");
    EXPECT_TRUE(parser.ListConsts.empty());
    EXPECT_EQ(parser.ListVars.size(), 1u);
    EXPECT_EQ(parser.UnitName, "Sample");
}

TEST(UnitParser, InterfaceEndingAtImplementationAtEndOfFile) {
    TUnitParser parser;
    parser.ParseText("unit A; interface const X = 1; implementation", "a.pas");
    EXPECT_EQ(parser.ListConsts.size(), 1u);
}

// ------------------------------------------------------------ real units

std::string DataFile(const char* name) {
    return std::string(BW_TEST_DATA "/unitparser/") + name;
}

TEST(UnitParserFiles, Fptimer) {
    TUnitParser parser;
    parser.ParseFile(DataFile("fptimer.pp"));
    EXPECT_EQ(parser.UnitName, "fptimer");
    std::string dump = DumpParse(parser);
    // The forward "TFPCustomTimer = class;" is not recorded twice.
    ASSERT_EQ(parser.ParseObjects.size(), 3u);
    EXPECT_EQ(parser.ParseObjects[0]->Name, "TFPCustomTimer");
    EXPECT_EQ(parser.ParseObjects[1]->Name, "TFPTimer");
    EXPECT_EQ(parser.ParseObjects[2]->Name, "TFPTimerDriver");
    EXPECT_EQ(parser.ParseObjects[2]->Kind, TObjectKind::Class);
    EXPECT_NE(dump.find("  event property OnTimer;| ||published||.m.se\n"), std::string::npos)
        << dump;
    EXPECT_NE(dump.find("  method procedure StartTimer; virtual; abstract;| ||public||kmise\n"),
              std::string::npos);
    EXPECT_NE(dump.find("type TFPTimerDriverClass = class of TFPTimerDriver;| ||is\n"),
              std::string::npos);
    EXPECT_NE(dump.find("var DefaultTimerDriverClass: TFPTimerDriverClass = Nil;| ||m.s\n"),
              std::string::npos);
}

TEST(UnitParserFiles, GenericsUnitAndProgramFailCleanly) {
    TUnitParser parser;
    EXPECT_THROW(parser.ParseFile(DataFile("gstack.pp")), EParseError);
    try {
        parser.ParseFile(DataFile("debugtest.pp"));
        FAIL();
    } catch (const EParseError& e) {
        EXPECT_EQ(std::string(e.what()),
                  DataFile("debugtest.pp") + " is not a Pascal unit.\r(Unit clause not found)");
    }
}

struct InstalledUnit {
    const char* path;
    const char* className;
    std::size_t minClasses;
};

class InstalledUnits : public ::testing::TestWithParam<InstalledUnit> {};

TEST_P(InstalledUnits, ParseWithoutError) {
    std::string path = std::string("/usr/share/fpcsrc/3.2.2/") + GetParam().path;
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << path << " not installed";
    TUnitParser parser;
    parser.ParseFile(path);
    EXPECT_GE(parser.ParseObjects.size(), GetParam().minClasses);
    bool found = false;
    for (const auto& o : parser.ParseObjects)
        found = found || o->Name == GetParam().className;
    EXPECT_TRUE(found) << GetParam().className;
}

INSTANTIATE_TEST_SUITE_P(
    FreePascal, InstalledUnits,
    ::testing::Values(InstalledUnit{"packages/fcl-web/src/base/fphttpclient.pp",
                                    "TFPCustomHTTPClient", 4},
                      InstalledUnit{"packages/fcl-db/src/base/db.pas", "TDataSet", 50}));

} // namespace
