#pragma once
// The contents file (.cnt) of an imported WinHelp project: its ":Index" and
// ":Link" lines and its contents lines go to the project.
#include <cstdint>
#include <filesystem>
#include <string>

#include "components/messengerseam.h"
#include "helpproject/brindlewovenproject.h"

namespace helpproject {

// The largest contents file the import reads.
inline constexpr std::uint64_t kMaxContentsBytes = 16u << 20;

// Reads `file` (a regular file of at most kMaxContentsBytes) into the project's contents lists,
// with its own progress stage. A problem does not stop the import: it comes back as the message to
// show ("Error importing contents file.\r" and what went wrong), empty when
// there is none. The user's abort throws components::EAbort.
std::string ImportContentsFile(TBrindlewovenProject& project, const std::filesystem::path& file,
                               components::IMessenger* messenger);

} // namespace helpproject
