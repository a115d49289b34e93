#pragma once

namespace editor::ui {

// The file dialogs of the markup commands.
enum class TFileDialogKind { LinkFile, Flash };

} // namespace editor::ui
