#pragma once
// `pakmaster volumes` and `pakmaster zips`: the Rar and Zip pages' runs without a window.
#include "app/command_line.h"
#include "app/console_log.h"

#include <iosfwd>
#include <string>

namespace pkm {

// Each returns the exit status: 0; 1 when the fields are refused or the run failed, the
// message on `err`. The archiver's output and the closing lines go to `out`; `console` says
// whether `out` is a terminal, where progress rewrites its line and the run's progress is
// shown on one line below the output.
int RunVolumes(const pkm::VolumesOptions& options, const std::string& programDir, const Console& console,
               std::ostream& out, std::ostream& err);
int RunZips(const pkm::ZipsOptions& options, const std::string& programDir, const Console& console, std::ostream& out,
            std::ostream& err);

} // namespace pkm
