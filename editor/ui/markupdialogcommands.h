#pragma once
// The HelpTools commands that ask through a dialog of their own: Internet
// Link (its dialog gets the selected text) and Insert Bitmap (a picture
// file, then how it sits in the text). Each dialog is created on first use
// and kept, so it keeps its choices between uses.
#include <QObject>
#include <QStringList>
#include <functional>
#include <string>

#include "helpproject/helpfilekind.h"

class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TFormInsertBitmap;
class TInternetLinkForm;
class TMarkupActions;

// The picture file dialog: its filters and the one preset from the
// project's help compiler (WinHelp images for WinHelp, HTML Help images
// for HTML Help).
struct TBitmapFileDialog {
    QString Title;
    QStringList Filters;
    int FilterIndex = 0;
};
TBitmapFileDialog BitmapFileDialog(helpproject::THelpCompiler compiler);

class TMarkupDialogCommands : public QObject {
    Q_OBJECT

public:
    // The dialogs open over `window`.
    TMarkupDialogCommands(TEditorContext& context, TMarkupActions& markup, QWidget& window);

    // Hands the two commands to the HelpTools actions.
    void BindActions();

    // The picture file dialog; an empty name cancels.
    using TBitmapChooser = std::function<std::string(const TBitmapFileDialog& dialog)>;
    void SetBitmapChooser(TBitmapChooser chooser) { chooser_ = std::move(chooser); }

    void InsertInternetLink();
    void InsertBitmap();

    // The dialogs, once created (nullptr before the first use).
    TInternetLinkForm* InternetLinkForm() const { return internetLinkForm_; }
    TFormInsertBitmap* FormInsertBitmap() const { return bitmapForm_; }

private:
    TEditorContext& context_;
    TMarkupActions& markup_;
    QWidget& window_;
    TBitmapChooser chooser_;
    TInternetLinkForm* internetLinkForm_ = nullptr;
    TFormInsertBitmap* bitmapForm_ = nullptr;
};

} // namespace editor::ui
