#pragma once
// The spell-check commands of the main window: check the current topic
// (F12), check the whole project in the grid's order (Ctrl+F12) and download
// dictionaries. The window owns at most one speller, made on first use and
// given back before a download and at exit; its language is kept under
// Software\Vexlor\Brindlewoven\Spell. The speller and the download window
// come from the widgets' side through the two functions given.
#include <functional>
#include <memory>
#include <string_view>

namespace editor {

class TEditorContext;

// The speller as the commands use it: the binding to the topic editor's
// control.
class ITopicSpeller {
public:
    virtual ~ITopicSpeller() = default;
    virtual bool DictionariesAvailable() const = 0;
    virtual bool Running() const = 0;
    // Checks the topic editor's text; returns when the check completed
    // (false) or was aborted (true).
    virtual bool CheckEditor() = 0;
    virtual void SetKeepFormVisible(bool keep) = 0;
    virtual void LoadLanguage(std::string_view key) = 0;
    virtual void SaveLanguage(std::string_view key) = 0;
    virtual void LoadUserDictionary() = 0;
    virtual void ReleaseUserDictionary() = 0;
};

inline constexpr std::string_view kSpellerDoneCaption = "Check Spelling";
inline constexpr std::string_view kSpellerDoneText = "Spell check completed!";
inline constexpr std::string_view kDownloadSpellCaption = "Spell Check";
inline constexpr std::string_view kDownloadSpellText =
    "Since you did not yet install any spell check dictionaries, spell check is not "
    "available.\r\n\r\nClick the Download button to download and install spell check "
    "dictionaries in one or more languages.";

class TSpellCommands {
public:
    using TSpellerFactory = std::function<std::unique_ptr<ITopicSpeller>()>;
    // Shows the download window modally.
    using TDownloadWindow = std::function<void()>;

    TSpellCommands(TEditorContext& context, TSpellerFactory makeSpeller,
                   TDownloadWindow showDownload);
    // Saves the language and frees the speller.
    ~TSpellCommands();
    TSpellCommands(const TSpellCommands&) = delete;
    TSpellCommands& operator=(const TSpellCommands&) = delete;

    // Makes the speller unless there is one, and reads its language.
    ITopicSpeller& CreateSpeller();
    // Saves the language and frees the speller.
    void FreeSpeller();
    ITopicSpeller* Speller() const { return speller_.get(); }

    void TopicSpellExecute();
    void ProjectSpellExecute();
    void HelpDownloadSpellExecute();

    // The application was activated or deactivated: the user word lists are
    // loaded again or saved and released, so that two running copies share
    // them.
    void ApplicationActivated();
    void ApplicationDeactivated();

private:
    bool EnsureDictionaries();

    TEditorContext& context_;
    TSpellerFactory makeSpeller_;
    TDownloadWindow showDownload_;
    std::unique_ptr<ITopicSpeller> speller_;
};

} // namespace editor
