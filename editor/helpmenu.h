#pragma once
// The Help menu's fixed targets and the refusal of the editors that HTML
// Help files have no use for.
#include <string>

#include "helpproject/helpfilekind.h"

namespace components {
class IMessenger;
}

namespace editor {

inline constexpr int kHelpContentsContext = 10;
inline constexpr int kHelpHowToContext = 1000;
// The number the version check sends, whatever the version shown elsewhere.
inline constexpr int kVersionCheckNumber = 35;
inline constexpr const char* kProductWebSite = "https://www.brindlewoven.org/";

// The page the version check opens: the site's version script with the
// number as the query.
std::string NewVersionUrl(const std::string& site = kProductWebSite);

enum class TWinHelpOnlyEditor { Browse, Windows };

inline constexpr const char* kMsgHTMLHelpCaption = "This feature is not supported by HTML Help";
// The text the editor's refusal shows.
std::string HtmlHelpRefusalText(TWinHelpOnlyEditor editor);
// True (after telling the person why) when the project's compiler is HTML
// Help: the browse sequence and windows editors then stay closed.
bool RefusedUnderHtmlHelp(TWinHelpOnlyEditor editor, helpproject::THelpCompiler compiler,
                          components::IMessenger& messenger);

} // namespace editor
