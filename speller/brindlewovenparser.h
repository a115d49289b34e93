#pragma once
// The parser of topic text: the rich-edit walk, stepping over what the topic
// keeps for the writers rather than for the reader. A markup code ("{" and
// one of the code keywords) is skipped up to its "}" (or the end of the
// paragraph), and text formatted as hidden is never checked.
#include <string>
#include <vector>

#include "speller/parser.h"
#include "speller/wordlist.h"

namespace speller {

// The keywords of the topic codes whose contents are never checked.
const std::vector<std::string>& TopicCodeKeywords();

class TBrindlewovenRichEditParser : public TCustomRichEditParser {
public:
    explicit TBrindlewovenRichEditParser(ITextTarget& target);

    std::optional<std::string> GetNextWord() override;
    void ReplaceWord(std::string_view text) override;
    bool DeleteBlank() override;
    void InsertAfterWord(std::string_view text) override;
    void TextMayHaveChanged() override;

    const TWordList& Keywords() const { return keywords_; }

protected:
    void ApplyUndoText(const TUndo& record) override;

private:
    const ITextTarget::TColumnRanges& HiddenOfLine();

    TWordList keywords_{true};
    int hiddenLine_ = -1;
    ITextTarget::TColumnRanges hidden_;
};

} // namespace speller
