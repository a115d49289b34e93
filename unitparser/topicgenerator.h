#pragma once
// Component-help topic generation: from a parsed unit (after the user's
// choices) a family of topics in the style of component reference help, with
// keywords, browse sequences, contents lines and link codes.
#include "components/messengerseam.h"
#include "unitparser/topicsink.h"
#include "unitparser/unitparser.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace unitparser {

// The progress text while topics are written, and what an empty unit shows.
inline constexpr const char* kBuildingTopicsText = "Building help topics...";
inline constexpr const char* kUnitEmptyText = "This unit seems to be quite empty.";

// The numbers a class block uses: the class topic C and C+1..C+4 (see also,
// properties, methods, events); with a tasks topic the block has ten
// numbers, the tasks topic at C+5 and its "See also" at C+6.
inline constexpr int BlockSize = 5;
inline constexpr int TasksOffset = 5;

// Drops what the user excluded: classes not included, members neither
// mentioned nor included, types and routines not included, constants and
// variables neither mentioned nor included.
void ApplySelection(TUnitParser& parser);

// Hands out topic numbers from `first` (the unit topic) and returns how many
// topics generation will create. Raises EParseError when the numbers would
// pass the highest topic number.
int AssignTopicNumbers(TUnitParser& parser, std::int32_t first);

// The first number for a unit's topics: the next multiple of 1000 above the
// highest number in use. Raises EParseError when none is left.
std::int32_t FirstParserTopicNumber(std::int32_t highestInUse);

struct TGenerateOptions {
    bool useComments = true; // descriptions from the source's comments
};

// Writes every topic through the sink; numbers must have been assigned.
// Progress goes to `messenger` (may be null): a gauge of the topic count
// plus one, starting at 1 and moved on by each topic created, with pending
// events let through each time. Generation cannot be aborted.
void GenerateTopics(const TUnitParser& parser, std::int32_t first, TParsedTopicSink& sink,
                    const TGenerateOptions& options = {},
                    components::IMessenger* messenger = nullptr);

// The whole run after the file has been chosen: parse, let the user choose
// (`choose` returns false for Cancel), select, number and generate. Returns
// the first topic's number, or -1 when the user cancelled. An empty unit
// shows "This unit seems to be quite empty." through `messenger` and raises
// a silent components::EAbort (no message).
int ParsePascalUnit(TUnitParser& parser, const std::string& fileName, std::int32_t first,
                    TParsedTopicSink& sink, const std::function<bool(TUnitParser&)>& choose,
                    components::IMessenger* messenger, const TGenerateOptions& options = {});

// The pictures of the member-list topics ("{bmct runtime.bmp}" and the
// like); they ship in the program's own folder.
inline constexpr const char* kMemberListPictures[] = {"runtime.bmp", "key.bmp", "protect.bmp"};

// The bitmap folders the generated topics need: the folder of every included
// class's bitmap, each once.
std::vector<std::string> BitmapFolders(const TUnitParser& parser);
// Adds what generated topics need to a project's bitmap folder list: the
// program's own folder (where the member-list pictures are), then the
// folders of BitmapFolders; each once (helpproject::AddBitmapFolder).
void AddGeneratedBitmapFolders(std::string& folderList, const TUnitParser& parser,
                               const std::string& programFolder);

// "Property" from "Properties", "Method" from "Methods".
std::string SingularWord(const std::string& plural);

} // namespace unitparser
