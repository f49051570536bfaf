// SetReplacement: the staging folder, its journal and the moves that replace a set of files.
#include "archiving/set_replacement.h"

#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pkm {

namespace {

constexpr const char* kNewDir = "new";
constexpr const char* kEarlierDir = "earlier";
constexpr const char* kJournal = "journal";
constexpr const char* kManifest = "manifest";
constexpr const char* kCommitted = "committed";

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string errnoText(int code)
{
    return std::strerror(code);
}

// Reasons are sentences: shown in a message box, or on a line of the log.
ReplaceError failure(int code, std::string reason)
{
    if (!reason.empty() && reason.back() != '.')
        reason += '.';
    return {code, std::move(reason)};
}

bool exists(const std::string& path, struct stat* st = nullptr)
{
    struct stat local { };
    return ::lstat(path.c_str(), st != nullptr ? st : &local) == 0;
}

bool isDirectory(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A plain name within the directory: no separator, not "." or "..".
bool plainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\0') == std::string::npos;
}

std::vector<std::string> entriesOf(const std::string& dir)
{
    int ignored = 0;
    return directoryNames(dir, ignored);
}

// NUL-separated names, as the journal and the manifest hold them.
std::vector<std::string> readRecords(const std::string& path)
{
    std::vector<std::string> names;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return names;
    const std::string bytes = readToEnd(fd);
    ::close(fd);
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
        names.push_back(bytes.substr(start, end - start));
    return names;
}

int writeRecords(const std::string& path, const std::vector<std::string>& names, bool append)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0600);
    if (fd < 0)
        return errno;
    std::string bytes;
    for (const std::string& name : names) {
        bytes += name;
        bytes += '\0';
    }
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    int error = 0;
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? errno : EIO;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

void removeTree(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

// An exclusive lock without waiting: 0, EWOULDBLOCK when somebody holds it, or another errno
// when the file system has no locks.
int tryLock(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return errno == EAGAIN ? EWOULDBLOCK : errno;
    }
    return 0;
}

void keepFirst(ReplaceError& first, ReplaceError next)
{
    if (!first && next)
        first = std::move(next);
}

} // namespace

bool isRunsOwnName(std::string_view name)
{
    return name.substr(0, kStagingPrefix.size()) == kStagingPrefix
        || name.substr(0, kAsidePrefix.size()) == kAsidePrefix;
}

int ReplacementOps::renameFile(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int ReplacementOps::removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

ReplacementOps& systemReplacementOps()
{
    static ReplacementOps ops;
    return ops;
}

ReplaceError recoverStaging(const std::string& directory, const std::string& stagingName, ReplacementOps& ops)
{
    const std::string staging = joinPath(directory, stagingName);
    if (exists(joinPath(staging, kCommitted))) {
        removeTree(staging);
        return {};
    }
    std::vector<std::string> names = readRecords(joinPath(staging, kManifest));
    const std::vector<std::string> making = readRecords(joinPath(staging, kJournal));
    names.insert(names.end(), making.begin(), making.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());

    const std::string newDir = joinPath(staging, kNewDir);
    const std::string earlierDir = joinPath(staging, kEarlierDir);
    ReplaceError first;
    // A file of the run that reached the directory (no longer in new/) goes; where an earlier
    // file waits, putting that back below replaces it in one step.
    for (const std::string& name : names) {
        if (!plainName(name) || exists(joinPath(newDir, name)) || exists(joinPath(earlierDir, name)))
            continue;
        const std::string path = joinPath(directory, name);
        struct stat st { };
        if (!exists(path, &st) || S_ISDIR(st.st_mode))
            continue;
        if (const int error = ops.removeFile(path))
            keepFirst(first, failure(error, "Cannot remove " + path + ": " + errnoText(error)));
    }
    for (const std::string& name : entriesOf(earlierDir)) {
        const std::string from = joinPath(earlierDir, name);
        const std::string to = joinPath(directory, name);
        if (const int error = ops.renameFile(from, to))
            keepFirst(first, failure(error, "Cannot put back " + to + " (kept as " + from + "): " + errnoText(error)));
    }
    if (!first)
        removeTree(staging);
    return first;
}

SetReplacement::SetReplacement(std::string directory, ReplacementOps& ops)
    : directory_(std::move(directory))
    , ops_(ops)
{
}

std::unique_ptr<SetReplacement> SetReplacement::begin(const std::string& directory, ReplaceError& error,
                                                      ReplacementOps& ops)
{
    error = {};
    std::unique_ptr<SetReplacement> set(new SetReplacement(directory, ops));
    set->directoryLock_ = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (set->directoryLock_ < 0) {
        error = failure(errno, "Cannot open the directory " + directory + ": " + errnoText(errno));
        set->done_ = true;
        return nullptr;
    }
    // A file system without locks cannot keep two runs apart; the run goes on regardless.
    if (tryLock(set->directoryLock_) == EWOULDBLOCK) {
        error = failure(EBUSY, "Another run is writing into " + directory + ".");
        set->done_ = true;
        return nullptr;
    }

    for (const std::string& name : entriesOf(directory)) {
        const std::string path = joinPath(directory, name);
        if (name.rfind(std::string(kStagingPrefix), 0) != 0 || !isDirectory(path))
            continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        // Only a folder nobody holds is a dead run's.
        if (tryLock(fd) == 0) {
            ReplaceError recovered = recoverStaging(directory, name, ops);
            if (recovered) {
                ::close(fd);
                error = std::move(recovered);
                set->done_ = true;
                return nullptr;
            }
        }
        ::close(fd);
    }

    std::string staging = joinPath(directory, std::string(kStagingPrefix) + "XXXXXX");
    if (::mkdtemp(staging.data()) == nullptr) {
        error = failure(errno, "Cannot write into " + directory + ": " + errnoText(errno));
        set->done_ = true;
        return nullptr;
    }
    set->stagingName_ = staging.substr(staging.find_last_of('/') + 1);
    for (const char* sub : {kNewDir, kEarlierDir}) {
        if (::mkdir(joinPath(staging, sub).c_str(), 0700) != 0) {
            error = failure(errno, "Cannot write into " + directory + ": " + errnoText(errno));
            removeTree(staging);
            set->done_ = true;
            return nullptr;
        }
    }
    set->stagingLock_ = ::open(staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (set->stagingLock_ >= 0)
        tryLock(set->stagingLock_);
    return set;
}

SetReplacement::~SetReplacement()
{
    if (!done_)
        rollback();
    for (int fd : {stagingLock_, directoryLock_}) {
        if (fd >= 0)
            ::close(fd);
    }
}

std::string SetReplacement::newFilesDir() const
{
    return joinPath(joinPath(directory_, stagingName_), kNewDir);
}

ReplaceError SetReplacement::setAside(const std::string& name)
{
    if (!plainName(name))
        return failure(EINVAL, "Not a file name of " + directory_ + ": " + name);
    const std::string staging = joinPath(directory_, stagingName_);
    const std::string path = joinPath(directory_, name);
    struct stat st { };
    if (exists(path, &st)) {
        if (S_ISDIR(st.st_mode))
            return failure(EISDIR, "Cannot replace " + path + ": it is a directory.");
        if (const int error = ops_.renameFile(path, joinPath(joinPath(staging, kEarlierDir), name)))
            return failure(error, "Cannot move " + path + " aside: " + errnoText(error));
    }
    // Written once the earlier file is out of the way: a name in the journal without an earlier
    // file is one the run made, which undoing removes.
    if (const int error = writeRecords(joinPath(staging, kJournal), {name}, true)) {
        ReplaceError why = failure(error, "Cannot write into " + staging + ": " + errnoText(error));
        const std::string earlier = joinPath(joinPath(staging, kEarlierDir), name);
        if (exists(earlier))
            ops_.renameFile(earlier, path);
        return why;
    }
    return {};
}

ReplaceError SetReplacement::keepMade(const std::string& name, bool& made)
{
    if (!plainName(name))
        return failure(EINVAL, "Not a file name of " + directory_ + ": " + name);
    const std::string staging = joinPath(directory_, stagingName_);
    const std::string path = joinPath(directory_, name);
    struct stat st { };
    made = exists(path, &st);
    if (made && S_ISDIR(st.st_mode))
        return failure(EISDIR, "The archiver made a directory " + path + ".");
    if (made) {
        if (const int error = ops_.renameFile(path, joinPath(newFilesDir(), name)))
            return failure(error, "Cannot move " + path + " into " + staging + ": " + errnoText(error));
    }
    const std::string earlier = joinPath(joinPath(staging, kEarlierDir), name);
    if (exists(earlier)) {
        if (const int error = ops_.renameFile(earlier, path))
            return failure(error, "Cannot put back " + path + ": " + errnoText(error));
    }
    return {};
}

ReplaceError SetReplacement::writeNew(const std::string& name, std::string_view bytes)
{
    if (!plainName(name))
        return failure(EINVAL, "Not a file name of " + directory_ + ": " + name);
    const std::string path = joinPath(newFilesDir(), name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure(errno, "Cannot write " + path + ": " + errnoText(errno));
    int error = 0;
    while (!bytes.empty() && error == 0) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            error = written < 0 ? errno : EIO;
        else
            bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return failure(error, "Cannot write " + path + ": " + errnoText(error));
    return {};
}

ReplaceError SetReplacement::commit(const std::vector<std::string>& newNames, const std::vector<std::string>& removed)
{
    const std::string staging = joinPath(directory_, stagingName_);
    std::vector<std::string> targets = newNames;
    targets.insert(targets.end(), removed.begin(), removed.end());
    // Every target checked before anything moves: a set is replaced whole or not at all.
    for (const std::string& name : targets) {
        if (!plainName(name))
            return failure(EINVAL, "Not a file name of " + directory_ + ": " + name);
        if (isDirectory(joinPath(directory_, name)))
            return failure(EISDIR, "Cannot replace " + joinPath(directory_, name) + ": it is a directory.");
    }
    for (const std::string& name : newNames) {
        if (!exists(joinPath(newFilesDir(), name)))
            return failure(ENOENT, "The new file " + name + " is missing from " + staging + ".");
    }
    if (const int error = writeRecords(joinPath(staging, kManifest), newNames, false))
        return failure(error, "Cannot write into " + staging + ": " + errnoText(error));

    const auto undo = [this](ReplaceError why) {
        if (ReplaceError back = rollback())
            why.reason += " " + back.reason;
        return why;
    };
    const std::string earlierDir = joinPath(staging, kEarlierDir);
    for (const std::string& name : targets) {
        const std::string path = joinPath(directory_, name);
        if (!exists(path))
            continue;
        if (const int error = ops_.renameFile(path, joinPath(earlierDir, name)))
            return undo(failure(error, "Cannot move " + path + " aside: " + errnoText(error)));
    }
    for (const std::string& name : newNames) {
        const std::string path = joinPath(directory_, name);
        if (const int error = ops_.renameFile(joinPath(newFilesDir(), name), path))
            return undo(failure(error, "Cannot move " + name + " into " + directory_ + ": " + errnoText(error)));
    }
    return {};
}

ReplaceError SetReplacement::finish()
{
    if (done_)
        return {};
    const std::string staging = joinPath(directory_, stagingName_);
    const std::string manifest = joinPath(staging, kManifest);
    // Nothing was committed: what was set aside comes back.
    if (!exists(manifest))
        return rollback();
    if (const int error = ops_.renameFile(manifest, joinPath(staging, kCommitted))) {
        ReplaceError why = failure(error, "Cannot write into " + staging + ": " + errnoText(error));
        if (ReplaceError back = rollback())
            why.reason += " " + back.reason;
        return why;
    }
    done_ = true;
    removeTree(staging);
    return {};
}

ReplaceError SetReplacement::rollback()
{
    if (done_)
        return {};
    done_ = true;
    return recoverStaging(directory_, stagingName_, ops_);
}

SeriesReplacement::SeriesReplacement(ReplacementOps& ops)
    : ops_(ops)
{
}

SeriesReplacement::~SeriesReplacement()
{
    rollback();
}

namespace {

// The directory (without a trailing separator, "/" for the root) and the name of a path.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

} // namespace

SetReplacement* SeriesReplacement::setFor(const std::string& directory, ReplaceError& error)
{
    for (Directory& entry : directories_) {
        if (entry.set->directory() == directory)
            return entry.set.get();
    }
    std::unique_ptr<SetReplacement> set = SetReplacement::begin(directory, error, ops_);
    if (!set)
        return nullptr;
    directories_.push_back({std::move(set), {}, {}});
    return directories_.back().set.get();
}

ReplaceError SeriesReplacement::beforeStep(const std::string& path)
{
    const auto [directory, name] = splitPath(path);
    ReplaceError error;
    SetReplacement* set = setFor(directory, error);
    return set ? set->setAside(name) : error;
}

std::string SeriesReplacement::stagingFor(const std::string& path) const
{
    const std::string directory = splitPath(path).first;
    for (const Directory& entry : directories_) {
        if (entry.set->directory() == directory)
            return joinPath(directory, entry.set->stagingName());
    }
    return {};
}

std::string SeriesReplacement::stagedPath(const std::string& path) const
{
    const auto [directory, name] = splitPath(path);
    for (const Directory& entry : directories_) {
        if (entry.set->directory() == directory)
            return joinPath(entry.set->newFilesDir(), name);
    }
    return {};
}

std::string SeriesReplacement::newFilesDirFor(const std::string& directory, ReplaceError& error)
{
    SetReplacement* set = setFor(directory, error);
    return set ? set->newFilesDir() : std::string();
}

ReplaceError SeriesReplacement::addNewFile(const std::string& path, std::string_view bytes)
{
    const auto [directory, name] = splitPath(path);
    ReplaceError error;
    SetReplacement* set = setFor(directory, error);
    if (!set)
        return error;
    if ((error = set->writeNew(name, bytes)))
        return error;
    return adoptNewFiles(directory, {name});
}

ReplaceError SeriesReplacement::adoptNewFiles(const std::string& directory, const std::vector<std::string>& names)
{
    for (Directory& entry : directories_) {
        if (entry.set->directory() != directory)
            continue;
        for (const std::string& name : names) {
            std::erase(entry.made, name);
            std::erase(entry.removed, name);
            entry.made.push_back(name);
        }
        return {};
    }
    return failure(EINVAL, "No step wrote into " + directory + ".");
}

ReplaceError SeriesReplacement::afterStep(const std::string& path)
{
    const auto [directory, name] = splitPath(path);
    for (Directory& entry : directories_) {
        if (entry.set->directory() != directory)
            continue;
        bool made = false;
        if (ReplaceError error = entry.set->keepMade(name, made))
            return error;
        // A later step of the same file counts, as it would have replaced the earlier one.
        std::erase(entry.made, name);
        std::erase(entry.removed, name);
        (made ? entry.made : entry.removed).push_back(name);
        return {};
    }
    return failure(EINVAL, "No step made " + path + ".");
}

ReplaceError SeriesReplacement::commit()
{
    for (Directory& entry : directories_) {
        if (ReplaceError error = entry.set->commit(entry.made, entry.removed)) {
            if (ReplaceError back = rollback())
                error.reason += " " + back.reason;
            return error;
        }
    }
    ReplaceError first;
    for (Directory& entry : directories_)
        keepFirst(first, entry.set->finish());
    directories_.clear();
    return first;
}

ReplaceError SeriesReplacement::rollback()
{
    ReplaceError first;
    for (Directory& entry : directories_)
        keepFirst(first, entry.set->rollback());
    directories_.clear();
    return first;
}

} // namespace pkm
