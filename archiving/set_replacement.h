#pragma once
// A set of files replaced as a whole: the volumes of a run, or the zips of a series. The new
// files are made in a hidden staging folder of their directory (or made in place and moved
// there at once), and take the places of the earlier ones only when all of them are ready.
// Until the replacement is finished, every step can be undone, by this run or, when it was
// killed, by the next run into that directory: the earlier set is whole again after any
// failure, and never mixed with new files.
//
// The staging folder ".pkm-staging-XXXXXX" holds
//   new/       the new files, until they are moved into place;
//   earlier/   earlier files taken out of the way, until the replacement is finished;
//   journal    names of files a command is making in place (NUL-separated);
//   manifest   names of the new files, written before any of them is moved into place;
//   committed  the manifest, renamed once every new file is in place: from then on the new set
//              stands and only the staging folder remains to be removed.
// A run holds a lock on its directory for its whole length, so two runs never write into one
// directory at once, and a lock on its staging folder, so a later run can tell a live run's
// folder from a dead one's.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

// Names the runs keep for themselves; an archiver never packs them.
inline constexpr std::string_view kStagingPrefix = ".pkm-staging-";
// Earlier versions moved an earlier zip aside under this prefix.
inline constexpr std::string_view kAsidePrefix = ".pkm-aside-";

// True for a name of the runs' own (either prefix).
bool isRunsOwnName(std::string_view name);

struct ReplaceError {
    int code = 0;       // an errno value; 0 when all went well
    std::string reason; // one sentence, naming the file or directory
    explicit operator bool() const { return code != 0; }
};

// The calls that move files; tests put one in their place that fails at a chosen step.
class ReplacementOps {
public:
    virtual ~ReplacementOps() = default;
    // rename(2) and unlink(2): 0, or the errno value.
    virtual int renameFile(const std::string& from, const std::string& to);
    virtual int removeFile(const std::string& path);
};
ReplacementOps& systemReplacementOps();

class SetReplacement {
public:
    // Takes `directory` for this run: its lock (EBUSY when another run holds it), the staging
    // folders that dead runs left put right, a fresh staging folder. Null with `error` set
    // when any of it fails; nothing of the directory's files has changed then, except that a
    // dead run's replacement was undone.
    static std::unique_ptr<SetReplacement> begin(const std::string& directory, ReplaceError& error,
                                                 ReplacementOps& ops = systemReplacementOps());
    // Unless finished: rolled back.
    ~SetReplacement();
    SetReplacement(const SetReplacement&) = delete;
    SetReplacement& operator=(const SetReplacement&) = delete;

    const std::string& directory() const { return directory_; }
    // The staging folder's name, within the directory.
    const std::string& stagingName() const { return stagingName_; }
    // Where new files are made before they take their places.
    std::string newFilesDir() const;

    // A command is about to make the file `name` of the directory afresh: the earlier file
    // there is taken out of the way (a directory of that name is refused).
    ReplaceError setAside(const std::string& name);
    // The command made `name`: it goes into the staging folder with the new set, and the
    // earlier file comes back until the set is committed. `made` is false when the command
    // succeeded without making the file: the earlier file then goes with the earlier set.
    ReplaceError keepMade(const std::string& name, bool& made);
    // A file of the new set that this program writes itself (a checksum file), into the staging
    // folder; it takes its place with the others.
    ReplaceError writeNew(const std::string& name, std::string_view bytes);
    // Every file of the new set in place; `removed` are earlier files that go with the earlier
    // set. Refused before anything moves when a target is a directory. On a failure part-way,
    // everything moved is put back.
    ReplaceError commit(const std::vector<std::string>& newNames, const std::vector<std::string>& removed);
    // The new set stands: the earlier files and the staging folder go. No undoing after this.
    ReplaceError finish();
    // Every earlier file back, every file of this run gone, the staging folder removed.
    ReplaceError rollback();

private:
    SetReplacement(std::string directory, ReplacementOps& ops);

    std::string directory_;
    std::string stagingName_;
    ReplacementOps& ops_;
    int directoryLock_ = -1;
    int stagingLock_ = -1;
    bool done_ = false;
};

// Puts right the staging folder `stagingName` of `directory` that a run left: undone, or, when
// the run had committed, only removed. Kept, with the reason, when an earlier file cannot be
// put back.
ReplaceError recoverStaging(const std::string& directory, const std::string& stagingName,
                            ReplacementOps& ops = systemReplacementOps());

// The files a series of commands makes afresh, possibly in several directories: each earlier
// file is set aside while its command runs, and the new files replace the earlier ones together
// once every command succeeded.
class SeriesReplacement {
public:
    explicit SeriesReplacement(ReplacementOps& ops = systemReplacementOps());
    ~SeriesReplacement();
    SeriesReplacement(const SeriesReplacement&) = delete;
    SeriesReplacement& operator=(const SeriesReplacement&) = delete;

    // Before the command that makes `path`.
    ReplaceError beforeStep(const std::string& path);
    // The staging folder that holds what the command making `path` set aside, after beforeStep.
    std::string stagingFor(const std::string& path) const;
    // After it succeeded.
    ReplaceError afterStep(const std::string& path);
    // Where the new `path` waits until the commit, once a step made it (or it was added).
    std::string stagedPath(const std::string& path) const;
    // A file of the series that this program writes itself, put in place with the others.
    ReplaceError addNewFile(const std::string& path, std::string_view bytes);
    // Files a command made directly in the staging folder of `path`'s directory (named as they
    // will be there), put in place with the others.
    ReplaceError adoptNewFiles(const std::string& directory, const std::vector<std::string>& names);
    // The staging folder's new files of a directory, where commands may make more of the set.
    std::string newFilesDirFor(const std::string& directory, ReplaceError& error);
    // After every command succeeded: the new files in place, all or none.
    ReplaceError commit();
    // After a failure: everything as it was.
    ReplaceError rollback();

private:
    SetReplacement* setFor(const std::string& directory, ReplaceError& error);

    ReplacementOps& ops_;
    struct Directory {
        std::unique_ptr<SetReplacement> set;
        std::vector<std::string> made;
        std::vector<std::string> removed;
    };
    std::vector<Directory> directories_;
};

} // namespace pkm
