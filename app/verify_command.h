#pragma once
// `pakmaster verify`: a zip series as received, checked against its SFV checksum file: each
// file's CRC-32, each zip tested by zip, the volumes the zips carry tested as one set; with
// --repair, missing or damaged zips rebuilt from the series' PAR2 recovery disks first.
#include "app/command_line.h"

#include <iosfwd>
#include <string>

namespace pkm {

// Prints a line per file and a last line with the counts on `out`, failures to start a checker
// on `err`. Returns 0 when every file is OK and the volumes test OK, else 1.
int RunVerify(const VerifyOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err);

} // namespace pkm
