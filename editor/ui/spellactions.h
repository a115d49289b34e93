#pragma once
// The spell-check commands bound to the menu: F12 checks the topic in the
// rich-edit control, Ctrl+F12 the project, and the Help menu opens the
// dictionary download window. The speller checks the topic editor's
// control; the user word lists follow the application's activation.
#include <QObject>
#include <memory>
#include <optional>

#include "editor/spellcommands.h"
#include "speller/dictionaryregistration.h"
#include "speller/spellerform.h"

class QWidget;

namespace components {
class TProxySettings;
}
namespace components::ui {
class TRicherEdit;
}
namespace speller::ui {
class TBrindlewovenSpeller;
class TFormSpellGet;
} // namespace speller::ui

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TMainActions;

// Where the program and the user's application data are, as the running
// program finds them.
speller::TDictionaryPlaces ProgramDictionaryPlaces();

class TSpellActions : public QObject {
    Q_OBJECT

public:
    TSpellActions(TEditorContext& context, components::ui::TRicherEdit& edit, QWidget& window,
                  std::optional<speller::TDictionaryPlaces> places = std::nullopt);
    ~TSpellActions() override;

    // The dictionary download window's help.
    static constexpr int kDownloadHelpContext = 16140;

    void BindActions(TMainActions& actions);

    TSpellCommands& Commands() { return *commands_; }
    // The speller while it exists.
    speller::ui::TBrindlewovenSpeller* Speller() const;
    // The download window once it was opened.
    speller::ui::TFormSpellGet* DownloadWindow() const { return download_.get(); }
    const speller::TDictionaryPlaces& Places() const { return places_; }
    // Looks for dictionaries and word lists elsewhere (tests); the speller
    // and the download window are made again.
    void SetPlaces(const speller::TDictionaryPlaces& places);
    // The check window of spellers made from now on (benchmarks script it).
    using TSpellerFormFactory = std::function<std::unique_ptr<speller::IVXSpellerForm>()>;
    void SetSpellerFormFactory(TSpellerFormFactory factory) { formFactory_ = std::move(factory); }

private:
    void ShowDownloadWindow();

    TEditorContext& context_;
    components::ui::TRicherEdit& edit_;
    QWidget& window_;
    speller::TDictionaryPlaces places_;
    std::unique_ptr<speller::TDictionaryRegistration> registration_;
    std::unique_ptr<components::TProxySettings> proxy_;
    std::unique_ptr<speller::ui::TFormSpellGet> download_;
    std::unique_ptr<TSpellCommands> commands_;
    TSpellerFormFactory formFactory_;
};

} // namespace editor::ui
