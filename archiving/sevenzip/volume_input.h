#pragma once
// What the 7-Zip adapter decides about a volume run, apart from running 7zz: what the input
// holds (links that must stay inside it, folders that links lead into too often, whether
// anything changed while 7zz read it), the earlier set in the output directory and what of it
// goes, what stays out of the input, and what 7zz's exit status means.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace pkm {

// A volume run that cannot go on: an errno value, whose text the program shows, and one line.
struct VolumeRunError {
    int code;
    std::string reason;
};

// How often links may lead into one folder before the input counts as a trap: every real
// folder is walked (and packed) once for each way into it.
inline constexpr int kMaxWaysIntoFolder = 16;

// The path of `inner` relative to `outer` when it lies inside it (both resolved), else nothing.
std::optional<std::string> pathInside(const std::string& outer, const std::string& inner);

// What 7zz reads of one entry, taken before and compared after: 7zz packs whatever it reads
// and reports success also when a file changed meanwhile.
struct EntryState {
    char kind = '?'; // 'f' file, 'd' folder, 'l' link, '?' anything else
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    dev_t device = 0;
    ino_t inode = 0;
    std::string linkTarget;
    bool operator==(const EntryState&) const = default;
};

// Every entry below the input directory, links followed as 7zz follows them, except the runs'
// own folders and `excluded` (paths relative to the input). Throws VolumeRunError for a link
// that leads out of the input (EPERM), links leading into one folder more than
// kMaxWaysIntoFolder times (ELOOP), and an input that is missing or not a directory.
class InputSnapshot {
public:
    InputSnapshot(const std::string& inputDir, const std::set<std::string>& excluded);

    std::size_t entries() const { return entries_.size(); }
    // The first entry (relative to the input) that is not what it was, empty when none.
    std::string firstChanged(const InputSnapshot& after) const;

private:
    bool inside(const std::string& path) const;
    void walk(const std::string& dir, const std::string& relative, const struct stat& dirStat);

    std::string inputDir_;
    std::string root_;
    const std::set<std::string>& excluded_;
    std::map<std::string, EntryState> entries_;
    std::set<std::pair<dev_t, ino_t>> onTheWay_;
    std::map<std::pair<dev_t, ino_t>, int> waysInto_;
};

// Picks the last "errno=<n>" out of 7zz's output, which is how it names a system error such as
// a full disk, so that the exit status says the same.
class ErrnoScanner {
public:
    void feed(const char* data, std::size_t size);
    int last() const { return last_; }

private:
    static constexpr std::size_t kKept = 16;
    std::string text_;
    int last_ = 0;
};

// The errno value a failed 7zz run stands for: what it named in its output, else its exit
// status read (8 memory, 7 command line, anything else an input/output error).
int sevenZipFailureErrno(int exitStatus, int named);

// The earlier set: the output directory's volumes of this name. A folder among them could be
// neither replaced nor removed with the set: refused (EISDIR) before 7zz spends its time.
std::vector<std::string> earlierVolumes(const std::string& outputDir, const std::string& volumeName);
// What stays out of the input: the earlier volumes, when the output lies inside the input.
std::set<std::string> excludedFromInput(const std::string& inputDir, const std::string& outputDir,
                                        const std::vector<std::string>& earlier);
// The earlier volumes beyond a new set of `count`: they would be read as part of the new
// archive, so they go with the earlier set.
std::vector<std::string> volumesBeyond(const std::vector<std::string>& earlier, const std::string& volumeName,
                                       std::size_t count);

} // namespace pkm
