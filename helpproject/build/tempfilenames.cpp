#include "helpproject/build/tempfilenames.h"

#include "platform/tempfolder.h"

namespace helpproject {

std::string TTempFolderFileNames::MakeTempFileName() {
    return folder_.NewFile("bwv.tmp").string();
}

} // namespace helpproject
