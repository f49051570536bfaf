#pragma once
// What the Rar and Zip pages take from the window around them.
#include "archiving/RunState.h"
#include "platform/program_paths.h"

#include <memory>

class TBrowseDirectoryDlg;

namespace pkm {

struct PageContext {
    pkm::ProgramPaths paths;
    // The folder picker the pages' browse buttons share.
    TBrowseDirectoryDlg* folderPicker = nullptr;
    // The run under way, shared by every page made from copies of this context.
    std::shared_ptr<RunState> runs = std::make_shared<RunState>();
};

} // namespace pkm
