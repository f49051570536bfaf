#pragma once
// Whole-file reading and replacing. A replacement is written to a temporary file beside the
// target and renamed over it, so a failed write never leaves the target truncated.
#include <optional>
#include <string>
#include <string_view>

namespace pkm {

// The whole file, or nothing when it cannot be opened or read (missing, a directory, no access).
std::optional<std::string> readFileBytes(const std::string& path);

enum class WriteOutcome {
    Written,
    CannotCreate, // the file (or its temporary sibling) could not be created, or not put in place
    WriteFailed,  // created, but writing the bytes failed (disk full, I/O error)
};

WriteOutcome replaceFile(const std::string& path, std::string_view bytes);

// Fault injection for tests: every following write fails once this many bytes have been
// written (negative turns it off).
void setWriteFaultAfterBytes(long long bytes);
// Fault injection for tests: while set, no new file can be created, as in a directory that
// refuses them (creating the temporary file fails with EACCES).
void setRefuseNewFiles(bool refuse);

} // namespace pkm
