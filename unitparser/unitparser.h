#pragma once
// Reads the interface section of one Object Pascal unit and collects what it
// declares: class-like types with their members, other types, routines,
// constants and variables, each with the comment that follows it as its
// description. The parser works on a flat token stream and never evaluates
// anything; declarations are display text rebuilt from their tokens.
#include "unitparser/parseobject.h"
#include "unitparser/sourcereader.h"

#include <memory>
#include <string>
#include <vector>

namespace unitparser {

class TUnitParser {
public:
    // Deepest nesting of parentheses or records the collectors follow.
    static constexpr int MaxNesting = 128;

    // Parses the unit file. Raises EParseError, whose message names the
    // file (and, for an error in the interface section, the line: "NAME:
    // Error in line %d: ..."); nothing of a failed run is kept.
    void ParseFile(const std::string& fileName);
    // The same on text already in memory.
    void ParseText(std::string text, const std::string& fileName);

    std::string UnitName;
    std::vector<std::unique_ptr<TParseObject>> ParseObjects;
    std::vector<TDeclEntry> ListTypes;
    std::vector<TDeclEntry> ListRoutines;
    std::vector<TDeclEntry> ListConsts;
    std::vector<TDeclEntry> ListVars;

    void Clear();
    // True when the parse found nothing to document.
    bool Empty() const;

private:
    void Run(const std::string& fileName);
    // The declarations of the interface section, up to "implementation".
    void ParseInterface();
    // A parse error as "Error in line %d: " and its text.
    std::string Placed(const std::string& message) const;

    // Section keyword test on a lower-case token; "implementation" also
    // marks the end of the interface section.
    bool IsSectionKeyword(const std::string& lowerToken);

    const std::string& NextToken() { return reader.NextToken(); }
    const std::string& Token() const { return reader.Token(); }
    std::string Lower() const { return LowerAscii(reader.Token()); }

    void ParseTypeSection();
    void ParseClassDecl(const std::string& typeName, const std::string& kindWord);
    void ParseProperty(TParseObject& object, TVisibility visibility);
    void ParseMethod(TParseObject& object, TVisibility visibility, bool classMethod);
    void ParseProcedureType(std::string text);
    void ParseFunctionType(std::string text);
    void ParseProcedureHeading();
    void ParseFunctionHeading();
    void ParseConstSection();
    void ParseVarSection();

    // Declarations and constant values are collected alike, but joined by
    // their own spacing rules; a constant's parentheses may hold records.
    enum class TCollect { Declaration, Constant };
    void CollectParenGroup(std::string& text, int depth, TCollect how = TCollect::Declaration);
    void CollectRecordText(std::string& text, int depth, TCollect how = TCollect::Declaration);
    void CollectVarRecordText(std::string& text, int depth);
    void CollectParamsFrom(std::string& text);
    void ReadResultType(std::string& text);
    void ReadRoutineDirectives(std::string& text, bool allowOf);
    void SkipRecord(int depth);
    void SkipPrivateSection();
    void SkipDeclaration();
    bool SkipNestedType(int depth);
    std::string ReadAncestor();
    void CheckDepth(int depth) const;

    void AddDecl(std::vector<TDeclEntry>& list, TDeclListKind kind, std::string text);

    TSourceReader reader;
    bool implementationReached = false;
};

// The two declaration joining rules: no blank before a token beginning with
// one of ( ) , . : ; [ ] (the constant rule leaves "(" and "[" out of that set),
// and none after text ending in ( . [ ^.
void JoinToken(std::string& text, std::string_view token);
void JoinConstToken(std::string& text, std::string_view token);

} // namespace unitparser
