#pragma once
// A file that a command makes afresh. zip adds to an archive that is already there, so the
// earlier archive is moved aside while the command runs: removed when the command succeeded,
// put back when it failed. The aside copy is a hidden file in the same directory, so every
// move is a rename within one file system.
#include <string>

namespace pkm {

class FileAside {
public:
    // Moves `path` aside when it is a file; an empty path moves nothing.
    explicit FileAside(std::string path);
    // Unless kept or discarded: the failure path, as restore().
    ~FileAside();
    FileAside(const FileAside&) = delete;
    FileAside& operator=(const FileAside&) = delete;

    // 0, or the errno value of a move that failed (nothing was moved then).
    int error() const { return error_; }
    // The command succeeded: the earlier file goes.
    void discard();
    // The command failed: the earlier file comes back over what the command left, or what it
    // left goes when there was nothing before.
    void restore();

private:
    std::string path_;
    std::string aside_;
    int error_ = 0;
    bool absent_ = false; // nothing was at the path
    bool done_ = false;
};

// The file "<outDir><zipName>" names for zip: zip adds ".zip" to a name whose last part has no
// period.
std::string zipFileMade(const std::string& outDir, const std::string& zipName);

} // namespace pkm
