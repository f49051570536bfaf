#pragma once
// Whole-file reading and replacing. A replacement is written to a temporary file beside the
// target and renamed over it, so a failed write never leaves the target truncated.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace pkm {

// The whole file, or nothing when it cannot be opened or read (missing, a directory, no access).
std::optional<std::string> readFileBytes(const std::string& path);

enum class WriteOutcome {
    Written,
    CannotCreate, // the file (or its temporary sibling) could not be created, or not put in place
    WriteFailed,  // created, but writing the bytes failed (disk full, I/O error)
};

WriteOutcome replaceFile(const std::string& path, std::string_view bytes);

// The system calls through which a replacement creates and fills its temporary file; tests
// put one in its place that fails as a full disk or a refusing directory would.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // mkstemp(3): the template ends in "XXXXXX"; -1 and errno on failure.
    virtual int createTemporary(std::string& pathTemplate);
    // write(2).
    virtual ssize_t write(int fd, const char* data, std::size_t size);
};

FileWriter& fileWriter();
// Installs a replacement; nullptr restores the system's calls.
void setFileWriter(FileWriter* writer);

} // namespace pkm
