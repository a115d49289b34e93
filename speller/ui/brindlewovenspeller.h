#pragma once
// The help program's speller: the engine with the program's settings and
// accepted words, checking the topic editor's text with the parser that
// steps over markup codes and hidden text.
#include <memory>

#include "speller/ui/richeditspeller.h"
#include "speller/ui/richedittarget.h"

namespace components::ui {
class TRicherEdit;
}

namespace speller::ui {

class TBrindlewovenSpeller : public TRichEditSpeller {
public:
    TBrindlewovenSpeller(platform::Registry& registry, const TDictionaryPlaces& places,
                         QWidget* dialogParent = nullptr);
    ~TBrindlewovenSpeller() override;

    // Checks the control's text from its start; returns when the check has
    // completed or was aborted (see Aborted()).
    void CheckRichEdit(components::ui::TRicherEdit& edit);

private:
    std::unique_ptr<TRichEditTarget> target_;
};

} // namespace speller::ui
