#include "speller/vxspeller.h"

#include <algorithm>
#include <system_error>

#include "platform/codepage.h"
#include "platform/resolvepath.h"
#include "speller/edits.h"
#include "speller/inifile.h"

namespace speller {

namespace {

constexpr unsigned kWordsBetweenMessages = 256;
// Candidates tested between two looks at the message queue in the extended search.
constexpr unsigned kCandidatesBetweenMessages = 1024;

std::vector<std::string> SplitNonEmpty(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find(separator, pos);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > pos)
            parts.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

bool AllDigits(std::string_view word) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool HasDigit(std::string_view word) {
    return std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::filesystem::path Resolve(std::string_view ansiName, const std::filesystem::path& base) {
    try {
        return platform::resolvePath(ansiName, base);
    } catch (const std::exception&) {
        return base / platform::Cp1252ToUtf8(ansiName);
    }
}

} // namespace

std::string TSpellLanguage::Entry() const {
    return name + "||" + ignorePrefixes + "||" + ignoreSuffixes + "||" + files;
}

TVXSpeller::TVXSpeller(platform::Registry& registry, std::filesystem::path appDataFolder,
                       platform::RootKey registrationRoot)
    : TVXSpeller(registry,
                 TDictionaryPlaces{{}, false, std::move(appDataFolder), registrationRoot}) {}

TVXSpeller::TVXSpeller(platform::Registry& registry, const TDictionaryPlaces& places)
    : registry_(registry), appDataFolder_(places.AppDataFolder) {
    ReadRegistration(registry, places);
    SetLanguage(0);
}

TVXSpeller::~TVXSpeller() {
    // The user's words must survive the speller even when nobody released them.
    try {
        FreeLanguage();
    } catch (...) {
    }
}

void TVXSpeller::ReadRegistration(platform::Registry& registry, const TDictionaryPlaces& places) {
    TDictionaryRegistration registration(registry, places);
    registration.Read();
    // Only a registered folder holds dictionaries for the engine.
    if (registration.RegisteredFolder().empty())
        return;
    installFolder_ = registration.RegisteredFolder();
    std::error_code ec;
    for (const TDictionaryHeader& header : registration.Installed()) {
        if (header.Files.empty() || header.Name.empty())
            continue;
        if (!std::filesystem::is_regular_file(Resolve(header.FirstFileName(), installFolder_), ec))
            continue;
        TSpellLanguage language;
        language.name = header.Name;
        language.ignorePrefixes = header.IgnorePrefixes;
        language.ignoreSuffixes = header.IgnoreSuffixes;
        language.files = header.Files;
        languages_.push_back(std::move(language));
    }
}

std::vector<std::string> TVXSpeller::Languages() const {
    std::vector<std::string> entries;
    for (const auto& language : languages_)
        entries.push_back(language.Entry());
    return entries;
}

void TVXSpeller::FreeLanguage() {
    for (auto& dictionary : dictionaries_)
        dictionary.reset();
    if (userDictionary_ && userDictionary_->Loaded() && userDictionary_->Modified()) {
        try {
            userDictionary_->Save();
        } catch (const std::exception& e) {
            if (OnWarning)
                OnWarning(e.what());
        }
    }
    userDictionary_.reset();
}

void TVXSpeller::SetLanguage(int index) {
    if (languages_.empty())
        return;
    index = std::clamp(index, 0, static_cast<int>(languages_.size()) - 1);
    FreeLanguage();
    const TSpellLanguage& language = languages_[static_cast<std::size_t>(index)];
    ignorePrefixes_ = language.ignorePrefixes;
    ignoreSuffixes_ = language.ignoreSuffixes;

    std::vector<std::string> files;
    std::string_view rest = language.files;
    while (files.size() < 3 && !rest.empty()) {
        std::size_t bar = rest.find('|');
        files.emplace_back(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!files[i].empty())
            dictionaries_[i] = std::make_unique<TDictionary>(Resolve(files[i], installFolder_));

    if (dictionaries_[0]) {
        std::filesystem::path udt = dictionaries_[0]->FileName().filename();
        udt.replace_extension(".udt");
        std::filesystem::path shared = appDataFolder_ / "Vexlor" / udt;
        std::error_code ec;
        std::filesystem::path place = shared;
        if (!std::filesystem::exists(shared, ec)) {
            std::filesystem::path folder = appDataFolder_ / "Vexlor" / "Dictionaries";
            std::filesystem::create_directories(folder, ec);
            place = folder / udt;
        }
        userDictionary_ = std::make_unique<TUserDictionary>(place);
    }

    prefixList_ = SplitNonEmpty(ignorePrefixes_, ';');
    suffixList_ = SplitNonEmpty(ignoreSuffixes_, ';');
    language_ = index;
    if (running_) {
        LoadDictionaries();
        if (parser_)
            parser_->SetWordChars(ParserWordChars());
    }
}

void TVXSpeller::LoadLanguage(std::string_view key) {
    if (!DictionariesAvailable())
        return;
    if (auto value = registry_.ReadDword(platform::RootKey::CurrentUser, key, "Language"))
        SetLanguage(static_cast<int32_t>(*value));
}

void TVXSpeller::SaveLanguage(std::string_view key) {
    if (!DictionariesAvailable())
        return;
    registry_.WriteDword(platform::RootKey::CurrentUser, key, "Language",
                         static_cast<uint32_t>(language_));
}

void TVXSpeller::LoadDictionaries() {
    if (!DictionariesAvailable())
        throw ESpellerError("No dictionaries found");
    if (!dictionaries_[0])
        SetLanguage(0);
    if (!dictionaries_[0] || dictionaries_[0]->Loaded())
        return;
    TDictionary& main = *dictionaries_[0];
    // Without its main dictionary every word would be reported: refuse to
    // check instead.
    try {
        if (!main.Load())
            throw ESpellerError("The dictionary \"" + main.FileName().string() +
                                "\" cannot be read: the file does not exist.");
    } catch (const EDictionaryError& e) {
        throw ESpellerError(std::string(e.what()) + " It cannot be read.");
    }
    for (int i = 1; i < 3; ++i) {
        if (!dictionaries_[i])
            continue;
        try {
            dictionaries_[i]->Load();
        } catch (const EDictionaryError& e) {
            if (OnWarning)
                OnWarning(e.what());
        }
    }
    if (userDictionary_) {
        userDictionary_->Load();
        if (!userDictionary_->LoadError().empty() && OnWarning)
            OnWarning("The user word list \"" + userDictionary_->FileName().string() +
                      "\" cannot be read: " + userDictionary_->LoadError());
    }
    if (OnInitSpeller)
        OnInitSpeller();
}

void TVXSpeller::UseUserDictionary(const std::filesystem::path& fileName) {
    if (userDictionary_ && userDictionary_->Loaded() && userDictionary_->Modified())
        userDictionary_->Save();
    userDictionary_ = std::make_unique<TUserDictionary>(fileName);
}

void TVXSpeller::LoadUserDictionary() {
    if (userDictionary_)
        userDictionary_->Load();
}

void TVXSpeller::ReleaseUserDictionary() {
    if (userDictionary_)
        userDictionary_->Release();
}

void TVXSpeller::SetKeepFormVisible(bool keep) {
    keepFormVisible_ = keep;
    if (!keep && form_)
        form_->SetVisible(false);
}

void TVXSpeller::SetMaxSuggestions(int count) {
    if (count == maxSuggestions_)
        return;
    maxSuggestions_ = count;
    for (auto& dictionary : dictionaries_)
        if (dictionary)
            dictionary->SetSuggestLimit(count);
}

void TVXSpeller::SetMaxUndo(int depth) {
    if (depth == maxUndo_)
        return;
    maxUndo_ = depth;
    if (parser_)
        parser_->SetMaxUndo(depth);
}

bool TVXSpeller::IsWord(std::string_view word) const {
    for (const auto& dictionary : dictionaries_)
        if (dictionary && dictionary->IsWord(word))
            return true;
    if (userDictionary_ && userDictionary_->Contains(word))
        return true;
    return alwaysIgnore_.Contains(word);
}

void TVXSpeller::AddAlwaysIgnore(std::string_view word) {
    alwaysIgnore_.Add(word);
}

void TVXSpeller::AddAlwaysReplace(std::string_view word, std::string_view replacement) {
    for (std::size_t i = 0; i < replaceWords_.size(); ++i)
        if (platform::AnsiSameText(replaceWords_[i], word)) {
            replacements_[i] = std::string(replacement);
            return;
        }
    replaceWords_.emplace_back(word);
    replacements_.emplace_back(replacement);
}

void TVXSpeller::AddLearned(std::string_view word) {
    if (userDictionary_)
        userDictionary_->AddWord(word);
}

void TVXSpeller::AddAutoCorrect(std::string_view word, std::string_view replacement) {
    if (userDictionary_)
        userDictionary_->AddAutoCorrect(word, replacement);
}

std::string TVXSpeller::FindAutoCorrection(std::string_view word) const {
    for (std::size_t i = 0; i < replaceWords_.size(); ++i)
        if (platform::AnsiSameText(replaceWords_[i], word))
            return replacements_[i];
    return userDictionary_ ? userDictionary_->FindAutoCorrect(word) : std::string();
}

static std::string LetterSet(const std::unique_ptr<TDictionary> (&dictionaries)[3]) {
    std::string letters;
    for (const auto& dictionary : dictionaries) {
        if (!dictionary)
            continue;
        for (char c : dictionary->Alphabet())
            if (letters.find(c) == std::string::npos)
                letters += c;
    }
    return letters;
}

std::string TVXSpeller::SuggestionLetters() const {
    std::string letters = LetterSet(dictionaries_);
    std::erase_if(letters, [](char c) { return c >= 'A' && c <= 'Z'; });
    return letters;
}

std::string TVXSpeller::ParserWordChars() const {
    std::string letters = LetterSet(dictionaries_);
    if (letters.empty())
        return std::string(kDefaultWordChars);
    std::size_t count = letters.size();
    for (std::size_t i = 0; i < count; ++i) {
        char upper = static_cast<char>(platform::AnsiUpper(static_cast<unsigned char>(letters[i])));
        if (letters.find(upper) == std::string::npos)
            letters += upper;
    }
    return letters;
}

TPreparedWord TVXSpeller::PrepareWord(std::string_view word) const {
    TPreparedWord result;
    auto strip = [](char c) { return c == '\'' || c == '-'; };
    std::size_t begin = 0, end = word.size();
    while (begin < end && strip(word[begin]))
        ++begin;
    while (end > begin && strip(word[end - 1]))
        --end;
    if (begin < end) {
        std::string lower = platform::AnsiLowerCase(word.substr(begin, end - begin));
        std::string_view view = lower;
        for (const auto& prefix : prefixList_)
            if (prefix.size() < view.size() && view.starts_with(prefix)) {
                begin += prefix.size();
                view.remove_prefix(prefix.size());
                break;
            }
        for (const auto& suffix : suffixList_)
            if (suffix.size() < view.size() && view.ends_with(suffix)) {
                end -= suffix.size();
                break;
            }
    }
    result.core.assign(word.substr(begin, end - begin));
    result.leading = static_cast<int>(begin);
    result.trailing = static_cast<int>(word.size() - end);
    return result;
}

bool TVXSpeller::IsAllCaps(std::string_view word) {
    bool letter = false;
    for (char ch : word) {
        auto c = static_cast<unsigned char>(ch);
        if (platform::AnsiLower(c) != c)
            letter = true;
        else if (platform::AnsiUpper(c) != c)
            return false;
    }
    return letter;
}

std::string TVXSpeller::AdaptCase(std::string_view suggestion, std::string_view original) {
    if (IsAllCaps(original))
        return platform::AnsiUpperCase(suggestion);
    std::string result(suggestion);
    if (!original.empty() && !result.empty()) {
        auto first = static_cast<unsigned char>(original[0]);
        if (platform::AnsiLower(first) != first)
            result[0] =
                static_cast<char>(platform::AnsiUpper(static_cast<unsigned char>(result[0])));
    }
    return result;
}

std::vector<std::string> QuickSuggestionsFrom(const std::vector<const TDictionary*>& dictionaries,
                                              std::string_view word) {
    TWordList result(true);
    std::string lower = platform::AnsiLowerCase(word);
    if (lower != word) {
        TWordList forLower(true);
        for (const TDictionary* dictionary : dictionaries)
            if (dictionary && dictionary->Loaded())
                dictionary->Suggest(lower, forLower);
        for (const auto& suggestion : forLower.Words())
            result.Add(platform::AnsiLowerCase(suggestion) == suggestion
                           ? TVXSpeller::AdaptCase(suggestion, word)
                           : suggestion);
    }
    for (const TDictionary* dictionary : dictionaries)
        if (dictionary && dictionary->Loaded())
            dictionary->Suggest(word, result);
    return result.Words();
}

std::vector<std::string> TVXSpeller::QuickSuggestions(std::string_view word) const {
    return QuickSuggestionsFrom(
        {dictionaries_[0].get(), dictionaries_[1].get(), dictionaries_[2].get()}, word);
}

void TVXSpeller::SetParser(std::unique_ptr<TParser> parser) {
    if (running_)
        Complete(true);
    parser_ = std::move(parser);
}

void TVXSpeller::SetupParser() {
    parser_->SetSkipHTML(HasOption(soHTML));
    parser_->SetSkipInternet(HasOption(soInternet));
    parser_->SetSkipQuoted(HasOption(soQuoted));
    // Without quote characters of its own the parser keeps its ">".
    if (!quoteChars_.empty())
        parser_->SetQuoteChars(quoteChars_);
    parser_->SetWordChars(ParserWordChars());
    parser_->SetMaxUndo(maxUndo_);
}

void TVXSpeller::ProcessEvents() {
    if (messenger_)
        messenger_->ProcessEvents();
}

bool TVXSpeller::WaitForEvent() {
    if (!messenger_ || messenger_->AbortRequested())
        return false;
    messenger_->ProcessEvents();
    return true;
}

void TVXSpeller::WaitForCheck() {
    while (running_ && WaitForEvent()) {
    }
}

void TVXSpeller::Check() {
    if (running_ || !parser_)
        return;
    // A language whose dictionary cannot be read still opens the window, so
    // that the person can choose another language there.
    std::string problem;
    try {
        LoadDictionaries();
    } catch (const ESpellerError& e) {
        if (!DictionariesAvailable())
            throw;
        problem = e.what();
    }
    if (!form_) {
        form_ = CreateSpellerForm();
        form_->SetCallbacks({[this](TSpellButton b) { ButtonClicked(b); }, [this] { FormClosed(); },
                             [this] { FormShown(); }});
    }
    form_->SetLanguages(Languages(), language_);
    aborted_ = false;
    running_ = true;
    waiting_ = false;
    repeatedFound_ = false;
    parserStarted_ = false;
    currentWord_.clear();
    previousWord_.clear();
    wordCount_ = 0;
    if (problem.empty())
        StartParser();
    else
        ShowDictionaryProblem(problem);
    if (waitForCompletion_)
        WaitForCheck();
}

void TVXSpeller::StartParser() {
    SetupParser();
    parser_->Start();
    parserStarted_ = true;
    RunLoop();
}

void TVXSpeller::ShowDictionaryProblem(const std::string& message) {
    dictionaryProblem_ = message + "\r\n\r\nChoose a language and click Resume.";
    waiting_ = false;
    form_->ShowProblem(dictionaryProblem_);
    PlaceAndShowForm(false);
}

bool TVXSpeller::ChangeLanguage(int index) {
    try {
        SetLanguage(index);
    } catch (const ESpellerError& e) {
        ShowDictionaryProblem(e.what());
        return false;
    }
    return true;
}

void TVXSpeller::ResumeAfterProblem() {
    form_->SetButtonEnabled(TSpellButton::Resume, false);
    if (!ChangeLanguage(form_->LanguageIndex()))
        return;
    dictionaryProblem_.clear();
    if (parserStarted_) {
        ResumeFromCursor();
        return;
    }
    form_->DisableAll();
    StartParser();
}

void TVXSpeller::RunLoop() {
    waiting_ = false;
    inLoop_ = true;
    for (;;) {
        if (!running_)
            break;
        auto next = parser_->GetNextWord();
        if (!next) {
            inLoop_ = false;
            Complete(false);
            return;
        }
        if (++wordCount_ % kWordsBetweenMessages == 0) {
            ProcessEvents();
            if (!running_)
                break;
        }
        TPreparedWord word = PrepareWord(*next);
        parser_->SetLeadingTrailing(word.leading, word.trailing);
        if (word.core.size() <= 1) {
            previousWord_.clear();
            continue;
        }
        bool accepted = IsWord(word.core);
        if (!accepted) {
            std::string lower = platform::AnsiLowerCase(word.core);
            accepted = lower != word.core && IsWord(lower);
        }
        if (!accepted) {
            std::string correction = FindAutoCorrection(word.core);
            if (!correction.empty()) {
                std::string adapted = AdaptCase(correction, word.core);
                parser_->SetCurrentWord(word.core);
                parser_->SelectWord(parser_->WordStart() + word.leading,
                                    static_cast<int>(word.core.size()));
                parser_->ReplaceWithoutUndo(adapted);
                previousWord_ = adapted;
                continue;
            }
            // Addresses are taken whole and never reported.
            if (parser_->InsideSkippedText() || AllDigits(word.core))
                accepted = true;
            else if (HasOption(soUpcase) && IsAllCaps(word.core))
                accepted = true;
            else if (HasOption(soNumbers) && HasDigit(word.core))
                accepted = true;
        }
        if (!accepted) {
            inLoop_ = false;
            StopAt(word, false);
            return;
        }
        if (HasOption(soRepeated) && !previousWord_.empty() &&
            platform::AnsiSameText(word.core, previousWord_) && !parser_->NoRepeatCandidate()) {
            inLoop_ = false;
            StopAt(word, true);
            return;
        }
        previousWord_ = word.core;
    }
    inLoop_ = false;
}

void TVXSpeller::StopAt(const TPreparedWord& word, bool repeated) {
    currentWord_ = word.core;
    repeatedFound_ = repeated;
    waiting_ = true;
    parser_->SetCurrentWord(word.core);
    parser_->SelectWord(parser_->WordStart() + word.leading, static_cast<int>(word.core.size()));
    parser_->ScrollToWord();
    parser_->PushUndo();
    parser_->NewestUndo()->previousWord = repeated ? previousWord_ : std::string();
    if (!repeated)
        previousWord_.clear();

    PlaceAndShowForm(true);

    form_->SetLearnAllowed(userDictionary_ && userDictionary_->CanLearn());
    form_->ShowWord(word.core, repeated, parser_->CanUndo());
    // A read-only word list cannot learn: say so by the buttons rather than
    // ignoring the click.
    if (!userDictionary_ || !userDictionary_->CanLearn()) {
        form_->SetButtonEnabled(TSpellButton::Learn, false);
        form_->SetButtonEnabled(TSpellButton::ReplaceLearn, false);
    }
    if (HasOption(soAutoSuggest) && !repeated)
        form_->SetSuggestions(QuickSuggestions(word.core));
    if (!repeated)
        ExtendedSearch(word.core);
}

void TVXSpeller::PlaceAndShowForm(bool atWord) {
    TPlacementRequest placement;
    placement.firstShowing = !formShownOnce_;
    placement.controlRect = parser_->GetControlRect();
    if (placement.firstShowing && !placement.controlRect)
        initialPos_ = TInitialPos::ipScreenCenter;
    placement.initialPos = initialPos_;
    placement.selBehavior = selBehavior_;
    if (atWord)
        placement.wordRect = parser_->GetWordRect();
    placement.avoidDistance = parser_->GetAvoidDistance();
    form_->Place(placement);
    form_->SetVisible(true);
    formShownOnce_ = true;
}

void TVXSpeller::ExtendedSearch(const std::string& word) {
    searchBusy_ = true;
    stopRequested_ = false;
    form_->SetBusy(true);
    const std::string lower = platform::AnsiLowerCase(word);
    const std::string letters = SuggestionLetters();
    const int max = maxSuggestions_;
    unsigned tested = 0;
    auto done = [&] { return stopRequested_ || !running_ || form_->SuggestionCount() > max; };
    auto hit = [&](const std::string& candidate) {
        form_->AddSuggestion(AdaptCase(candidate, word));
        return done();
    };
    auto test = [&](const std::string& candidate) {
        if (++tested % kCandidatesBetweenMessages == 0)
            ProcessEvents();
        if (IsWord(candidate))
            return hit(candidate);
        return done();
    };

    bool stop = done();
    if (!stop && !HasOption(soAutoSuggest)) {
        stop = ForEachOneStepEdit(
            lower, letters, smAll,
            [&](const std::string& candidate, bool check) {
                return check ? test(candidate) : hit(candidate);
            },
            [this](std::string_view w) { return IsWord(w); });
        ProcessEvents();
        stop = stop || done();
    }
    const std::size_t len = lower.size();
    if (!stop && len > 5) {
        const std::string half = letters.substr(0, letters.size() / 2);
        const std::string_view halfLess =
            std::string_view(half).substr(0, half.empty() ? 0 : half.size() - 1);
        // Every word with one letter (of the first half) inserted anywhere.
        auto forEachInsertion = [&](const std::string& base, std::string_view set, auto&& fn) {
            std::string w;
            for (std::size_t i = 0; i <= base.size(); ++i)
                for (char letter : set) {
                    w = base;
                    w.insert(i, 1, letter);
                    if (fn(w))
                        return true;
                }
            return false;
        };
        auto forEachDeletion = [&](const std::string& base, auto&& fn) {
            std::string w;
            for (std::size_t i = 0; i < base.size(); ++i) {
                w = base;
                w.erase(i, 1);
                if (fn(w))
                    return true;
            }
            return false;
        };
        auto forEachReplacement = [&](const std::string& base, std::string_view set,
                                      std::size_t skip, auto&& fn) {
            std::string w;
            for (std::size_t i = 0; i < base.size(); ++i) {
                if (i == skip)
                    continue;
                for (char letter : set) {
                    w = base;
                    w[i] = letter;
                    if (fn(w, i))
                        return true;
                }
            }
            return false;
        };
        constexpr std::size_t kNoSkip = static_cast<std::size_t>(-1);
        const std::function<bool()> groups[] = {
            // insertion, then deletion
            [&] {
                return forEachInsertion(
                    lower, half, [&](const std::string& w1) { return forEachDeletion(w1, test); });
            },
            // insertion, then replacement
            [&] {
                return forEachInsertion(lower, half, [&](const std::string& w1) {
                    return forEachReplacement(
                        w1, halfLess, kNoSkip,
                        [&](const std::string& w2, std::size_t) { return test(w2); });
                });
            },
            // double insertion
            [&] {
                return forEachInsertion(lower, half, [&](const std::string& w1) {
                    return forEachInsertion(w1, halfLess, test);
                });
            },
            // deletion, then replacement
            [&] {
                return forEachDeletion(lower, [&](const std::string& w1) {
                    return forEachReplacement(
                        w1, half, kNoSkip,
                        [&](const std::string& w2, std::size_t) { return test(w2); });
                });
            },
            // double replacement
            [&] {
                return forEachReplacement(
                    lower, halfLess, kNoSkip, [&](const std::string& w1, std::size_t i) {
                        return forEachReplacement(
                            w1, halfLess, i,
                            [&](const std::string& w2, std::size_t) { return test(w2); });
                    });
            },
        };
        for (const auto& group : groups) {
            if (group() || done())
                break;
            ProcessEvents();
            if (done())
                break;
        }
    }
    searchBusy_ = false;
    if (form_)
        form_->SetBusy(false);
    if (stopRequested_) {
        stopRequested_ = false;
        ButtonClicked(pendingButton_);
    }
}

void TVXSpeller::ButtonClicked(TSpellButton button) {
    if (searchBusy_) {
        // Carried out once the search has stopped.
        if (!stopRequested_) {
            stopRequested_ = true;
            pendingButton_ = button;
        }
        return;
    }
    if (button == TSpellButton::WordList) {
        EditWordList();
        return;
    }
    if (!running_)
        return;
    if (!dictionaryProblem_.empty()) {
        if (button == TSpellButton::Abort)
            Complete(true);
        else if (button == TSpellButton::Resume)
            ResumeAfterProblem();
        return;
    }
    if (!waiting_) {
        if (button == TSpellButton::Abort)
            Complete(true);
        return;
    }
    parser_->TextMayHaveChanged();
    switch (button) {
    case TSpellButton::Suggest: {
        std::string text = form_->GetReplacement();
        auto suggestions = QuickSuggestions(text.empty() ? currentWord_ : text);
        form_->ClearSuggestions();
        form_->SetSuggestions(suggestions);
        return;
    }
    case TSpellButton::Ignore:
        if (repeatedFound_) {
            form_->SetButtonVisible(TSpellButton::Replace, true);
            form_->SetButtonVisible(TSpellButton::Delete, false);
            parser_->SetUndoKind(ukRepeatIgnored);
        }
        Resume();
        return;
    case TSpellButton::IgnoreAlways:
        AddAlwaysIgnore(currentWord_);
        parser_->SetUndoKind(ukAlwaysIgnore);
        Resume();
        return;
    case TSpellButton::Learn:
        if (!userDictionary_ || !userDictionary_->CanLearn())
            return;
        AddLearned(currentWord_);
        parser_->SetUndoKind(ukLearned);
        Resume();
        return;
    case TSpellButton::Replace:
        DoReplace(form_->GetReplacement(), ukNone);
        return;
    case TSpellButton::ReplaceAlways: {
        std::string replacement = form_->GetReplacement();
        AddAlwaysReplace(currentWord_, replacement);
        DoReplace(replacement, ukAlwaysReplace);
        return;
    }
    case TSpellButton::ReplaceLearn: {
        if (!userDictionary_ || !userDictionary_->CanLearn())
            return;
        std::string replacement = form_->GetReplacement();
        AddAutoCorrect(currentWord_, replacement);
        DoReplace(replacement, ukLearnedReplace);
        return;
    }
    case TSpellButton::Delete:
        DeleteRepeated();
        return;
    case TSpellButton::Undo:
        Undo();
        return;
    case TSpellButton::Resume:
        form_->SetButtonEnabled(TSpellButton::Resume, false);
        if (form_->LanguageIndex() != language_ && !ChangeLanguage(form_->LanguageIndex()))
            return;
        ResumeFromCursor();
        return;
    case TSpellButton::Abort:
        Complete(true);
        return;
    case TSpellButton::WordList:
        return;
    }
}

void TVXSpeller::Resume() {
    waiting_ = false;
    if (form_)
        form_->DisableAll();
    RunLoop();
}

void TVXSpeller::ResumeFromCursor() {
    currentWord_.clear();
    previousWord_.clear();
    parser_->CheckFromCursor();
    Resume();
}

void TVXSpeller::DoReplace(const std::string& replacement, int undoKind) {
    // The user may have edited the text while the dialog waited: never write
    // over whatever now stands where the word was.
    if (!parser_->WordStillThere(currentWord_)) {
        ResumeFromCursor();
        return;
    }
    if (undoKind != ukNone)
        parser_->SetUndoKind(undoKind);
    parser_->ReplaceWord(replacement);
    if (HasOption(soRecheck))
        parser_->RewindToWord();
    Resume();
}

void TVXSpeller::DeleteRepeated() {
    if (!parser_->WordStillThere(currentWord_)) {
        ResumeFromCursor();
        return;
    }
    parser_->ReplaceWithoutUndo(" ");
    int removed = parser_->DeleteBlank() ? 1 : 0;
    if (removed == 1 && parser_->DeleteBlank())
        removed = 2;
    parser_->RecordReplacement("");
    parser_->SetUndoKind(removed == 2 ? ukRepeatDeletedTwo : ukRepeatDeleted);
    form_->SetButtonVisible(TSpellButton::Replace, true);
    form_->SetButtonVisible(TSpellButton::Delete, false);
    Resume();
}

void TVXSpeller::Undo() {
    std::unique_ptr<TUndo> record = parser_->PopUndo();
    if (!record) {
        // Nothing to take back: stay at the word.
        return;
    }
    switch (record->kind) {
    case ukAlwaysIgnore:
        alwaysIgnore_.Remove(record->word);
        break;
    case ukAlwaysReplace:
        for (std::size_t i = 0; i < replaceWords_.size(); ++i)
            if (platform::AnsiSameText(replaceWords_[i], record->word)) {
                replaceWords_.erase(replaceWords_.begin() + static_cast<std::ptrdiff_t>(i));
                replacements_.erase(replacements_.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        break;
    case ukLearned:
        if (userDictionary_)
            userDictionary_->RemoveWord(record->word);
        break;
    case ukLearnedReplace:
        if (userDictionary_)
            userDictionary_->RemoveAutoCorrect(record->word);
        break;
    case ukRepeatDeletedTwo:
        parser_->InsertAfterWord(" ");
        break;
    default:
        break;
    }
    form_->SetButtonVisible(TSpellButton::Replace, true);
    form_->SetButtonVisible(TSpellButton::Delete, false);
    currentWord_ = record->word;
    previousWord_ = record->previousWord;
    Resume();
}

void TVXSpeller::Complete(bool aborted) {
    aborted_ = aborted;
    dictionaryProblem_.clear();
    if (form_ && !keepFormVisible_)
        form_->SetVisible(false);
    running_ = false;
    waiting_ = false;
    if (OnCompleteCheck)
        OnCompleteCheck();
}

void TVXSpeller::FormClosed() {
    if (searchBusy_) {
        stopRequested_ = true;
        pendingButton_ = TSpellButton::Abort;
        return;
    }
    if (running_)
        Complete(true);
}

} // namespace speller
