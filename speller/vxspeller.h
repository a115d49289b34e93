#pragma once
// The spelling engine. It finds the installed dictionary languages in the
// registry, loads the dictionaries and the user word list of the selected
// language, walks a text through a parser word by word, stops at the first
// word it cannot accept, hands it to the check dialog with suggestions and
// carries out the user's answer. It is modeless: Check returns at a problem
// word (unless WaitForCompletion), and each button the dialog reports
// resumes it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "components/messengerseam.h"
#include "platform/registry.h"
#include "speller/dictionary.h"
#include "speller/dictionaryregistration.h"
#include "speller/parser.h"
#include "speller/spellerform.h"
#include "speller/userdictionary.h"
#include "speller/wordlist.h"

namespace speller {

// An error the user must see ("No dictionaries found", a dictionary that
// cannot be read).
class ESpellerError : public std::runtime_error {
public:
    explicit ESpellerError(const std::string& message) : std::runtime_error(message) {}
};

enum TSpellOption : uint32_t {
    soUpcase = 1u << 0,      // accept words in capitals only
    soNumbers = 1u << 1,     // accept words holding a digit
    soHTML = 1u << 2,        // skip HTML tags
    soInternet = 1u << 3,    // take addresses whole and accept them
    soQuoted = 1u << 4,      // skip lines starting with a quote character
    soAutoSuggest = 1u << 5, // quick suggestions with each problem word
    soRecheck = 1u << 6,     // check a replacement again
    soRepeated = 1u << 7,    // report repeated words
    soDualCaps = 1u << 8,    // (no effect)
};
using TSpellOptions = uint32_t;
inline constexpr TSpellOptions kDefaultSpellOptions =
    soUpcase | soNumbers | soInternet | soAutoSuggest | soRecheck | soRepeated;

inline constexpr std::string_view kDefaultIgnorePrefixes = "'";
inline constexpr std::string_view kDefaultIgnoreSuffixes = "';'s";

// One installed language as registered.
struct TSpellLanguage {
    std::string name;
    std::string ignorePrefixes;
    std::string ignoreSuffixes;
    std::string files; // up to three names separated by "|"
    // "name||prefixes||suffixes||files", as the dialog's language list takes it.
    std::string Entry() const;
};

// A word split for lookup: the core between stripped leading and trailing characters.
struct TPreparedWord {
    std::string core;
    int leading = 0;
    int trailing = 0;
};

// Quick suggestions from some dictionaries: for the lower-case form of the
// word when it differs (a lower-case suggestion taking the word's case), then
// for the word as it stands; one sorted list without duplicates.
std::vector<std::string> QuickSuggestionsFrom(const std::vector<const TDictionary*>& dictionaries,
                                              std::string_view word);

class TVXSpeller {
public:
    // Reads the registration from `registry` (HKCU `Software\Vexlor\Dictionaries`)
    // and selects language 0. `appDataFolder` is the user's application-data
    // folder, under which the user word lists live.
    TVXSpeller(platform::Registry& registry, std::filesystem::path appDataFolder,
               platform::RootKey registrationRoot = platform::RootKey::CurrentUser);
    // Reads the installed set where the download window registers it: the
    // catalogue beside a portable program, else the registry.
    TVXSpeller(platform::Registry& registry, const TDictionaryPlaces& places);
    virtual ~TVXSpeller();
    TVXSpeller(const TVXSpeller&) = delete;
    TVXSpeller& operator=(const TVXSpeller&) = delete;

    // --- properties
    TInitialPos InitialPos() const { return initialPos_; }
    void SetInitialPos(TInitialPos pos) { initialPos_ = pos; }
    bool KeepFormVisible() const { return keepFormVisible_; }
    void SetKeepFormVisible(bool keep);
    int MaxSuggestions() const { return maxSuggestions_; }
    void SetMaxSuggestions(int count);
    int MaxUndo() const { return maxUndo_; }
    void SetMaxUndo(int depth);
    TSpellOptions Options() const { return options_; }
    void SetOptions(TSpellOptions options) { options_ = options; }
    bool HasOption(TSpellOption option) const { return (options_ & option) != 0; }
    const std::string& QuoteChars() const { return quoteChars_; }
    void SetQuoteChars(std::string chars) { quoteChars_ = std::move(chars); }
    TSelBehavior SelBehavior() const { return selBehavior_; }
    void SetSelBehavior(TSelBehavior behavior) { selBehavior_ = behavior; }
    bool WaitForCompletion() const { return waitForCompletion_; }
    void SetWaitForCompletion(bool wait) { waitForCompletion_ = wait; }

    // --- events and hooks
    std::function<void()> OnInitSpeller;
    std::function<void()> OnCompleteCheck;
    // A dictionary beside the main one could not be read; the check goes on
    // without it. The argument is the user's message.
    std::function<void(const std::string&)> OnWarning;
    // The messenger that lets pending events through every 256 words,
    // during the extended search and while WaitForCompletion waits (the
    // check dialog's buttons arrive that way). Not owned; may be null. A
    // wait ends when there is none or when it reports that the person asked
    // to stop; the check then stays at its word, as it does without a wait.
    void SetMessenger(components::IMessenger* messenger) { messenger_ = messenger; }
    components::IMessenger* Messenger() const { return messenger_; }

    // --- languages
    bool DictionariesAvailable() const { return !languages_.empty(); }
    const std::vector<TSpellLanguage>& LanguageList() const { return languages_; }
    std::vector<std::string> Languages() const;
    int Language() const { return language_; }
    void SetLanguage(int index);
    void LoadLanguage(std::string_view key);
    void SaveLanguage(std::string_view key);
    const std::filesystem::path& InstallFolder() const { return installFolder_; }

    // --- dictionaries and word lists
    // Loads the selected language's dictionaries and user word list unless
    // loaded. Throws ESpellerError when none is installed or the main
    // dictionary cannot be read.
    void LoadDictionaries();
    TDictionary* MainDictionary() const { return dictionaries_[0].get(); }
    TDictionary* Dictionary(int index) const { return dictionaries_[index].get(); }
    TUserDictionary* UserDictionary() const { return userDictionary_.get(); }
    // Puts another word list in place of the language's own (saving the
    // old one); a ".dic" list is read-only and disables learning.
    void UseUserDictionary(const std::filesystem::path& fileName);
    void LoadUserDictionary();
    void ReleaseUserDictionary();
    bool IsWord(std::string_view word) const;
    void AddAlwaysIgnore(std::string_view word);
    void AddAlwaysReplace(std::string_view word, std::string_view replacement);
    void AddLearned(std::string_view word);
    void AddAutoCorrect(std::string_view word, std::string_view replacement);
    const TWordList& AlwaysIgnore() const { return alwaysIgnore_; }
    const std::vector<std::string>& AlwaysReplaceWords() const { return replaceWords_; }
    const std::vector<std::string>& AlwaysReplacements() const { return replacements_; }
    // The auto-correction of a word: the always-replace pair, else the user's.
    std::string FindAutoCorrection(std::string_view word) const;
    // Letters of the dictionaries (main first): for suggestions without A-Z,
    // for the parser with every missing capital added.
    std::string SuggestionLetters() const;
    std::string ParserWordChars() const;

    // --- word rules
    TPreparedWord PrepareWord(std::string_view word) const;
    // Quick suggestions for a word (Suggest Similar and each problem word).
    std::vector<std::string> QuickSuggestions(std::string_view word) const;
    static std::string AdaptCase(std::string_view suggestion, std::string_view original);
    static bool IsAllCaps(std::string_view word);

    // --- the check
    // The parser over the text to check; the engine owns it.
    void SetParser(std::unique_ptr<TParser> parser);
    TParser* Parser() const { return parser_.get(); }
    // Throws ESpellerError when no language is installed. When the chosen
    // language's dictionary cannot be read, the window opens with the
    // problem instead of a word, so that another language can be chosen.
    void Check();
    bool Running() const { return running_; }
    bool Aborted() const { return aborted_; }
    bool WaitingAtWord() const { return waiting_; }
    bool RepeatedWordFound() const { return repeatedFound_; }
    const std::string& CurrentWord() const { return currentWord_; }
    // Why the chosen language cannot be used while the window waits for
    // another choice; empty otherwise.
    const std::string& DictionaryProblem() const { return dictionaryProblem_; }
    IVXSpellerForm* Form() const { return form_.get(); }

    // The dialog's callbacks.
    void ButtonClicked(TSpellButton button);
    void FormClosed();
    void FormShown() {}

protected:
    // Creates the check dialog.
    virtual std::unique_ptr<IVXSpellerForm> CreateSpellerForm() = 0;
    // Opens the user word list editor (Word List button).
    virtual void EditWordList() {}
    // Lets pending events through during a check (every 256 words, in the
    // extended search): the messenger's, when there is one.
    virtual void ProcessEvents();
    // One step of waiting for the dialog's answer while WaitForCompletion
    // holds the check; false ends the wait (the check then stays at its
    // word). Here: the messenger's events, until it reports a stop.
    virtual bool WaitForEvent();

private:
    void ReadRegistration(platform::Registry& registry, const TDictionaryPlaces& places);
    void SetupParser();
    void StartParser();
    void RunLoop();
    void PlaceAndShowForm(bool atWord);
    // The window waits for a language whose dictionary can be read.
    void ShowDictionaryProblem(const std::string& message);
    // SetLanguage during a check; a dictionary that cannot be read shows
    // the problem and returns false.
    bool ChangeLanguage(int index);
    void ResumeAfterProblem();
    void StopAt(const TPreparedWord& word, bool repeated);
    void ExtendedSearch(const std::string& word);
    void WaitForCheck();
    void Resume();
    void DoReplace(const std::string& replacement, int undoKind);
    void ResumeFromCursor();
    void Undo();
    void DeleteRepeated();
    void Complete(bool aborted);
    void FreeLanguage();

    TInitialPos initialPos_ = TInitialPos::ipAvoidControl;
    bool keepFormVisible_ = false;
    int maxSuggestions_ = 20;
    int maxUndo_ = 20;
    TSpellOptions options_ = kDefaultSpellOptions;
    std::string quoteChars_;
    TSelBehavior selBehavior_ = TSelBehavior::sbAvoid;
    bool waitForCompletion_ = true;

    platform::Registry& registry_;
    components::IMessenger* messenger_ = nullptr;
    std::filesystem::path appDataFolder_;
    std::vector<TSpellLanguage> languages_;
    std::filesystem::path installFolder_;
    int language_ = 0;
    std::unique_ptr<TDictionary> dictionaries_[3];
    std::unique_ptr<TUserDictionary> userDictionary_;
    std::string ignorePrefixes_{kDefaultIgnorePrefixes};
    std::string ignoreSuffixes_{kDefaultIgnoreSuffixes};
    std::vector<std::string> prefixList_;
    std::vector<std::string> suffixList_;
    TWordList alwaysIgnore_{true};
    std::vector<std::string> replaceWords_;
    std::vector<std::string> replacements_;
    std::unique_ptr<TParser> parser_;
    std::unique_ptr<IVXSpellerForm> form_;
    bool formShownOnce_ = false;

    std::string currentWord_;
    std::string previousWord_;
    bool running_ = false;
    bool aborted_ = false;
    bool waiting_ = false;
    bool inLoop_ = false;
    bool repeatedFound_ = false;
    bool parserStarted_ = false;
    std::string dictionaryProblem_;
    bool searchBusy_ = false;
    bool stopRequested_ = false;
    TSpellButton pendingButton_ = TSpellButton::Abort;
    unsigned wordCount_ = 0;
};

} // namespace speller
