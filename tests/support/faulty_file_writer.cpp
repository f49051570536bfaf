#include "support/faulty_file_writer.h"

#include <algorithm>
#include <cerrno>

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
        errno = EACCES;
        return -1;
    }
    const int fd = FileWriter::createTemporary(pathTemplate);
    if (fd >= 0)
        written_[fd] = 0;
    return fd;
}

ssize_t FaultyFileWriter::write(int fd, const char* data, std::size_t size)
{
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
