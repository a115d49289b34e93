#include "unitparser/parsedump.h"

namespace unitparser {

namespace {

std::string OneLine(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            result += "\\n";
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\\') {
            result += "\\\\";
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace

std::string DumpParse(const TUnitParser& parser) {
    std::string out = "unit " + parser.UnitName + "\n";
    for (const auto& object : parser.ParseObjects) {
        out += "class " + object->Name + " " + KindSingular(object->Kind) +
               " include=" + (object->Include ? "1" : "0") +
               " seealso=" + (object->SeeAlso ? "1" : "0") +
               " tasks=" + (object->Tasks ? "1" : "0") + "\n";
        out += "  heading " + object->Declaration + "\n";
        if (!object->Guid.empty())
            out += "  guid " + object->Guid + "\n";
        for (const auto& e : object->Properties)
            out += "  property " + OneLine(e.BarText()) + "\n";
        for (const auto& e : object->Methods)
            out += "  method " + OneLine(e.BarText()) + "\n";
        for (const auto& e : object->Events)
            out += "  event " + OneLine(e.BarText()) + "\n";
    }
    for (const auto& e : parser.ListTypes)
        out += "type " + OneLine(e.BarText()) + "\n";
    for (const auto& e : parser.ListRoutines)
        out += "routine " + OneLine(e.BarText()) + "\n";
    for (const auto& e : parser.ListConsts)
        out += "const " + OneLine(e.BarText()) + "\n";
    for (const auto& e : parser.ListVars)
        out += "var " + OneLine(e.BarText()) + "\n";
    return out;
}

} // namespace unitparser
