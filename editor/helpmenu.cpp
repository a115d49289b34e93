#include "editor/helpmenu.h"

#include "components/messengerseam.h"

namespace editor {

std::string NewVersionUrl(const std::string& site) {
    std::string url = site;
    if (url.empty() || url.back() != '/')
        url += '/';
    return url + "cgi-bin/version.pl?ver=" + std::to_string(kVersionCheckNumber);
}

std::string HtmlHelpRefusalText(TWinHelpOnlyEditor editor) {
    const std::string first =
        editor == TWinHelpOnlyEditor::Browse
            ? "You have selected the HTML Help compiler in Project Options.  HTML Help files do "
              "not support browse sequences.  The Browse Sequence Editor will be unavailable "
              "unless you select the WinHelp compiler in Project Options."
            : "You have selected the HTML Help compiler in Project Options.  HTML Help files do "
              "not support secondary windows.  The Windows Editor will be unavailable unless you "
              "select the WinHelp compiler in Project Options.";
    return first + "\r\n\r\nYou can configure the HTML Help window on the HTML Help tab in Project "
                   "Options.";
}

bool RefusedUnderHtmlHelp(TWinHelpOnlyEditor editor, helpproject::THelpCompiler compiler,
                          components::IMessenger& messenger) {
    if (compiler != helpproject::THelpCompiler::HtmlHelp)
        return false;
    messenger.ShowMessage(components::TMessageKind::Information, kMsgHTMLHelpCaption,
                          HtmlHelpRefusalText(editor));
    return true;
}

} // namespace editor
