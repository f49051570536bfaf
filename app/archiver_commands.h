#pragma once
// `pakmaster volumes` and `pakmaster zips`: the Rar and Zip pages' runs without a window.
#include "app/command_line.h"

#include <iosfwd>
#include <string>

namespace pkm {

// Each returns the exit status: 0; 1 when the fields are refused or the run failed, the
// message on `err`. The archiver's output and the closing lines go to `out`; `terminal` says
// whether `out` is a terminal, where progress rewrites its line.
int RunVolumes(const pkm::VolumesOptions& options, const std::string& programDir, bool terminal, std::ostream& out,
               std::ostream& err);
int RunZips(const pkm::ZipsOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err);

} // namespace pkm
