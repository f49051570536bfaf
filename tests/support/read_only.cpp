#include "support/read_only.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool setImmutable(const std::string& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

ReadOnly::ReadOnly(std::string path)
    : path_(std::move(path))
{
    if (::geteuid() == 0) {
        ok_ = immutable_ = setImmutable(path_, true);
        return;
    }
    struct stat st { };
    if (::stat(path_.c_str(), &st) != 0)
        return;
    mode_ = st.st_mode & 07777;
    ok_ = ::chmod(path_.c_str(), mode_ & ~0222u) == 0;
}

ReadOnly::~ReadOnly()
{
    if (immutable_)
        setImmutable(path_, false);
    else if (ok_)
        ::chmod(path_.c_str(), mode_);
}
