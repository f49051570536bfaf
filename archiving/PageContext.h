#pragma once
// What the Rar and Zip pages take from the window around them.
#include "platform/program_paths.h"

class TBrowseDirectoryDlg;

namespace pkm {

struct PageContext {
    pkm::ProgramPaths paths;
    // The folder picker the pages' browse buttons share.
    TBrowseDirectoryDlg* folderPicker = nullptr;
};

} // namespace pkm
