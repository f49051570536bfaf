#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pkm {

int FileWriter::createTemporary(std::string& pathTemplate)
{
    return ::mkstemp(pathTemplate.data());
}

ssize_t FileWriter::write(int fd, const char* data, std::size_t size)
{
    return ::write(fd, data, size);
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

} // namespace

FileWriter& fileWriter()
{
    return *g_writer;
}

void setFileWriter(FileWriter* writer)
{
    g_writer = writer != nullptr ? writer : &g_systemWriter;
}

std::optional<std::string> readFileBytes(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out;
    if (st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

WriteOutcome replaceFile(const std::string& path, std::string_view bytes)
{
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        return WriteOutcome::CannotCreate;
    if (exists && ::access(path.c_str(), W_OK) != 0)
        return WriteOutcome::CannotCreate; // a write-protected file stays protected

    std::string tmp = path + ".pkm-XXXXXX";
    const int fd = g_writer->createTemporary(tmp);
    if (fd < 0)
        return WriteOutcome::CannotCreate;

    mode_t mode;
    if (exists) {
        mode = target.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(tmp.c_str());
        return WriteOutcome::WriteFailed;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return WriteOutcome::CannotCreate;
    }
    return WriteOutcome::Written;
}

} // namespace pkm
