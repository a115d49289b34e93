#pragma once
// The spelling engine bound to the widgets: its check dialog is the
// "Check Spelling" window, its Word List button opens the word-list editor,
// and while a check waits for the person it waits in Qt's event loop.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "speller/vxspeller.h"

namespace speller::ui {

class TVXSpellerForm;

class TRichEditSpeller : public TVXSpeller {
public:
    // `dialogParent` owns the modal word-list editor; the check window is a
    // tool window of its own.
    TRichEditSpeller(platform::Registry& registry, const TDictionaryPlaces& places,
                     QWidget* dialogParent = nullptr);

    TVXSpellerForm* SpellerForm() const;
    // Puts another check window in place of the "Check Spelling" window
    // (a scripted one for benchmarks); empty: the window.
    using TFormFactory = std::function<std::unique_ptr<IVXSpellerForm>()>;
    void SetFormFactory(TFormFactory factory) { formFactory_ = std::move(factory); }

protected:
    std::unique_ptr<IVXSpellerForm> CreateSpellerForm() override;
    void EditWordList() override;
    void ProcessEvents() override;
    bool WaitForEvent() override;

private:
    QPointer<QWidget> dialogParent_;
    TFormFactory formFactory_;
};

} // namespace speller::ui
