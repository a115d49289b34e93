#pragma once
// A topic sink that writes generated topics straight into a project, through
// the RTF document model: what the main window's editor does, without a
// window. Used by batch runs, the test driver and the tests.
#include "components/rtf/rtfdocument.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"
#include "unitparser/topicsink.h"

#include <string>
#include <vector>

namespace unitparser {

// The font of a built-in text style as the main window creates it ("*TopicTitle":
// Arial, blue, 16 points, bold; ...). Unknown names give "*TopicText".
helpproject::TTextStyleMacro DefaultTextStyle(const std::string& name);

class TProjectTopicSink : public TParsedTopicSink {
public:
    // `styles` may be nullptr: the built-in styles' default fonts are used.
    // Styles missing from the list fall back to those defaults too.
    TProjectTopicSink(helpproject::TBrindlewovenProject& project,
                      const helpproject::TTextStyleList* styles);

    void EndGeneration() override { Flush(); }
    void AddParsedTopic(std::int32_t number, const std::string& title) override;
    void SetTopicFields(const std::string& kKeywords, const std::string& aKeywords,
                        const std::string& browseSequence) override;
    void ClearText() override;
    void ApplyMacroFont(const std::string& macroName) override;
    void SetColor(TTopicColor color) override;
    void SetStrikeOut(bool on) override { format.strike = on; }
    void SetUnderline(bool on) override;
    void InsertText(const std::string& text) override;
    void SetTabStops(const std::vector<int>& points) override;
    void InsertSourceCode(const std::string& text) override;
    void AddContentsLine(const std::string& line) override;

    // The topics created, in order (AddTopic may have moved one to the next
    // free number when its number was taken).
    const std::vector<std::int32_t>& Created() const { return created; }

private:
    void Flush();
    std::size_t Caret() const;

    helpproject::TBrindlewovenProject& project;
    const helpproject::TTextStyleList* styles;
    helpproject::TBrindlewovenTopic* topic = nullptr;
    rtf::RtfDocument document;
    rtf::CharFormat format;
    std::vector<std::int32_t> created;
};

// The character format of a text style's font.
rtf::CharFormat CharFormatOfStyle(const helpproject::TTextStyleMacro& style);

} // namespace unitparser
