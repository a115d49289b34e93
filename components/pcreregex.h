#pragma once
// A compiled regular expression over PCRE2 with a match loop that reports
// 1-based offsets and a replacement template language ($1, ${name}, \u1,
// \g<name>, $&, $`, $', $+, $_). Subjects are Windows-1252 bytes; case-
// insensitive matching and \w know the accented letters of that code page.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace components {

class EPcreRegEx : public std::runtime_error {
public:
    explicit EPcreRegEx(const std::string& message) : std::runtime_error(message) {}
};

enum TPcreRegExOption : unsigned {
    preCaseLess = 1u << 0,
    preMultiLine = 1u << 1,
    preSingleLine = 1u << 2,
    preExtended = 1u << 3,
    preAnchored = 1u << 4,
    preUnGreedy = 1u << 5,
    preNoAutoCapture = 1u << 6,
};
using TPcreRegExOptions = unsigned;

enum TPcreRegExExecFlag : unsigned {
    preNotBOL = 1u << 0,
    preNotEOL = 1u << 1,
    preNotEmpty = 1u << 2,
};
using TPcreRegExExecState = unsigned;

// The PCRE2 character tables (lower case, flip case, class bitmaps, ctypes)
// for Windows-1252, built from the platform's case maps. 1088 bytes, built
// once and shared.
const unsigned char* Cp1252CharacterTables();

class TPcreRegEx {
public:
    using MatchEvent = std::function<void(TPcreRegEx& sender)>;
    using ReplaceEvent = std::function<void(TPcreRegEx& sender, std::string& replaceWith)>;

    TPcreRegEx();
    ~TPcreRegEx();
    TPcreRegEx(const TPcreRegEx&) = delete;
    TPcreRegEx& operator=(const TPcreRegEx&) = delete;

    TPcreRegExOptions Options() const { return options_; }
    void SetOptions(TPcreRegExOptions options);
    const std::string& RegEx() const { return regEx_; }
    void SetRegEx(std::string_view pattern);
    const std::string& Replacement() const { return replacement_; }
    void SetReplacement(std::string_view replacement) { replacement_ = replacement; }
    MatchEvent OnMatch;
    ReplaceEvent OnReplace;

    bool Compiled() const { return code_ != nullptr; }
    bool Studied() const { return studied_; }
    TPcreRegExExecState ExecState() const { return execState_; }
    void SetExecState(TPcreRegExExecState state) { execState_ = state; }
    // A backtracking budget per match (PCRE2's match limit); 0 keeps
    // PCRE2's default. Exceeding it raises an error rather than "no match".
    void SetMatchLimit(uint32_t limit);

    const std::string& InputText() const { return subject_; }
    void SetInputText(std::string_view text);
    int ScanStart() const { return scanStart_; }
    int ScanStop() const { return scanStop_; }
    // Where the next MatchNext starts (1-based) and how much of the subject
    // it sees (a match ends there; MatchNext clamps it to the subject).
    void SetScanStart(int start) { scanStart_ = start; }
    void SetScanStop(int stop) { scanStop_ = stop; }
    // The value of the last execution: pairs set, 0 or negative when none.
    int MatchCount() const { return matchCount_; }
    uint32_t CompileFlags() const { return compileFlags_; }

    void Compile();
    void Study();
    void ReleaseCompiled();

    bool MatchFirst();
    bool MatchNext();

    int GroupCount() const { return matchCount_ - 1; }
    std::string GetGroup(int n) const;
    // 1-based start of group n (0 when the group is unset or out of range).
    int GroupOffset(int n) const;
    int GroupLength(int n) const;
    int MatchedTextOffset() const { return GroupOffset(0); }
    int MatchedTextLength() const { return GroupLength(0); }
    std::string SubjectLeft() const;
    std::string SubjectRight() const;
    int GroupIndexByName(std::string_view name) const;

    std::string ExpandReplacement() const;
    std::string ReplaceCurrent();
    // Replaces every match in one pass over the subject (linear in its
    // length): matching always runs on the original subject, so replaced
    // text is never matched again.
    bool ReplaceEvery();

private:
    bool Execute(int startOffset);
    std::string ExpandFor(std::string_view left, std::string_view right) const;
    std::string_view GroupView(int n) const;

    TPcreRegExOptions options_ = 0;
    std::string regEx_;
    std::string replacement_;
    bool studied_ = false;
    TPcreRegExExecState execState_ = preNotEmpty;
    uint32_t matchLimit_ = 0;
    std::string subject_;
    int scanStart_ = 1;
    int scanStop_ = 0;
    int matchCount_ = 0;
    uint32_t compileFlags_;
    // 1-based offsets of the last match, two per group (0 = unset).
    std::vector<int> offsets_;

    void* code_ = nullptr;      // pcre2_code_8*
    void* matchData_ = nullptr; // pcre2_match_data_8*
    void* matchContext_ = nullptr;
};

// Case conversions of the replacement language, on Windows-1252 text.
std::string RegExInitialCaps(std::string_view text);
std::string RegExFirstCap(std::string_view text);

} // namespace components
