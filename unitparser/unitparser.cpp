#include "unitparser/unitparser.h"

#include <algorithm>
#include <initializer_list>

namespace unitparser {

namespace {

bool OneOf(const std::string& word, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (word == w)
            return true;
    return false;
}

void Join(std::string& text, std::string_view token, std::string_view noBlankBefore) {
    bool blank = !text.empty() && !token.empty();
    if (blank && noBlankBefore.find(token.front()) != std::string_view::npos)
        blank = false;
    if (blank && std::string_view("(.[^").find(text.back()) != std::string_view::npos)
        blank = false;
    if (blank)
        text += ' ';
    text += token;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

} // namespace

void JoinToken(std::string& text, std::string_view token) {
    Join(text, token, "(),.:;[]");
}
void JoinConstToken(std::string& text, std::string_view token) {
    Join(text, token, "),.:;]");
}

void TUnitParser::Clear() {
    UnitName.clear();
    ParseObjects.clear();
    ListTypes.clear();
    ListRoutines.clear();
    ListConsts.clear();
    ListVars.clear();
}

bool TUnitParser::Empty() const {
    return ParseObjects.empty() && ListTypes.empty() && ListRoutines.empty() &&
           ListConsts.empty() && ListVars.empty();
}

void TUnitParser::ParseFile(const std::string& fileName) {
    Clear();
    reader.OpenFile(fileName);
    Run(fileName);
}

void TUnitParser::ParseText(std::string text, const std::string& fileName) {
    Clear();
    reader.Open(std::move(text));
    Run(fileName);
}

void TUnitParser::Run(const std::string& fileName) {
    try {
        // The unit clause.
        try {
            while (Lower() != "unit")
                NextToken();
        } catch (const EParseError&) {
            throw EParseError(fileName + " is not a Pascal unit.\r(Unit clause not found)");
        }
        try {
            UnitName = NextToken();
            NextToken();
        } catch (const EParseError&) {
            throw EParseError(fileName + " is not a Pascal unit.\r(Unit clause invalid)");
        }
        if (Token() != ";")
            throw EParseError(fileName + " is not a Pascal unit.\r(Unit clause invalid)");
        try {
            while (Lower() != "interface")
                NextToken();
        } catch (const EParseError&) {
            throw EParseError(fileName + " is not a Pascal unit.\r(\"interface\" not found)");
        }

        implementationReached = false;
        try {
            ParseInterface();
        } catch (const EParseError& error) {
            throw EParseError(fileName + ": " + Placed(error.what()));
        }
        // The dialog's lists are sorted lists: gathered first, ordered once.
        for (auto* list : {&ListTypes, &ListRoutines, &ListConsts, &ListVars})
            SortEntries(*list);
    } catch (...) {
        Clear();
        throw;
    }
}

std::string TUnitParser::Placed(const std::string& message) const {
    // The line errors say their line already; the end of the file is met
    // after the last line read.
    if (message.rfind("Error in line ", 0) == 0)
        return message;
    return reader.Error(message).what();
}

void TUnitParser::ParseInterface() {
    NextToken();
    while (!implementationReached) {
        std::string lower = Lower();
        if (lower == "implementation") {
            implementationReached = true;
        } else if (lower == "uses") {
            do
                NextToken();
            while (!IsSectionKeyword(Lower()));
        } else if (lower == "type") {
            ParseTypeSection();
        } else if (lower == "procedure") {
            ParseProcedureHeading();
        } else if (lower == "function") {
            ParseFunctionHeading();
        } else if (lower == "const" || lower == "resourcestring") {
            ParseConstSection();
        } else if (lower == "var") {
            ParseVarSection();
        } else {
            NextToken();
        }
    }
}

bool TUnitParser::IsSectionKeyword(const std::string& lowerToken) {
    if (lowerToken == "implementation") {
        implementationReached = true;
        return true;
    }
    return OneOf(lowerToken, {"type", "procedure", "function", "const", "resourcestring", "var"});
}

void TUnitParser::CheckDepth(int depth) const {
    if (depth > MaxNesting)
        throw reader.Error("declaration nested too deeply");
}

void TUnitParser::AddDecl(std::vector<TDeclEntry>& list, TDeclListKind kind, std::string text) {
    list.push_back(MakeDeclEntry(kind, std::move(text), reader.TakeDescription()));
}

// ---------------------------------------------------------------- types

void TUnitParser::ParseTypeSection() {
    NextToken();
    while (!IsSectionKeyword(Lower())) {
        std::string name = Token();
        if (NextToken() != "=")
            throw reader.Error("'=' expected in type declaration");
        NextToken();
        std::string lower = Lower();
        if (lower == "class") {
            NextToken();
            if (Lower() == "of") {
                std::string text = name + " = class of " + NextToken() + ";";
                if (NextToken() != ";")
                    throw reader.Error("';' expected");
                NextToken();
                AddDecl(ListTypes, TDeclListKind::Types, std::move(text));
            } else if (Token() == ";") {
                NextToken(); // forward declaration
            } else {
                ParseClassDecl(name, "class");
            }
        } else if (lower == "object" || lower == "interface" || lower == "dispinterface") {
            NextToken();
            if (Token() == ";")
                NextToken();
            else
                ParseClassDecl(name, lower);
        } else if (lower == "function") {
            ParseFunctionType(name);
        } else if (lower == "procedure") {
            ParseProcedureType(name);
        } else {
            std::string text = name + " = ";
            if (Token() == "(")
                CollectParenGroup(text, 1);
            else
                text += Token();
            if (lower == "record")
                CollectRecordText(text, 1);
            while (NextToken() != ";") {
                if (Token() == "(") {
                    CollectParenGroup(text, 1);
                } else {
                    JoinToken(text, Token());
                    if (Lower() == "record")
                        CollectRecordText(text, 1);
                }
            }
            text += ";";
            NextToken();
            AddDecl(ListTypes, TDeclListKind::Types, std::move(text));
        }
    }
}

void TUnitParser::CollectParenGroup(std::string& text, int depth, TCollect how) {
    CheckDepth(depth);
    const bool constant = how == TCollect::Constant;
    text += constant ? " (" : "(";
    while (NextToken() != ")") {
        if (Token() == "(") {
            CollectParenGroup(text, depth + 1, how);
        } else {
            (constant ? JoinConstToken : JoinToken)(text, Token());
            if (constant && Lower() == "record")
                CollectRecordText(text, depth + 1, how);
        }
    }
    if (constant)
        text += ")";
    else
        JoinToken(text, ")");
}

void TUnitParser::CollectRecordText(std::string& text, int depth, TCollect how) {
    CheckDepth(depth);
    for (;;) {
        NextToken();
        std::string lower = Lower();
        if (lower == "end")
            break;
        if (Token() == "(") {
            CollectParenGroup(text, depth + 1, how);
        } else {
            (how == TCollect::Constant ? JoinConstToken : JoinToken)(text, Token());
            if (lower == "record")
                CollectRecordText(text, depth + 1, how);
        }
    }
    text += " end";
}

void TUnitParser::CollectParamsFrom(std::string& text) {
    // The current token is the first one inside the list; it ends at the ")"
    // that closes the list, which stays the current token.
    int nesting = 0;
    for (;;) {
        if (Token() == "(") {
            ++nesting;
            CheckDepth(nesting);
        } else if (Token() == ")") {
            if (nesting == 0)
                return;
            --nesting;
        }
        JoinToken(text, Token());
        NextToken();
    }
}

void TUnitParser::ReadRoutineDirectives(std::string& text, bool allowOf) {
    for (;;) {
        std::string lower = Lower();
        if (OneOf(lower, {"register", "pascal", "cdecl", "stdcall", "overload", "deprecated",
                          "platform", "library"})) {
            text += " " + Token() + ";";
            if (NextToken() == ";")
                NextToken();
        } else if (allowOf && lower == "of") {
            text += " of " + NextToken() + ";";
            if (NextToken() == ";")
                NextToken();
        } else if (lower == "message") {
            text += " " + Token();
            while (NextToken() != ";")
                text += " " + Token();
            text += ";";
            NextToken();
        } else if (Token() == ";") {
            NextToken();
        } else {
            break;
        }
    }
}

void TUnitParser::ParseProcedureType(std::string text) {
    text += " = procedure";
    NextToken();
    bool hasParams = false;
    if (Token() == "(") {
        if (NextToken() != ")") {
            hasParams = true;
            text += "(";
            CollectParamsFrom(text);
            NextToken();
            if (Lower() == "of") {
                text += ") of " + NextToken() + ";";
                NextToken();
            } else {
                text += ");";
            }
        } else {
            NextToken(); // past an empty "()"
        }
    }
    if (!hasParams) {
        if (Lower() == "of") {
            text += " of " + NextToken() + ";";
            NextToken();
        } else {
            text += ";";
        }
    }
    ReadRoutineDirectives(text, true);
    AddDecl(ListTypes, TDeclListKind::Types, std::move(text));
}

void TUnitParser::ReadResultType(std::string& text) {
    // The current token is the ":" before the result type (when present).
    if (Token() == ":")
        NextToken();
    for (bool first = true; Token() != ";"; NextToken(), first = false) {
        if (first)
            text += " " + Token();
        else
            JoinToken(text, Token());
    }
    text += ";";
}

void TUnitParser::ParseFunctionType(std::string text) {
    text += " = function";
    NextToken();
    bool hasParams = false;
    if (Token() == "(") {
        if (NextToken() != ")") {
            hasParams = true;
            text += "(";
            CollectParamsFrom(text);
            text += "):";
        }
        NextToken();
    }
    if (!hasParams)
        text += " :";
    ReadResultType(text);
    ReadRoutineDirectives(text, false);
    AddDecl(ListTypes, TDeclListKind::Types, std::move(text));
}

// ---------------------------------------------------------------- classes

std::string TUnitParser::ReadAncestor() {
    // A (possibly unit-qualified) ancestor name; the current token is the one
    // after it on return.
    std::string name = NextToken();
    while (NextToken() == ".")
        name += "." + NextToken();
    return name;
}

void TUnitParser::ParseClassDecl(const std::string& typeName, const std::string& kindWord) {
    // "sealed" and "abstract" stand between the kind word and the ancestors;
    // they are kept in the heading but do not change the classification.
    std::string modifiers;
    while (OneOf(Lower(), {"sealed", "abstract"})) {
        modifiers += " " + Token();
        NextToken();
    }
    std::string heading = typeName + " = " + kindWord + modifiers;
    std::string plain = typeName + " = " + kindWord;
    bool hasAncestors = Token() == "(";
    if (hasAncestors) {
        std::string ancestors = "(" + ReadAncestor();
        while (Token() == ",")
            ancestors += ", " + ReadAncestor();
        if (Token() != ")")
            throw reader.Error("')' expected");
        ancestors += ")";
        heading += ancestors;
        plain += ancestors;
        NextToken();
    }

    auto object = std::make_unique<TParseObject>();
    object->Name = typeName;
    object->Declaration = heading;
    std::string lowerPlain = LowerAscii(plain);
    if (kindWord == "interface" || kindWord == "dispinterface")
        object->Kind = TObjectKind::Interface;
    else if (!hasAncestors)
        object->Kind = TObjectKind::Class;
    else if (Contains(lowerPlain, "tobject") || Contains(lowerPlain, "tpersistent"))
        object->Kind = TObjectKind::Class;
    else if ((plain[0] == 'E' || plain[0] == 'e') && Contains(lowerPlain, "class(e"))
        object->Kind = TObjectKind::Exception;
    if (object->Kind == TObjectKind::Exception || object->Kind == TObjectKind::Class)
        object->Tasks = false;

    if (Token() == "[") {
        std::string guid = "[";
        do
            guid += NextToken();
        while (Token() != "]");
        object->Guid = guid;
        NextToken();
    }

    if (Token() == ";") {
        object->EndMembers();
        ParseObjects.push_back(std::move(object));
        NextToken();
        return;
    }

    TVisibility visibility = TVisibility::Public;
    bool pendingClass = false;
    for (std::string lower = Lower(); lower != "end"; lower = Lower()) {
        if (lower == "private") {
            SkipPrivateSection();
        } else if (lower == "strict") {
            // "strict private" is private; "strict protected" is protected.
            std::string next = LowerAscii(NextToken());
            if (next == "private") {
                SkipPrivateSection();
            } else if (next == "protected") {
                visibility = TVisibility::Protected;
                NextToken();
            }
        } else if (lower == "protected") {
            visibility = TVisibility::Protected;
            NextToken();
        } else if (lower == "public") {
            visibility = TVisibility::Public;
            NextToken();
        } else if (lower == "automated") {
            visibility = TVisibility::Automated;
            NextToken();
        } else if (lower == "published") {
            visibility = TVisibility::Published;
            NextToken();
        } else if (lower == "property") {
            pendingClass = false;
            ParseProperty(*object, visibility);
        } else if (lower == "class") {
            pendingClass = true;
            NextToken();
        } else if (OneOf(lower, {"procedure", "constructor", "destructor", "function"})) {
            ParseMethod(*object, visibility, pendingClass);
            pendingClass = false;
        } else {
            // Fields and whatever else: "class var" must not carry its mark
            // over to the next method.
            pendingClass = false;
            SkipDeclaration();
        }
    }
    object->EndMembers();
    ParseObjects.push_back(std::move(object));
    // Past "end" and whatever hint follows it up to its ";".
    while (NextToken() != ";") {
    }
    NextToken();
}

void TUnitParser::SkipPrivateSection() {
    NextToken();
    bool afterEquals = false;
    for (;;) {
        std::string lower = Lower();
        if (OneOf(lower, {"end", "protected", "public", "automated", "published"}))
            return;
        if (lower == "record") {
            SkipRecord(1);
            afterEquals = false;
            continue;
        }
        if (afterEquals && SkipNestedType(1)) {
            afterEquals = false;
            continue;
        }
        afterEquals = Token() == "=";
        NextToken();
    }
}

bool TUnitParser::SkipNestedType(int depth) {
    // A class-like type declared inside a class ("type TInner = class ...
    // end;"): its "end" must not be taken for the outer class's.
    std::string lower = Lower();
    if (!OneOf(lower, {"class", "object", "interface", "dispinterface"}))
        return false;
    CheckDepth(depth);
    NextToken();
    if (Lower() == "of")
        return true; // "class of TFoo;" has no body
    while (OneOf(Lower(), {"sealed", "abstract"}))
        NextToken();
    if (Token() == "(") {
        while (NextToken() != ")") {
        }
        NextToken();
    }
    if (Token() == "[") {
        while (NextToken() != "]") {
        }
        NextToken();
    }
    if (Token() == ";")
        return true; // forward declaration or no body
    bool afterEquals = false;
    for (;;) {
        lower = Lower();
        if (lower == "end") {
            NextToken();
            return true;
        }
        if (lower == "record") {
            SkipRecord(depth + 1);
            afterEquals = false;
            continue;
        }
        if (afterEquals && SkipNestedType(depth + 1)) {
            afterEquals = false;
            continue;
        }
        afterEquals = Token() == "=";
        NextToken();
    }
}

void TUnitParser::SkipRecord(int depth) {
    CheckDepth(depth);
    NextToken();
    for (;;) {
        std::string lower = Lower();
        if (lower == "end")
            break;
        if (lower == "record")
            SkipRecord(depth + 1);
        else
            NextToken();
    }
    NextToken();
}

void TUnitParser::SkipDeclaration() {
    bool afterEquals = false;
    while (Token() != ";") {
        if (Lower() == "record") {
            SkipRecord(1);
            afterEquals = false;
            continue;
        }
        if (afterEquals && SkipNestedType(1)) {
            afterEquals = false;
            continue;
        }
        afterEquals = Token() == "=";
        NextToken();
    }
    NextToken();
}

namespace {

TMemberFlags InitialFlags(bool key, TVisibility visibility) {
    TMemberFlags flags;
    flags.key = key;
    flags.seeAlso = true;
    flags.example = true;
    if (visibility != TVisibility::Protected) {
        flags.mention = true;
        flags.include = key;
    }
    return flags;
}

} // namespace

void TUnitParser::ParseProperty(TParseObject& object, TVisibility visibility) {
    TMemberEntry entry;
    entry.visibility = visibility;
    std::string text = "property " + NextToken();
    NextToken();
    if (Token() == "[") {
        text += "[";
        while (NextToken() != "]")
            JoinToken(text, Token());
        text += "]";
        NextToken();
    }
    bool key = false;
    bool isEvent = false;
    if (Token() == ":") {
        key = true;
        text += ":";
        NextToken();
        isEvent = Contains(Lower(), "event") && Contains(LowerAscii(text), " on");
        for (bool first = true;
             !OneOf(Lower(), {";", "index", "read", "write", "stored", "default"});
             NextToken(), first = false) {
            if (first)
                text += " " + Token();
            else
                JoinToken(text, Token());
        }
    } else {
        isEvent = Contains(LowerAscii(text), " on");
    }
    text += ";";
    while (Token() != ";") {
        std::string lower = Lower();
        if (lower == "read")
            entry.canRead = true;
        else if (lower == "write")
            entry.canWrite = true;
        NextToken();
    }
    NextToken();
    // The array property's "default;" belongs to the property, so that the
    // comment after it is the property's description.
    if (Lower() == "default") {
        if (NextToken() == ";")
            NextToken();
    }
    entry.declaration = std::move(text);
    entry.hasAccess = !isEvent;
    if (isEvent)
        entry.canRead = entry.canWrite = false;
    entry.flags = InitialFlags(key, visibility);
    entry.description = reader.TakeDescription();
    object.AddMember(isEvent ? TMemberKind::Event : TMemberKind::Property, std::move(entry));
}

void TUnitParser::ParseMethod(TParseObject& object, TVisibility visibility, bool classMethod) {
    std::string keyword = Lower();
    bool isFunction = keyword == "function";
    std::string text = keyword + " " + NextToken();
    if (classMethod)
        text = "class " + text;
    NextToken();
    // Method resolution clauses ("procedure IFoo.Bar = Baz;") and qualified
    // names keep their dots.
    while (Token() == ".") {
        text += "." + NextToken();
        NextToken();
    }
    bool hasParams = false;
    if (Token() == "(") {
        hasParams = true;
        text += "(";
        NextToken();
        CollectParamsFrom(text);
        NextToken();
    }
    if (isFunction) {
        text += hasParams ? "):" : ":";
        ReadResultType(text);
    } else {
        text += hasParams ? ");" : ";";
    }
    bool key = true;
    if (Token() == ";")
        NextToken();
    for (;;) {
        std::string lower = Lower();
        bool directive = isFunction
                             ? OneOf(lower, {"virtual", "dynamic", "override", "register", "pascal",
                                             "cdecl", "stdcall", "abstract"})
                             : OneOf(lower, {"virtual", "dynamic", "override", "register", "pascal",
                                             "cdecl", "stdcall", "abstract", "overload",
                                             "reintroduce", "deprecated", "platform", "library"});
        if (directive) {
            if (lower == "override")
                key = false;
            text += " " + Token() + ";";
            if (NextToken() == ";")
                NextToken();
        } else if (lower == "message" || lower == "dispid") {
            text += " " + Token();
            while (NextToken() != ";")
                text += " " + Token();
            text += ";";
            NextToken();
        } else if (Token() == ";") {
            NextToken();
        } else {
            break;
        }
    }
    TMemberEntry entry;
    entry.declaration = std::move(text);
    entry.visibility = visibility;
    entry.flags = InitialFlags(key, visibility);
    entry.description = reader.TakeDescription();
    object.AddMember(TMemberKind::Method, std::move(entry));
}

// ---------------------------------------------------------------- routines

void TUnitParser::ParseProcedureHeading() {
    std::string text = "procedure " + NextToken();
    if (NextToken() == "(") {
        text += "(";
        NextToken();
        CollectParamsFrom(text);
        text += ");";
        NextToken();
    } else {
        text += ";";
    }
    ReadRoutineDirectives(text, false);
    AddDecl(ListRoutines, TDeclListKind::Routines, std::move(text));
}

void TUnitParser::ParseFunctionHeading() {
    std::string text = "function " + NextToken();
    if (NextToken() == "(") {
        text += "(";
        NextToken();
        CollectParamsFrom(text);
        text += "):";
        NextToken();
    } else {
        text += ":";
    }
    ReadResultType(text);
    ReadRoutineDirectives(text, false);
    AddDecl(ListRoutines, TDeclListKind::Routines, std::move(text));
}

// ---------------------------------------------------------------- constants

void TUnitParser::ParseConstSection() {
    NextToken();
    while (!IsSectionKeyword(Lower())) {
        std::string text = Token();
        while (NextToken() != ";") {
            if (Token() == "(") {
                CollectParenGroup(text, 1, TCollect::Constant);
            } else {
                JoinConstToken(text, Token());
                if (Lower() == "record")
                    CollectRecordText(text, 1, TCollect::Constant);
            }
        }
        NextToken();
        AddDecl(ListConsts, TDeclListKind::Constants, std::move(text));
    }
}

// ---------------------------------------------------------------- variables

void TUnitParser::CollectVarRecordText(std::string& text, int depth) {
    CollectRecordText(text, depth);
}

void TUnitParser::ParseVarSection() {
    NextToken();
    while (!IsSectionKeyword(Lower())) {
        std::vector<std::string> names{Token()};
        while (NextToken() == ",")
            names.push_back(NextToken());
        if (Token() != ":")
            throw reader.Error("':' expected in var declaration");
        std::string typeText = ": " + NextToken();
        if (Lower() == "record")
            CollectVarRecordText(typeText, 1);
        else if (Token() == "(") {
            typeText.pop_back();
            CollectParenGroup(typeText, 1);
        }
        while (NextToken() != ";") {
            if (Token() == "(") {
                CollectParenGroup(typeText, 1);
            } else {
                JoinToken(typeText, Token());
                if (Lower() == "record")
                    CollectVarRecordText(typeText, 1);
            }
        }
        typeText += ";";
        NextToken();
        std::string description = reader.TakeDescription();
        for (const std::string& name : names) {
            ListVars.push_back(
                MakeDeclEntry(TDeclListKind::Variables, name + typeText, description));
        }
    }
}

} // namespace unitparser
