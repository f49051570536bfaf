#include "platform/file_io.h"

#include "platform/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pkm {

int FileWriter::createTemporary(std::string& pathTemplate)
{
    // Close-on-exec: an archiver started meanwhile must not hold the file open.
    return ::mkostemp(pathTemplate.data(), O_CLOEXEC);
}

int FileWriter::openExisting(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
}

ssize_t FileWriter::write(int fd, const char* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int FileWriter::syncFile(int fd)
{
    return ::fsync(fd);
}

int FileWriter::renameFile(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str());
}

int FileWriter::syncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = ::fsync(fd);
    ::close(fd);
    return result;
}

namespace {

FileWriter g_systemWriter;
FileWriter* g_writer = &g_systemWriter;

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = g_writer->write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Straight to the system: putting old bytes back needs no room the file did not have.
bool putBack(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

void lockFile(int fd, int operation)
{
    // A lock the file system does not offer (ENOLCK) leaves the file unlocked, as before.
    while (::flock(fd, operation) != 0 && errno == EINTR) { }
}

// The whole content of an open regular file of at most kInputFileLimit bytes.
FileRead readOpenFile(int fd)
{
    FileRead result;
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        result.failure = exitCodeText(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.failure = kNotRegularFileText;
        return result;
    }
    if (st.st_size < 0 || static_cast<std::size_t>(st.st_size) > kInputFileLimit) {
        result.failure = inputTooLargeText();
        return result;
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, static_cast<off_t>(out.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.failure = exitCodeText(errno);
            return result;
        }
        if (n == 0)
            break;
        // A file that grows while it is read is held to the same bound.
        if (out.size() + static_cast<std::size_t>(n) > kInputFileLimit) {
            result.failure = inputTooLargeText();
            return result;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    result.bytes = std::move(out);
    return result;
}

// Opens an input for reading once it is known to be a regular file: opening a FIFO waits for
// a writer, and opening some devices does things of their own. -1 with `failure` set when not.
int openInput(const std::string& path, std::string& failure)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0) {
        failure = exitCodeText(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        failure = kNotRegularFileText;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        failure = exitCodeText(errno);
    return fd;
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link of its last component followed, so that a save updates
// the file a link names instead of replacing the link. A loop stops after as many links as
// the system would follow; what is left is then no regular file, and the save refuses it.
std::string followLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st { };
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size())
            return path;
        link.resize(static_cast<std::size_t>(n));
        if (link.front() == '/' || path.find('/') == std::string::npos)
            path = link;
        else
            path = directoryOf(path) + "/" + link;
    }
    return path;
}

// "<name>.pkm-" and the six letters or digits mkstemp puts in place of "XXXXXX".
bool isTemporaryOf(std::string_view entry, std::string_view name)
{
    constexpr std::string_view kMark = ".pkm-";
    if (entry.size() != name.size() + kMark.size() + 6 || entry.substr(0, name.size()) != name
        || entry.substr(name.size(), kMark.size()) != kMark)
        return false;
    for (const char c : entry.substr(name.size() + kMark.size())) {
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum)
            return false;
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

FileWriter& fileWriter()
{
    return *g_writer;
}

void setFileWriter(FileWriter* writer)
{
    g_writer = writer != nullptr ? writer : &g_systemWriter;
}

std::string inputTooLargeText()
{
    return formatMessage("Larger than %d MB.", static_cast<long long>(kInputFileLimit >> 20));
}

FileRead readInputFile(const std::string& path)
{
    FileRead result;
    const int fd = openInput(path, result.failure);
    if (fd < 0)
        return result;
    lockFile(fd, LOCK_SH);
    result = readOpenFile(fd);
    ::close(fd);
    return result;
}

std::optional<std::string> readFileBytes(const std::string& path)
{
    return readInputFile(path).bytes;
}

std::string inputFileProblem(const std::string& path)
{
    std::string failure;
    const int fd = openInput(path, failure);
    if (fd >= 0)
        ::close(fd);
    return failure;
}

FileUpdate::FileUpdate(const std::string& path)
    : target_(followLinks(path))
{
    // The lock is taken on the file that is there once the lock is held: a save that renamed
    // a new file into place while this one waited leaves the old file locked, not the new one.
    for (int attempt = 0; attempt < 100; ++attempt) {
        struct stat st { };
        if (::stat(target_.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode))
                return;
            int fd = ::open(target_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0)
                fd = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0)
                return;
            lockFile(fd, LOCK_EX);
            struct stat held { };
            struct stat now { };
            if (::fstat(fd, &held) == 0 && ::stat(target_.c_str(), &now) == 0 && held.st_dev == now.st_dev
                && held.st_ino == now.st_ino) {
                lockFd_ = fd;
                return;
            }
            ::close(fd);
        } else if (errno == ENOENT) {
            // Nothing to lock yet: the directory stands for the file until it is created.
            const int fd = ::open(directoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0)
                return;
            lockFile(fd, LOCK_EX);
            if (::lstat(target_.c_str(), &st) != 0 && errno == ENOENT) {
                lockFd_ = fd;
                lockedDirectory_ = true;
                return;
            }
            ::close(fd);
        } else {
            return;
        }
    }
}

FileUpdate::~FileUpdate()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool FileUpdate::exists() const
{
    struct stat st { };
    return ::lstat(target_.c_str(), &st) == 0;
}

std::optional<std::string> FileUpdate::read() const
{
    if (lockedDirectory_)
        return std::nullopt;
    // Read through the locked descriptor: a second open would wait for this very lock.
    if (lockFd_ >= 0)
        return readOpenFile(lockFd_).bytes;
    return readFileBytes(target_);
}

void FileUpdate::removeStaleTemporaries() const
{
    // Only while the lock is held: then no other save of this file is under way, and every
    // temporary file of it was left by a save that was killed.
    if (lockFd_ < 0)
        return;
    DIR* dir = ::opendir(directoryOf(target_).c_str());
    if (dir == nullptr)
        return;
    const std::string name = nameOf(target_);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryOf(entry->d_name, name))
            continue;
        struct stat st { };
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

WriteOutcome FileUpdate::replace(std::string_view bytes, Flush flush)
{
    struct stat target { };
    const bool exists = ::lstat(target_.c_str(), &target) == 0;
    // A directory, a FIFO, a device (or a loop of links) is never replaced by a file.
    if (exists && !S_ISREG(target.st_mode))
        return WriteOutcome::CannotCreate;
    if (exists && ::access(target_.c_str(), W_OK) != 0)
        return WriteOutcome::CannotCreate; // a write-protected file stays protected

    removeStaleTemporaries();
    // A rename would leave the other names of the file with the old content.
    if (exists && target.st_nlink > 1)
        return writeInPlace(bytes, target.st_size, flush);

    std::string tmp = target_ + ".pkm-XXXXXX";
    const int fd = g_writer->createTemporary(tmp);
    if (fd < 0) {
        // A directory the user may not add to, holding a file the user may write.
        if (exists && (errno == EACCES || errno == EPERM))
            return writeInPlace(bytes, target.st_size, flush);
        return WriteOutcome::CannotCreate;
    }

    if (exists) {
        struct stat made { };
        const bool sameOwner = ::fstat(fd, &made) == 0 && made.st_uid == target.st_uid && made.st_gid == target.st_gid;
        if (!sameOwner && ::fchown(fd, target.st_uid, target.st_gid) != 0) {
            // Only the file itself keeps an owner this process cannot give away.
            ::close(fd);
            ::unlink(tmp.c_str());
            return writeInPlace(bytes, target.st_size, flush);
        }
        // After the owner: a change of owner clears the set-id bits.
        ::fchmod(fd, target.st_mode & 07777);
    } else {
        ::fchmod(fd, newFileMode());
    }

    const bool ok = writeAll(fd, bytes) && (flush == Flush::Atomic || g_writer->syncFile(fd) == 0);
    if (::close(fd) != 0 || !ok) {
        ::unlink(tmp.c_str());
        return WriteOutcome::WriteFailed;
    }
    if (g_writer->renameFile(tmp, target_) != 0) {
        const int error = errno;
        ::unlink(tmp.c_str());
        // A file mounted over its name (a bind mount) cannot be renamed over; it can be written.
        if (exists && error == EBUSY)
            return writeInPlace(bytes, target.st_size, flush);
        return WriteOutcome::CannotCreate;
    }
    // The rename is only durable once the directory is; a file system without directory sync
    // has nothing to lose here.
    if (flush == Flush::Durable)
        g_writer->syncDirectory(directoryOf(target_));
    return WriteOutcome::Written;
}

WriteOutcome FileUpdate::writeInPlace(std::string_view bytes, off_t oldSize, Flush flush)
{
    const std::optional<std::string> old = read();
    const int fd = g_writer->openExisting(target_);
    if (fd < 0)
        return WriteOutcome::CannotCreate;
    // Room first, so that a full disk fails before a byte of the old content is overwritten.
    if (static_cast<off_t>(bytes.size()) > oldSize) {
        const int error = ::posix_fallocate(fd, oldSize, static_cast<off_t>(bytes.size()) - oldSize);
        if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
            static_cast<void>(::ftruncate(fd, oldSize));
            ::close(fd);
            return WriteOutcome::WriteFailed;
        }
    }
    bool ok = ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, bytes)
        && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0
        && (flush == Flush::Atomic || g_writer->syncFile(fd) == 0);
    if (!ok && old)
        putBack(fd, *old);
    if (::close(fd) != 0)
        ok = false;
    return ok ? WriteOutcome::Written : WriteOutcome::WriteFailed;
}

std::string resolvedSaveTarget(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path target = followLinks(path);
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(target, error);
    // A loop of links, or a directory that may not be looked into: as written.
    if (error)
        resolved = fs::absolute(target, error).lexically_normal();
    return resolved.string();
}

WriteOutcome replaceFile(const std::string& path, std::string_view bytes, Flush flush)
{
    FileUpdate update(path);
    return update.replace(bytes, flush);
}

std::vector<std::string> directoryNames(const std::string& directory, int& error)
{
    std::vector<std::string> names;
    error = 0;
    DIR* handle = ::opendir(directory.c_str());
    if (handle == nullptr) {
        error = errno;
        return names;
    }
    while (const dirent* entry = ::readdir(handle)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(handle);
    std::sort(names.begin(), names.end());
    return names;
}

std::string readToEnd(int fd)
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::string writeFailureText(WriteOutcome outcome, const std::string& path)
{
    return formatMessage(outcome == WriteOutcome::CannotCreate ? "Cannot create file %s" : "Unable to write to %s",
                         path);
}

} // namespace pkm
