#include "support/faulty_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

FaultyFileWriter::FaultyFileWriter()
{
    pkm::setFileWriter(this);
}

FaultyFileWriter::~FaultyFileWriter()
{
    pkm::setFileWriter(nullptr);
}

int FaultyFileWriter::createTemporary(std::string& pathTemplate)
{
    if (refuseNewFiles) {
        steps.push_back("create refused");
        errno = EACCES;
        return -1;
    }
    const int fd = FileWriter::createTemporary(pathTemplate);
    if (fd >= 0) {
        written_[fd] = 0;
        const bool cloexec = (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
        steps.push_back("create " + pathTemplate + " cloexec=" + (cloexec ? "1" : "0"));
    }
    return fd;
}

int FaultyFileWriter::openExisting(const std::string& path)
{
    if (refuseExisting) {
        steps.push_back("open refused");
        errno = EACCES;
        return -1;
    }
    const int fd = FileWriter::openExisting(path);
    if (fd >= 0) {
        written_[fd] = 0;
        steps.push_back("open " + path);
    }
    return fd;
}

ssize_t FaultyFileWriter::write(int fd, const char* data, std::size_t size)
{
    if (steps.empty() || steps.back() != "write")
        steps.push_back("write");
    long long& done = written_[fd];
    if (failAfterBytes >= 0 && done >= failAfterBytes) {
        errno = ENOSPC;
        return -1;
    }
    if (failAfterBytes >= 0)
        size = std::min<std::size_t>(size, static_cast<std::size_t>(failAfterBytes - done));
    const ssize_t n = FileWriter::write(fd, data, size);
    if (n > 0)
        done += n;
    return n;
}

int FaultyFileWriter::syncFile(int fd)
{
    steps.push_back("sync file");
    return FileWriter::syncFile(fd);
}

int FaultyFileWriter::renameFile(const std::string& from, const std::string& to)
{
    steps.push_back("rename " + from + " " + to);
    return FileWriter::renameFile(from, to);
}

int FaultyFileWriter::syncDirectory(const std::string& directory)
{
    steps.push_back("sync directory " + directory);
    return FileWriter::syncDirectory(directory);
}
