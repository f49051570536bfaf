// FileAside: an earlier file moved aside while a command makes it afresh.
#include "archiving/file_aside.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace pkm {

FileAside::FileAside(std::string path)
    : path_(std::move(path))
{
    struct stat st {};
    if (path_.empty())
        return;
    if (::lstat(path_.c_str(), &st) != 0) {
        absent_ = true;
        return;
    }
    // A folder or a link is left where it is, to the command.
    if (!S_ISREG(st.st_mode))
        return;
    const std::size_t slash = path_.find_last_of(kPathSeparator);
    std::string aside = (slash == std::string::npos ? std::string() : path_.substr(0, slash + 1)) + ".pkm-aside-XXXXXX";
    // The placeholder reserves a unique name; the rename then replaces it in one step.
    const int fd = ::mkstemp(aside.data());
    if (fd < 0) {
        error_ = errno;
        return;
    }
    ::close(fd);
    if (::rename(path_.c_str(), aside.c_str()) != 0) {
        error_ = errno;
        ::unlink(aside.c_str());
        return;
    }
    aside_ = aside;
}

FileAside::~FileAside()
{
    restore();
}

void FileAside::discard()
{
    if (done_)
        return;
    done_ = true;
    if (!aside_.empty())
        ::unlink(aside_.c_str());
}

void FileAside::restore()
{
    if (done_)
        return;
    done_ = true;
    if (!aside_.empty())
        ::rename(aside_.c_str(), path_.c_str());
    else if (absent_)
        ::unlink(path_.c_str());
}

std::string zipFileMade(const std::string& outDir, const std::string& zipName)
{
    const std::string path = outDir + zipName;
    const std::size_t slash = path.find_last_of(kPathSeparator);
    const std::size_t dot = path.find('.', slash == std::string::npos ? 0 : slash + 1);
    return dot == std::string::npos ? path + ".zip" : path;
}

} // namespace pkm
