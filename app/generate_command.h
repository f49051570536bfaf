#pragma once
// `pakmaster generate`: the NFO and/or DIZ file written as Preview writes it, with section
// values given by name.
#include "app/command_line.h"
#include "platform/program_paths.h"

#include <iosfwd>

namespace pkm {

// Reads paths' Release.ini (creating it first as the window's first start does), sets the
// values, writes the files (into options.output instead of "Output dir" when it is given) and
// prints each path written on `out`. Returns the exit status:
// 0, or 1 after printing the failure on `err`.
int RunGenerate(const GenerateOptions& options, const ProgramPaths& paths, std::ostream& out, std::ostream& err);

} // namespace pkm
