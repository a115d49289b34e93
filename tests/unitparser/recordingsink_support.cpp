#include "recordingsink_support.h"

#include <stdexcept>

namespace unitparser::testing {

std::string TRecordedTopic::Joined(TTopicColor color, bool strike, bool underline) const {
    std::string out;
    for (const TPiece& p : pieces) {
        if (p.color != color || p.strike != strike || p.underline != underline)
            continue;
        if (!out.empty())
            out += "|";
        out += p.text;
    }
    return out;
}

void TRecordingSink::AddParsedTopic(std::int32_t number, const std::string& title) {
    if (failAfterTopics >= 0 && static_cast<int>(order.size()) >= failAfterTopics)
        throw std::runtime_error("sink failed");
    if (topics.count(number))
        throw std::runtime_error("topic number used twice: " + std::to_string(number));
    order.push_back(number);
    topic = &topics[number];
    topic->number = number;
    topic->title = title;
    current = TPiece{};
}

void TRecordingSink::SetTopicFields(const std::string& k, const std::string& a,
                                    const std::string& browse) {
    topic->k = k;
    topic->a = a;
    topic->browse = browse;
}

void TRecordingSink::ClearText() {
    topic->text.clear();
    topic->pieces.clear();
}

void TRecordingSink::ApplyMacroFont(const std::string& macroName) {
    current = TPiece{};
    current.macro = macroName;
}

void TRecordingSink::InsertText(const std::string& text) {
    topic->text += text;
    TPiece piece = current;
    piece.text = text;
    topic->pieces.push_back(piece);
}

void TRecordingSink::SetTabStops(const std::vector<int>& points) {
    topic->tabs.push_back(points);
}

void TRecordingSink::InsertSourceCode(const std::string& text) {
    TPiece piece = current;
    piece.source = true;
    piece.text = text;
    topic->text += text;
    topic->pieces.push_back(piece);
}

const TRecordedTopic& TRecordingSink::Topic(int number) const {
    auto it = topics.find(number);
    if (it == topics.end())
        throw std::runtime_error("no topic " + std::to_string(number));
    return it->second;
}

} // namespace unitparser::testing
