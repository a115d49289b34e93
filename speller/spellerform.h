#pragma once
// What the spelling engine needs from its check dialog. The Qt dialog
// implements it; tests script it. The dialog knows nothing of dictionaries:
// it reports every click to the engine through the callbacks, and the engine
// decides what happens.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "speller/texttarget.h"

namespace speller {

enum class TSpellButton {
    Ignore,
    IgnoreAlways,
    Learn,
    Delete,
    Replace,
    ReplaceAlways,
    ReplaceLearn,
    Suggest,
    Undo,
    Resume,
    Abort,
    WordList,
};

enum class TInitialPos {
    ipScreenCenter,
    ipUnderSelection,
    ipAvoidControl,
    ipUserDefined,
    ipIgnore
};
enum class TSelBehavior { sbNone, sbAvoid, sbAvoidUpDown, sbMove, sbMoveUpDown };

// Where the dialog should go: on its first showing by InitialPos (away from
// the control), later by SelBehavior (away from the word). Rectangles are in
// screen co-ordinates; missing ones are unknown.
struct TPlacementRequest {
    bool firstShowing = false;
    TInitialPos initialPos = TInitialPos::ipAvoidControl;
    TSelBehavior selBehavior = TSelBehavior::sbAvoid;
    std::optional<TRect> controlRect;
    std::optional<TRect> wordRect;
    int avoidDistance = 0;
};

struct TSpellerFormCallbacks {
    std::function<void(TSpellButton)> clicked;
    // The user closed the window (the check ends as aborted).
    std::function<void()> closed;
    std::function<void()> shown;
};

class IVXSpellerForm {
public:
    virtual ~IVXSpellerForm() = default;

    virtual void SetCallbacks(TSpellerFormCallbacks callbacks) = 0;
    // Shows or hides "(searching...)".
    virtual void SetBusy(bool on) = 0;
    virtual void SetButtonVisible(TSpellButton button, bool visible) = 0;
    virtual void SetButtonEnabled(TSpellButton button, bool enabled) = 0;
    // A misspelling: "Word not in dictionary:", empty suggestion list, action
    // buttons enabled (Undo only when `canUndo`). A repeated word:
    // "Repeated word:", Delete shown and enabled, Replace hidden.
    virtual void ShowWord(const std::string& word, bool repeated, bool canUndo) = 0;
    // The chosen language's dictionary cannot be used: shows `message` where
    // the word goes, with every action button disabled; the language list,
    // Resume (to go on with the language chosen there) and Abort stay usable.
    virtual void ShowProblem(const std::string& message) = 0;
    // Whether the user word list can learn: when it cannot (a plain ".dic"
    // list), Learn and Learn Replace stay disabled whatever the dialog's
    // own rules would enable.
    virtual void SetLearnAllowed(bool allowed) = 0;
    // The text of the "Replace with" field.
    virtual std::string GetReplacement() const = 0;
    // Appends the word unless the list holds it.
    virtual void AddSuggestion(const std::string& word) = 0;
    virtual int SuggestionCount() const = 0;
    // Appends each word not yet present.
    virtual void SetSuggestions(const std::vector<std::string>& words) = 0;
    virtual void ClearSuggestions() = 0;
    virtual int LanguageIndex() const = 0;
    // `languages` are the engine's entries; the dialog shows the text before
    // the first "|" of each.
    virtual void SetLanguages(const std::vector<std::string>& languages, int index) = 0;
    // Disables the action buttons and empties the replacement field.
    virtual void DisableAll() = 0;
    virtual void Place(const TPlacementRequest& request) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

} // namespace speller
