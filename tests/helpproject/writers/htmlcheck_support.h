#pragma once
// What a real HTML parser, libxml2's, finds wrong in a page the writers
// made, together with what they promise beyond it.
#include <string>
#include <vector>

namespace helpproject::testing {

// The problems of one page, each with its line: the parser's errors
// (misnested tags, end tags that close nothing, elements left open where
// their parent ends), every element but the empty ones (BR, HR, IMG, ...)
// closed by an end tag of its own, list items only in a UL or OL, no block
// (HR, P, TABLE, UL, CENTER, ...) inside a paragraph, no rule inside a
// text-level element (B, FONT, A, ...), and ALT text on every IMG and AREA.
// Empty when the page is sound.
std::vector<std::string> HtmlPageProblems(const std::string& page);

// A fragment of body markup checked as the body of a page.
std::vector<std::string> HtmlBodyProblems(const std::string& body);

} // namespace helpproject::testing
