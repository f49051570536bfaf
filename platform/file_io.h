#pragma once
// Whole-file reading and replacing of the files the user keeps (Release.ini, templates, the
// generated NFO and DIZ files). Reads take only regular files of a bounded size, so a FIFO or a
// device never blocks or floods the window. A replacement follows symbolic links to the file
// they name, keeps its owner, group and mode, and is written to a temporary file beside it and
// renamed over it, so a failed write never leaves the file truncated. Both hold an advisory
// lock (flock) on the file, so two Pakmaster windows never interleave their saves.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace pkm {

// The largest file read whole. Templates and Release.ini are kilobytes.
inline constexpr std::size_t kInputFileLimit = 4u << 20;

// Why a file is not taken as an input, one line as the messages show it below the file's
// path: the system's text ("No such file or directory.", "Permission denied."), this one for
// a directory, a FIFO or a device, or inputTooLargeText().
inline constexpr const char* kNotRegularFileText = "Not a regular file.";
// "Larger than 4 MB.": a file beyond kInputFileLimit.
std::string inputTooLargeText();

// A whole-file read: the bytes, or why there are none.
struct FileRead {
    std::optional<std::string> bytes;
    // Empty when the bytes were read.
    std::string failure;
};

// The whole file, or why it cannot be read: missing, no access, not a regular file (a
// directory, a FIFO, a device), or larger than kInputFileLimit. A save in progress is waited
// for, never seen half written.
FileRead readInputFile(const std::string& path);
// readInputFile(path).bytes.
std::optional<std::string> readFileBytes(const std::string& path);

// Why the file cannot be taken as an input of any size (an archiver reads it, not this
// program): empty for a regular file this process may open for reading, else as
// FileRead::failure. Nothing is read, and a FIFO is never opened.
std::string inputFileProblem(const std::string& path);

enum class WriteOutcome {
    Written,
    CannotCreate, // the file (or its temporary sibling) could not be created, or not put in place
    WriteFailed,  // created, but writing the bytes failed (disk full, I/O error)
};

// How far a replacement makes sure of the disk. Either way the file holds its old or its new
// bytes, never a mix, while the system runs.
enum class Flush {
    // The bytes and the rename reach the disk before the write returns: a crash keeps the old
    // or the new file. For what the user made (settings, templates).
    Durable,
    // The rename alone: for files made again from others at any time (the NFO and DIZ outputs),
    // which a crash right after the write may leave empty on file systems that do not order a
    // rename after its data (ext4 does). Saves two disk flushes per file.
    Atomic,
};

// The general error handler's text of a write that failed: "Cannot create file <path>" or
// "Unable to write to <path>".
std::string writeFailureText(WriteOutcome outcome, const std::string& path);

// A file held for a read-modify-write: symbolic links are followed to the file they name, and
// an exclusive lock is held on it (on its directory while it does not exist) until the object
// goes. Other saves and reads of the file wait for it.
class FileUpdate {
public:
    explicit FileUpdate(const std::string& path);
    ~FileUpdate();
    FileUpdate(const FileUpdate&) = delete;
    FileUpdate& operator=(const FileUpdate&) = delete;

    // The file the path leads to, after symbolic links.
    const std::string& target() const { return target_; }
    // Something of any kind is there.
    bool exists() const;
    // The file's bytes, as readFileBytes would give them.
    std::optional<std::string> read() const;
    // Replaces the file's content with `bytes`. The file keeps its owner, group and mode. A file
    // with several hard links, one whose owner this process cannot give to a new file, and one
    // in a directory that refuses new files are written in place instead, after making room for
    // the new size, and get their old bytes back when the write fails.
    WriteOutcome replace(std::string_view bytes, Flush flush = Flush::Durable);

private:
    WriteOutcome writeInPlace(std::string_view bytes, off_t oldSize, Flush flush);
    void removeStaleTemporaries() const;

    std::string target_;
    int lockFd_ = -1;
    bool lockedDirectory_ = false;
};

// The file a replacement of `path` writes to (its last component's links followed, as
// FileUpdate::target() has it) as an absolute path with the links of its directories followed
// and "." and ".." resolved, so that two paths naming one file compare equal. The file need
// not exist; no lock is taken.
std::string resolvedSaveTarget(const std::string& path);

// FileUpdate(path).replace(bytes, flush).
WriteOutcome replaceFile(const std::string& path, std::string_view bytes, Flush flush = Flush::Durable);

// The names in a directory, sorted, without "." and ".."; `error` is the errno value when it
// cannot be read (0 when it was).
std::vector<std::string> directoryNames(const std::string& directory, int& error);
// Everything still to come from a descriptor (a pipe, a file), through interruptions.
std::string readToEnd(int fd);

// The system calls through which a replacement writes; tests put one in its place that fails
// as a full disk or a refusing directory would, or that records the order of the steps.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // mkostemp(3) with O_CLOEXEC: the template ends in "XXXXXX"; -1 and errno on failure.
    virtual int createTemporary(std::string& pathTemplate);
    // open(2) of an existing file for writing in place.
    virtual int openExisting(const std::string& path);
    // write(2).
    virtual ssize_t write(int fd, const char* data, std::size_t size);
    // fsync(2).
    virtual int syncFile(int fd);
    // rename(2).
    virtual int renameFile(const std::string& from, const std::string& to);
    // fsync(2) of the directory, so that a rename in it survives a power cut.
    virtual int syncDirectory(const std::string& directory);
};

FileWriter& fileWriter();
// Installs a replacement; nullptr restores the system's calls.
void setFileWriter(FileWriter* writer);

} // namespace pkm
