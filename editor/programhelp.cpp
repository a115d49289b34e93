#include "editor/programhelp.h"

#include <stdexcept>
#include <system_error>

#include "components/messengerseam.h"

namespace fs = std::filesystem;

namespace editor {

namespace {

bool IsFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string FileUrl(const fs::path& path) {
    std::string url = "file://";
    for (char c : path.generic_string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '%' || c == '#' || c == '?') {
            static const char hex[] = "0123456789ABCDEF";
            url += '%';
            url += hex[byte >> 4];
            url += hex[byte & 15];
        } else {
            url += c;
        }
    }
    return url;
}

} // namespace

TProgramHelp::TProgramHelp(fs::path folder, helpproject::IHelpViewer& viewer, TUrlOpener openUrl,
                           components::IMessenger& messenger)
    : folder_(std::move(folder)), viewer_(viewer), openUrl_(std::move(openUrl)),
      messenger_(messenger) {}

std::string TProgramHelp::PageName(int context) {
    return "bw" + std::to_string(context) + ".htm";
}

void TProgramHelp::ShowContext(int context) {
    std::string viewerError;
    const fs::path chm = ChmFile();
    if (IsFile(chm)) {
        helpproject::THelpViewRequest request;
        request.Kind = "chm";
        request.File = chm.string();
        request.Folder = folder_.string();
        request.Command = helpproject::kHelpContext;
        request.Context = static_cast<std::uint32_t>(context);
        request.Page = request.File + "::/html/" + PageName(context);
        try {
            viewer_.Show(request);
            return;
        } catch (const std::exception& error) {
            viewerError = error.what();
        }
    }
    if (ShowWebHelp(context))
        return;
    if (!viewerError.empty()) {
        messenger_.ShowMessage(components::TMessageKind::Error, "Help", viewerError);
        return;
    }
    messenger_.ShowMessage(components::TMessageKind::Error, "Help",
                           "The help file was not found: neither " + chm.string() +
                               " nor the web help in " + WebFolder().string() + " is installed.");
}

bool TProgramHelp::ShowWebHelp(int context) {
    fs::path page = WebFolder() / PageName(context);
    if (!IsFile(page))
        page = WebFolder() / "index.htm"; // a context without a page of its own
    if (!IsFile(page) || !openUrl_)
        return false;
    openUrl_(FileUrl(page));
    return true;
}

} // namespace editor
