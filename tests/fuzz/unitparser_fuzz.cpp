// Any bytes as a Pascal unit: the parser must end with a result or an
// EParseError, never crash, hang or grow without bound; what it collects must
// number and generate without fault.
#include "unitparser/topicgenerator.h"
#include "unitparser/unitparser.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class NullSink : public unitparser::TParsedTopicSink {
public:
    void AddParsedTopic(std::int32_t, const std::string&) override {}
    void SetTopicFields(const std::string&, const std::string&, const std::string&) override {}
    void ClearText() override {}
    void ApplyMacroFont(const std::string&) override {}
    void SetColor(unitparser::TTopicColor) override {}
    void SetStrikeOut(bool) override {}
    void SetUnderline(bool) override {}
    void InsertText(const std::string&) override {}
    void SetTabStops(const std::vector<int>&) override {}
    void InsertSourceCode(const std::string&) override {}
    void AddContentsLine(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unitparser::TUnitParser parser;
    try {
        parser.ParseText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.pas");
        unitparser::ApplySelection(parser);
        unitparser::AssignTopicNumbers(parser, 1000);
        NullSink sink;
        unitparser::GenerateTopics(parser, 1000, sink);
    } catch (const unitparser::EParseError&) {
    }
    return 0;
}
