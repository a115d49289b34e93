#include "speller/ui/richeditspeller.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "speller/ui/formeditwordlistmemo.h"
#include "speller/ui/vxspellerform.h"

namespace speller::ui {

TRichEditSpeller::TRichEditSpeller(platform::Registry& registry, const TDictionaryPlaces& places,
                                   QWidget* dialogParent)
    : TVXSpeller(registry, places), dialogParent_(dialogParent) {}

TVXSpellerForm* TRichEditSpeller::SpellerForm() const {
    return dynamic_cast<TVXSpellerForm*>(Form());
}

std::unique_ptr<IVXSpellerForm> TRichEditSpeller::CreateSpellerForm() {
    if (formFactory_)
        return formFactory_();
    return std::make_unique<TVXSpellerForm>();
}

void TRichEditSpeller::EditWordList() {
    if (!UserDictionary())
        return;
    UserDictionary()->Load();
    TFormEditWordListMemo editor(*UserDictionary(), dialogParent_);
    editor.exec();
}

void TRichEditSpeller::ProcessEvents() {
    QCoreApplication::processEvents();
}

bool TRichEditSpeller::WaitForEvent() {
    // Nobody can answer a window that is not there.
    if (!Form() || !Form()->Visible())
        return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return true;
}

} // namespace speller::ui
