// The volume run's decisions about its input, its earlier set and 7zz's exit status.
#include "archiving/sevenzip/volume_input.h"

#include "archiving/set_replacement.h"
#include "archiving/sevenzip/sevenzip_arguments.h"
#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pkm {

namespace {

[[noreturn]] void fail(int code, std::string reason)
{
    throw VolumeRunError {code, std::move(reason)};
}

std::string errnoText(int code)
{
    return std::strerror(code);
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    return dir == "/" ? "/" + name : dir + "/" + name;
}

std::vector<std::string> directoryEntries(const std::string& dir)
{
    int error = 0;
    std::vector<std::string> names = directoryNames(dir, error);
    if (error != 0)
        fail(error, "Cannot read directory " + dir + ": " + errnoText(error));
    return names;
}

std::optional<std::string> canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return std::nullopt;
    return std::string(resolved);
}

std::int64_t mtimeNs(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

} // namespace

std::optional<std::string> pathInside(const std::string& outer, const std::string& inner)
{
    const std::optional<std::string> base = canonical(outer);
    const std::optional<std::string> target = canonical(inner);
    if (!base || !target)
        return std::nullopt;
    if (*target == *base)
        return std::string();
    const std::string prefix = *base == "/" ? "/" : *base + "/";
    if (target->compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    return target->substr(prefix.size());
}

InputSnapshot::InputSnapshot(const std::string& inputDir, const std::set<std::string>& excluded)
    : inputDir_(inputDir)
    , excluded_(excluded)
{
    struct stat st { };
    if (::stat(inputDir.c_str(), &st) != 0)
        fail(errno, "Input directory " + inputDir + ": " + errnoText(errno));
    if (!S_ISDIR(st.st_mode))
        fail(ENOTDIR, "Input is not a directory: " + inputDir);
    const std::optional<std::string> root = canonical(inputDir);
    if (!root)
        fail(errno, "Input directory " + inputDir + ": " + errnoText(errno));
    root_ = *root;
    walk(inputDir, std::string(), st);
}

std::string InputSnapshot::firstChanged(const InputSnapshot& after) const
{
    auto b = entries_.begin();
    auto a = after.entries_.begin();
    for (; b != entries_.end() && a != after.entries_.end(); ++b, ++a) {
        if (b->first != a->first)
            return std::min(b->first, a->first);
        if (!(b->second == a->second))
            return b->first;
    }
    if (b != entries_.end())
        return b->first;
    if (a != after.entries_.end())
        return a->first;
    return {};
}

bool InputSnapshot::inside(const std::string& path) const
{
    return path == root_ || path.compare(0, root_.size() + 1, root_ == "/" ? "/" : root_ + "/") == 0;
}

void InputSnapshot::walk(const std::string& dir, const std::string& relative, const struct stat& dirStat)
{
    const std::pair<dev_t, ino_t> id {dirStat.st_dev, dirStat.st_ino};
    if (!onTheWay_.insert(id).second)
        return;
    if (++waysInto_[id] > kMaxWaysIntoFolder)
        fail(ELOOP, "Links lead into " + dir + " more than " + std::to_string(kMaxWaysIntoFolder) + " times");
    for (const std::string& name : directoryEntries(dir)) {
        const std::string childRelative = relative.empty() ? name : relative + "/" + name;
        if (excluded_.count(childRelative) != 0 || isRunsOwnName(name))
            continue;
        const std::string full = joinPath(dir, name);
        struct stat st { };
        if (::lstat(full.c_str(), &st) != 0)
            continue; // gone meanwhile: the comparison afterwards notices
        EntryState state;
        if (S_ISLNK(st.st_mode)) {
            state.kind = 'l';
            std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
            const ssize_t length = ::readlink(full.c_str(), target.data(), target.size());
            state.linkTarget.assign(target.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
            const std::optional<std::string> resolved = canonical(full);
            if (resolved && !inside(*resolved))
                fail(EPERM, "The link " + full + " leads outside the input directory, to " + *resolved);
            entries_[childRelative] = state;
            if (!resolved || ::stat(full.c_str(), &st) != 0)
                continue; // a broken link: 7zz reports it
        }
        if (S_ISDIR(st.st_mode)) {
            if (state.kind != 'l')
                entries_[childRelative] = EntryState {'d', 0, 0, 0, 0, {}};
            walk(full, childRelative, st);
            continue;
        }
        const EntryState content {S_ISREG(st.st_mode) ? 'f' : '?', st.st_size, mtimeNs(st), st.st_dev, st.st_ino, {}};
        if (state.kind == 'l')
            entries_[childRelative + "\n->"] = content; // what the link leads to
        else
            entries_[childRelative] = content;
    }
    onTheWay_.erase(id);
}

void ErrnoScanner::feed(const char* data, std::size_t size)
{
    // The tail of the previous chunk comes first, so that a number cut by a chunk's end
    // is read whole; one read twice gives the same value.
    text_.append(data, size);
    for (std::size_t pos = text_.find("errno="); pos != std::string::npos; pos = text_.find("errno=", pos + 1)) {
        std::size_t end = pos + 6;
        int value = 0;
        while (end < text_.size() && end < pos + 10 && text_[end] >= '0' && text_[end] <= '9')
            value = value * 10 + (text_[end++] - '0');
        if (end < text_.size() && end > pos + 6 && value > 0 && value < 256)
            last_ = value;
    }
    if (text_.size() > kKept)
        text_.erase(0, text_.size() - kKept);
}

int sevenZipFailureErrno(int exitStatus, int named)
{
    // 7zz: 1 warnings (a file it could not read), 2 fatal error, 7 command line, 8 memory.
    if (named != 0)
        return named;
    return exitStatus == 8 ? ENOMEM : exitStatus == 7 ? EINVAL : EIO;
}

std::vector<std::string> earlierVolumes(const std::string& outputDir, const std::string& volumeName)
{
    std::vector<std::string> earlier;
    for (const std::string& name : directoryEntries(outputDir)) {
        if (volumeNumber(name, volumeName) == 0)
            continue;
        struct stat st { };
        const std::string path = joinPath(outputDir, name);
        if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            fail(EISDIR, "Cannot replace " + path + ": it is a directory");
        earlier.push_back(name);
    }
    return earlier;
}

std::set<std::string> excludedFromInput(const std::string& inputDir, const std::string& outputDir,
                                        const std::vector<std::string>& earlier)
{
    std::set<std::string> excluded;
    if (const std::optional<std::string> inside = pathInside(inputDir, outputDir)) {
        const std::string prefix = inside->empty() ? std::string() : *inside + "/";
        for (const std::string& name : earlier)
            excluded.insert(prefix + name);
    }
    return excluded;
}

std::vector<std::string> volumesBeyond(const std::vector<std::string>& earlier, const std::string& volumeName,
                                       std::size_t count)
{
    std::vector<std::string> beyond;
    for (const std::string& name : earlier) {
        if (volumeNumber(name, volumeName) > count)
            beyond.push_back(name);
    }
    return beyond;
}

} // namespace pkm
