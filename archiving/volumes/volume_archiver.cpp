// The volume archiver installed as rar and ace32 in the program's directory.
//
// It accepts the two command lines of the Rar page:
//     a -y -r -m5 [-ep1] -v<S> <archive> <input dir>/*.*
// packs the input tree (paths relative to the input directory) into one 7z stream and cuts it
// into volumes of S KiB named <archive>.7z.001, .002, ..., which 7-Zip extracts from the first
// volume. It prints a line per file with a console progress counter, and on failure one line
// saying why, exiting with the matching errno value so the caller's message reads right.
#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct Failure {
    int code;
    std::string reason;
};

[[noreturn]] void fail(int code, std::string reason)
{
    throw Failure{code, std::move(reason)};
}

std::string errnoText(int code)
{
    return std::strerror(code);
}

void writeOut(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

struct Options {
    std::uint64_t volumeBytes = 0;
    std::string archive;
    std::string inputDir;
};

Options parseArguments(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    auto expect = [&](const char* word) {
        if (i >= args.size() || args[i] != word)
            fail(EINVAL, std::string("Expected the switch ") + word
                             + (i < args.size() ? ", found " + args[i] : std::string(" at the end")));
        ++i;
    };
    expect("a");
    expect("-y");
    expect("-r");
    expect("-m5");
    if (i < args.size() && args[i] == "-ep1")
        ++i;
    if (i >= args.size() || args[i].rfind("-v", 0) != 0)
        fail(EINVAL, "Expected the volume size switch -v<size>");
    const std::string size = args[i].substr(2);
    ++i;
    if (size.empty())
        fail(EINVAL, "Volume size missing after -v");
    std::uint64_t kib = 0;
    for (char c : size) {
        if (c < '0' || c > '9')
            fail(EINVAL, "Volume size is not a number: " + size);
        kib = kib * 10 + static_cast<std::uint64_t>(c - '0');
        if (kib > (std::uint64_t(1) << 40))
            fail(EINVAL, "Volume size too large: " + size);
    }
    if (kib == 0)
        fail(EINVAL, "Volume size must be at least 1");
    if (args.size() - i != 2)
        fail(EINVAL, "Expected the archive name and <input dir>/*.* after the switches");

    Options options;
    options.volumeBytes = kib * 1024;
    options.archive = args[i];
    const std::string& input = args[i + 1];
    const std::string wildcard = "/*.*";
    if (input.size() < wildcard.size() || input.compare(input.size() - wildcard.size(), wildcard.size(), wildcard) != 0)
        fail(EINVAL, "Input must end with /*.*: " + input);
    options.inputDir = input.substr(0, input.size() - wildcard.size());
    if (options.inputDir.empty())
        options.inputDir = "/";
    if (options.archive.empty())
        fail(EINVAL, "Archive name missing");
    return options;
}

// One thing to pack: its path relative to the input directory and what stat saw (links are
// followed, so the archive holds plain files and directories any extractor restores).
struct Item {
    std::string relative;
    std::string full;
    struct stat st;
};

struct VolumeSet {
    std::string prefix;  // "<archive>.7z." : the volumes add a three-digit number
    std::string dirPath; // the directory the volumes land in
    std::string namePrefix; // prefix without the directory
    dev_t dirDev = 0;
    ino_t dirIno = 0;
};

class TreeWalker {
public:
    TreeWalker(const VolumeSet& volumes, std::vector<Item>& items)
        : volumes_(volumes), items_(items) {}

    void walk(const std::string& dir, const std::string& relative, const struct stat& dirStat)
    {
        // Symbolic links are followed as rar does (their targets are packed), but a directory
        // already on the way is never entered again, so a link loop ends at once.
        if (!visited_.insert({dirStat.st_dev, dirStat.st_ino}).second)
            return;
        DIR* handle = ::opendir(dir.c_str());
        if (handle == nullptr)
            fail(errno, "Cannot read directory " + dir + ": " + errnoText(errno));
        std::vector<std::string> names;
        errno = 0;
        while (const dirent* entry = ::readdir(handle)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(handle);
        std::sort(names.begin(), names.end());

        const bool isVolumeDir = dirStat.st_dev == volumes_.dirDev && dirStat.st_ino == volumes_.dirIno;
        for (const std::string& name : names) {
            if (isVolumeDir && isOwnVolume(name))
                continue; // the output lies inside the input: never pack our own volumes
            Item item;
            item.full = dir == "/" ? "/" + name : dir + "/" + name;
            item.relative = relative.empty() ? name : relative + "/" + name;
            if (::lstat(item.full.c_str(), &item.st) != 0)
                fail(errno, "Cannot read " + item.full + ": " + errnoText(errno));
            if (S_ISLNK(item.st.st_mode) && ::stat(item.full.c_str(), &item.st) != 0) {
                writeOut("Skipping  " + item.relative + " (broken link)\n");
                continue;
            }
            if (S_ISDIR(item.st.st_mode)) {
                if (visited_.count({item.st.st_dev, item.st.st_ino}) != 0) {
                    writeOut("Skipping  " + item.relative + " (directory already packed)\n");
                    continue;
                }
                items_.push_back(item);
                walk(item.full, item.relative, item.st);
            } else if (S_ISREG(item.st.st_mode)) {
                items_.push_back(item);
            } else {
                writeOut("Skipping  " + item.relative + " (not a file)\n");
            }
        }
    }

private:
    bool isOwnVolume(const std::string& name) const
    {
        if (name.size() <= volumes_.namePrefix.size() || name.compare(0, volumes_.namePrefix.size(), volumes_.namePrefix) != 0)
            return false;
        return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(volumes_.namePrefix.size()), name.end(),
                           [](char c) { return c >= '0' && c <= '9'; });
    }

    const VolumeSet& volumes_;
    std::vector<Item>& items_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

// Receives the 7z stream and cuts it into volume files.
struct VolumeWriter {
    std::string prefix;
    std::uint64_t volumeBytes = 0;
    int fd = -1;
    std::uint64_t inVolume = 0;
    int count = 0;
    int error = 0;
    std::string errorText;

    std::string volumeName(int number) const
    {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%03d", number);
        return prefix + digits;
    }

    bool closeVolume()
    {
        if (fd >= 0 && ::close(fd) != 0) {
            error = errno;
            errorText = "Cannot write " + volumeName(count) + ": " + errnoText(error);
            fd = -1;
            return false;
        }
        fd = -1;
        return true;
    }

    bool openNext()
    {
        if (!closeVolume())
            return false;
        ++count;
        const std::string name = volumeName(count);
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = errno;
            errorText = "Cannot create " + name + ": " + errnoText(error);
            return false;
        }
        inVolume = 0;
        writeOut("Creating  " + name + "\n");
        return true;
    }

    la_ssize_t write(const char* data, std::size_t length)
    {
        std::size_t done = 0;
        while (done < length) {
            if (fd < 0 || inVolume == volumeBytes)
                if (!openNext())
                    return -1;
            std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, volumeBytes - inVolume));
            const ssize_t written = ::write(fd, data + done, part);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                errorText = "Cannot write " + volumeName(count) + ": " + errnoText(error);
                return -1;
            }
            done += static_cast<std::size_t>(written);
            inVolume += static_cast<std::uint64_t>(written);
        }
        return static_cast<la_ssize_t>(length);
    }
};

la_ssize_t writeCallback(struct archive* a, void* context, const void* buffer, size_t length)
{
    auto* writer = static_cast<VolumeWriter*>(context);
    const la_ssize_t result = writer->write(static_cast<const char*>(buffer), length);
    if (result < 0)
        archive_set_error(a, writer->error, "%s", writer->errorText.c_str());
    return result;
}

int closeCallback(struct archive* a, void* context)
{
    auto* writer = static_cast<VolumeWriter*>(context);
    if (!writer->closeVolume()) {
        archive_set_error(a, writer->error, "%s", writer->errorText.c_str());
        return ARCHIVE_FATAL;
    }
    return ARCHIVE_OK;
}

// Console progress: a four-character counter, stepped back over with backspaces.
class Progress {
public:
    explicit Progress(std::uint64_t total) : total_(total) {}

    void startFile(const std::string& name)
    {
        writeOut("Adding    " + name + "     ");
        shown_ = -1;
    }
    void advance(std::uint64_t bytes)
    {
        done_ += bytes;
        show(false);
    }
    void endFile()
    {
        show(true);
        writeOut("\n");
    }

private:
    void show(bool force)
    {
        const int percent = total_ == 0 ? 100 : static_cast<int>(done_ * 100 / total_);
        if (percent == shown_ && !force)
            return;
        char counter[16];
        std::snprintf(counter, sizeof counter, "%3d%%", std::min(percent, 100));
        writeOut(std::string("\b\b\b\b") + counter);
        shown_ = percent;
    }

    std::uint64_t total_;
    std::uint64_t done_ = 0;
    int shown_ = -1;
};

void archiveCheck(struct archive* a, int status, const std::string& what, const VolumeWriter& writer)
{
    if (status >= ARCHIVE_WARN)
        return;
    if (writer.error != 0)
        fail(writer.error, writer.errorText);
    const int code = archive_errno(a) > 0 ? archive_errno(a) : EIO;
    const char* text = archive_error_string(a);
    fail(code, what + ": " + (text ? text : errnoText(code)));
}

void addItem(struct archive* a, const Item& item, Progress& progress, const VolumeWriter& writer)
{
    struct archive_entry* entry = archive_entry_new();
    archive_entry_copy_pathname(entry, item.relative.c_str());
    archive_entry_copy_stat(entry, &item.st);
    if (S_ISDIR(item.st.st_mode)) {
        archive_entry_set_size(entry, 0);
    }

    int fd = -1;
    if (S_ISREG(item.st.st_mode)) {
        fd = ::open(item.full.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            archive_entry_free(entry);
            fail(errno, "Cannot open " + item.full + ": " + errnoText(errno));
        }
    }
    const int headerStatus = archive_write_header(a, entry);
    archive_entry_free(entry);
    if (headerStatus < ARCHIVE_WARN && fd >= 0)
        ::close(fd);
    archiveCheck(a, headerStatus, "Cannot add " + item.relative, writer);

    if (S_ISDIR(item.st.st_mode))
        return;
    progress.startFile(item.relative);
    if (fd >= 0) {
        // The header promised st_size bytes: a file that changed meanwhile is cut or padded.
        std::vector<char> buffer(64 * 1024);
        std::uint64_t left = static_cast<std::uint64_t>(item.st.st_size);
        while (left > 0) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
            ssize_t got = ::read(fd, buffer.data(), want);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                const int code = errno;
                ::close(fd);
                writeOut("\n");
                fail(code, "Cannot read " + item.full + ": " + errnoText(code));
            }
            if (got == 0) {
                std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(want), '\0');
                got = static_cast<ssize_t>(want);
            }
            const la_ssize_t written = archive_write_data(a, buffer.data(), static_cast<std::size_t>(got));
            if (written < 0) {
                ::close(fd);
                writeOut("\n");
                archiveCheck(a, ARCHIVE_FATAL, "Cannot pack " + item.relative, writer);
            }
            left -= static_cast<std::uint64_t>(got);
            progress.advance(static_cast<std::uint64_t>(got));
        }
        ::close(fd);
    }
    progress.endFile();
}

int run(int argc, char** argv)
{
    const Options options = parseArguments(argc, argv);

    struct stat inputStat {};
    if (::stat(options.inputDir.c_str(), &inputStat) != 0)
        fail(errno, "Input directory " + options.inputDir + ": " + errnoText(errno));
    if (!S_ISDIR(inputStat.st_mode))
        fail(ENOTDIR, "Input is not a directory: " + options.inputDir);

    VolumeSet volumes;
    volumes.prefix = options.archive + ".7z.";
    const std::size_t slash = volumes.prefix.find_last_of('/');
    volumes.dirPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : volumes.prefix.substr(0, slash));
    volumes.namePrefix = slash == std::string::npos ? volumes.prefix : volumes.prefix.substr(slash + 1);
    struct stat outStat {};
    if (::stat(volumes.dirPath.c_str(), &outStat) != 0)
        fail(errno, "Output directory " + volumes.dirPath + ": " + errnoText(errno));
    if (!S_ISDIR(outStat.st_mode))
        fail(ENOTDIR, "Output is not a directory: " + volumes.dirPath);
    if (::access(volumes.dirPath.c_str(), W_OK) != 0)
        fail(errno, "Cannot write to " + volumes.dirPath + ": " + errnoText(errno));
    volumes.dirDev = outStat.st_dev;
    volumes.dirIno = outStat.st_ino;

    std::vector<Item> items;
    TreeWalker(volumes, items).walk(options.inputDir, std::string(), inputStat);
    if (items.empty())
        fail(ENOENT, "No files to add in " + options.inputDir);
    std::uint64_t total = 0;
    for (const Item& item : items)
        if (S_ISREG(item.st.st_mode))
            total += static_cast<std::uint64_t>(item.st.st_size);

    VolumeWriter writer;
    writer.prefix = volumes.prefix;
    writer.volumeBytes = options.volumeBytes;

    struct archive* a = archive_write_new();
    struct ArchiveFree {
        struct archive* a;
        ~ArchiveFree() { archive_write_free(a); }
    } freeArchive{a};
    archiveCheck(a, archive_write_set_format_7zip(a), "Cannot set up the archive", writer);
    archiveCheck(a, archive_write_set_format_option(a, "7zip", "compression", "lzma2"), "Cannot set up the archive", writer);
    archiveCheck(a, archive_write_set_format_option(a, "7zip", "compression-level", "9"), "Cannot set up the archive", writer);
    // No blocking: volume sizes are exact and the last volume is not padded.
    archiveCheck(a, archive_write_set_bytes_per_block(a, 0), "Cannot set up the archive", writer);
    archiveCheck(a, archive_write_open2(a, &writer, nullptr, writeCallback, closeCallback, nullptr),
                 "Cannot open the archive", writer);

    writeOut("Creating archive " + options.archive + " in volumes of " + std::to_string(options.volumeBytes / 1024)
             + " KiB\n");
    Progress progress(total);
    for (const Item& item : items)
        addItem(a, item, progress, writer);

    writeOut("Writing volumes\n");
    archiveCheck(a, archive_write_close(a), "Cannot write the archive", writer);

    // Volumes left over from an earlier, longer run of the same name would be read as part of
    // this archive.
    for (int number = writer.count + 1;; ++number) {
        const std::string stale = writer.volumeName(number);
        if (::unlink(stale.c_str()) != 0)
            break;
    }
    writeOut("Done: " + std::to_string(items.size()) + " item(s), " + std::to_string(writer.count) + " volume(s)\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const Failure& failure) {
        std::fflush(stdout);
        std::fprintf(stderr, "Error: %s\n", failure.reason.c_str());
        return failure.code > 0 && failure.code < 256 ? failure.code : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        return 1;
    }
}
