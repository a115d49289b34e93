#include "editor/ui/markupdialogcommands.h"

#include <QFileDialog>

#include "components/ui/ansiqt.h"
#include "editor/defaulttextstyles.h"
#include "editor/editorcontext.h"
#include "editor/markupcommands.h"
#include "editor/ui/dialogs/forminsertbitmap.h"
#include "editor/ui/dialogs/internetlinkform.h"
#include "editor/ui/markupactions.h"

namespace editor::ui {

using components::ui::FromQString;

TBitmapFileDialog BitmapFileDialog(helpproject::THelpCompiler compiler) {
    TBitmapFileDialog dialog;
    dialog.Title = "Include Bitmap in Topic";
    dialog.Filters = {"WinHelp images (*.bmp *.dib *.shg *.mrb *.wmf)",
                      "HTML Help images (*.gif *.jpg *.jpeg *.png *.bmp)", "Any file (*)"};
    if (compiler == helpproject::THelpCompiler::HtmlHelp)
        dialog.FilterIndex = 1;
    else if (helpproject::IsWinHelp(compiler))
        dialog.FilterIndex = 0;
    else
        dialog.FilterIndex = 2;
    return dialog;
}

TMarkupDialogCommands::TMarkupDialogCommands(TEditorContext& context, TMarkupActions& markup,
                                             QWidget& window)
    : QObject(&window), context_(context), markup_(markup), window_(window) {
    chooser_ = [this](const TBitmapFileDialog& dialog) {
        QFileDialog files(&window_, dialog.Title);
        files.setFileMode(QFileDialog::ExistingFile);
        files.setNameFilters(dialog.Filters);
        files.selectNameFilter(dialog.Filters.value(dialog.FilterIndex));
        if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
            return std::string();
        return FromQString(files.selectedFiles().front());
    };
}

void TMarkupDialogCommands::BindActions() {
    markup_.SetInternetLinkDialog([this] { InsertInternetLink(); });
    markup_.SetBitmapDialog([this] { InsertBitmap(); });
}

void TMarkupDialogCommands::InsertInternetLink() {
    if (internetLinkForm_ == nullptr) {
        internetLinkForm_ = new TInternetLinkForm(&window_);
        internetLinkForm_->SetMessenger(&context_.Messenger());
    }
    ITextEditor& text = context_.TextEditor();
    if (!internetLinkForm_->Execute(text.TextRange(text.SelStart(), text.SelLength())))
        return;
    const helpproject::TTextStyleList& styles = context_.TextStyles();
    const helpproject::TTextStyleMacro* link = styles.BuiltIn(std::string(kInternetLinkStyle));
    const helpproject::TTextStyleMacro* body = styles.BuiltIn(std::string(kTopicTextStyle));
    editor::InsertInternetLink(text, internetLinkForm_->Text(), internetLinkForm_->Address(), *link,
                               *body);
    context_.View().RefreshEditorState();
}

void TMarkupDialogCommands::InsertBitmap() {
    const std::string file =
        chooser_ ? chooser_(BitmapFileDialog(context_.Project().Compiler)) : std::string();
    if (file.empty())
        return;
    editor::RequireFileNameForCode(file); // refused before the alignment is asked
    if (bitmapForm_ == nullptr)
        bitmapForm_ = new TFormInsertBitmap(&window_);
    if (!bitmapForm_->Execute())
        return;
    editor::InsertBitmap(context_.TextEditor(), context_.Project(), file, bitmapForm_->Alignment(),
                         bitmapForm_->Transparent());
    context_.Session().SetModified();
    context_.View().RefreshEditorState();
}

} // namespace editor::ui
