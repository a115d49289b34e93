#pragma once
// A topic sink that records what generation writes, topic by topic: the
// fields, the plain text, and each inserted piece with its format.
#include "unitparser/topicsink.h"

#include <map>
#include <string>
#include <vector>

namespace unitparser::testing {

struct TPiece {
    std::string text;
    std::string macro;
    TTopicColor color = ColorBlack;
    bool strike = false;
    bool underline = false;
    bool source = false;
};

struct TRecordedTopic {
    int number = 0;
    std::string title;
    std::string k, a, browse;
    std::string text; // every inserted piece, "\r\n" between paragraphs
    std::vector<TPiece> pieces;
    std::vector<std::vector<int>> tabs;
    // The text of the pieces in that colour and style, joined by "|".
    std::string Joined(TTopicColor color, bool strike, bool underline) const;
};

class TRecordingSink : public TParsedTopicSink {
public:
    void EndGeneration() override { ++ended; }
    void AddParsedTopic(std::int32_t number, const std::string& title) override;
    void SetTopicFields(const std::string& k, const std::string& a,
                        const std::string& browse) override;
    void ClearText() override;
    void ApplyMacroFont(const std::string& macroName) override;
    void SetColor(TTopicColor color) override { current.color = color; }
    void SetStrikeOut(bool on) override { current.strike = on; }
    void SetUnderline(bool on) override { current.underline = on; }
    void InsertText(const std::string& text) override;
    void SetTabStops(const std::vector<int>& points) override;
    void InsertSourceCode(const std::string& text) override;
    void AddContentsLine(const std::string& line) override { contents.push_back(line); }

    std::vector<int> order; // topic numbers in creation order
    std::map<int, TRecordedTopic> topics;
    std::vector<std::string> contents;
    int ended = 0;
    int failAfterTopics = -1; // throws on creating that many + 1

    const TRecordedTopic& Topic(int number) const;

private:
    TRecordedTopic* topic = nullptr;
    TPiece current;
};

} // namespace unitparser::testing
