#include "editor/ui/spellactions.h"

#include <QApplication>
#include <QGuiApplication>

#include "components/applocation.h"
#include "components/proxysettings.h"
#include "components/ui/ansiqt.h"
#include "components/ui/richeredit.h"
#include "editor/editorcontext.h"
#include "editor/ui/mainactions.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "speller/brindlewovenspellersettings.h"
#include "speller/spellgetmodel.h"
#include "speller/ui/brindlewovenspeller.h"
#include "speller/ui/formspellget.h"

namespace editor::ui {

namespace {

// The speller bound to the topic editor's control.
class TEditorSpeller : public ITopicSpeller {
public:
    TEditorSpeller(platform::Registry& registry, const speller::TDictionaryPlaces& places,
                   components::ui::TRicherEdit& edit, QWidget& window)
        : speller_(registry, places, &window), edit_(edit) {}

    bool DictionariesAvailable() const override { return speller_.DictionariesAvailable(); }
    bool Running() const override { return speller_.Running(); }
    bool CheckEditor() override {
        speller_.CheckRichEdit(edit_);
        // A check the person left waiting (its window gone) ends here.
        if (speller_.Running())
            speller_.ButtonClicked(speller::TSpellButton::Abort);
        return speller_.Aborted();
    }
    void SetKeepFormVisible(bool keep) override { speller_.SetKeepFormVisible(keep); }
    void LoadLanguage(std::string_view key) override { speller_.LoadLanguage(key); }
    void SaveLanguage(std::string_view key) override { speller_.SaveLanguage(key); }
    void LoadUserDictionary() override { speller_.LoadUserDictionary(); }
    void ReleaseUserDictionary() override { speller_.ReleaseUserDictionary(); }

    speller::ui::TBrindlewovenSpeller& Speller() { return speller_; }

private:
    speller::ui::TBrindlewovenSpeller speller_;
    components::ui::TRicherEdit& edit_;
};

} // namespace

speller::TDictionaryPlaces ProgramDictionaryPlaces() {
    speller::TDictionaryPlaces places;
    const components::TAppLocation& location = components::AppLocation();
    places.ProgramFolder = location.AppFolder;
    places.OnRemovableDrive = location.AppOnRemovableDrive;
    places.AppDataFolder =
        platform::ShellFolderPath(platform::DefaultSystemRoots(), "AppData").value_or("");
    return places;
}

TSpellActions::TSpellActions(TEditorContext& context, components::ui::TRicherEdit& edit,
                             QWidget& window, std::optional<speller::TDictionaryPlaces> places)
    : QObject(&window), context_(context), edit_(edit), window_(window),
      places_(places ? *places : ProgramDictionaryPlaces()) {
    commands_ = std::make_unique<TSpellCommands>(
        context_,
        [this] {
            auto speller =
                std::make_unique<TEditorSpeller>(context_.Registry(), places_, edit_, window_);
            if (formFactory_)
                speller->Speller().SetFormFactory(formFactory_);
            return speller;
        },
        [this] { ShowDownloadWindow(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                context_.Run([&] {
                    if (state == Qt::ApplicationActive)
                        commands_->ApplicationActivated();
                    else if (state == Qt::ApplicationInactive)
                        commands_->ApplicationDeactivated();
                });
            });
}

TSpellActions::~TSpellActions() {
    commands_.reset(); // saves the language while the registry is there
}

speller::ui::TBrindlewovenSpeller* TSpellActions::Speller() const {
    auto* speller = dynamic_cast<TEditorSpeller*>(commands_->Speller());
    return speller ? &speller->Speller() : nullptr;
}

void TSpellActions::SetPlaces(const speller::TDictionaryPlaces& places) {
    commands_->FreeSpeller();
    download_.reset();
    registration_.reset();
    places_ = places;
}

void TSpellActions::BindActions(TMainActions& actions) {
    auto bind = [this, &actions](const char* name, void (TSpellCommands::*command)()) {
        actions.Bind(name, [this, command] { context_.Run([&] { ((*commands_).*command)(); }); });
    };
    bind("ActionTopicSpell", &TSpellCommands::TopicSpellExecute);
    bind("ActionProjectSpell", &TSpellCommands::ProjectSpellExecute);
    bind("ActionHelpDownloadSpell", &TSpellCommands::HelpDownloadSpellExecute);
}

void TSpellActions::ShowDownloadWindow() {
    if (!download_) {
        registration_ =
            std::make_unique<speller::TDictionaryRegistration>(context_.Registry(), places_);
        proxy_ = std::make_unique<components::TProxySettings>();
        download_ = std::make_unique<speller::ui::TFormSpellGet>(*registration_, *proxy_,
                                                                 context_.Messenger(), &window_);
        download_->SetHelpContext(kDownloadHelpContext);
    }
    const std::string server =
        context_.Registry()
            .ReadString(platform::RootKey::CurrentUser, speller::kSpellKey, "Server")
            .value_or(std::string(speller::kDefaultDictionaryServer));
    download_->SetServer(components::ui::ToQString(server));
    download_->Model().ReadInstalled();
    download_->FillList();
    download_->exec();
}

} // namespace editor::ui
