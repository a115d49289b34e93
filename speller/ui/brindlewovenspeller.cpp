#include "speller/ui/brindlewovenspeller.h"

#include "speller/brindlewovenparser.h"
#include "speller/brindlewovenspellersettings.h"

namespace speller::ui {

TBrindlewovenSpeller::TBrindlewovenSpeller(platform::Registry& registry,
                                           const TDictionaryPlaces& places, QWidget* dialogParent)
    : TRichEditSpeller(registry, places, dialogParent) {
    ApplyBrindlewovenSettings(*this);
}

TBrindlewovenSpeller::~TBrindlewovenSpeller() {
    // The parser refers to the target: it goes first.
    SetParser(nullptr);
}

void TBrindlewovenSpeller::CheckRichEdit(components::ui::TRicherEdit& edit) {
    if (Running())
        return;
    SetParser(nullptr);
    target_ = std::make_unique<TRichEditTarget>(edit);
    SetParser(std::make_unique<TBrindlewovenRichEditParser>(*target_));
    Check();
}

} // namespace speller::ui
