#include "editor/topictext.h"

namespace editor {

bool ReplaceTitleInText(rtf::RtfDocument& document, std::string_view oldTitle,
                        std::string_view newTitle) {
    if (oldTitle.empty())
        return false;
    const std::ptrdiff_t at =
        document.Find(oldTitle, 0, document.LineLength(0), rtf::FindOptions{true, false});
    if (at < 0)
        return false;
    document.Replace(static_cast<std::size_t>(at), oldTitle.size(), newTitle);
    return true;
}

} // namespace editor
