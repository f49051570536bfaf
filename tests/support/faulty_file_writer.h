#pragma once
// A file writer that fails as a full disk or a directory refusing new files would; installed
// for the lifetime of the object.
#include "platform/file_io.h"

#include <map>

class FaultyFileWriter : public pkm::FileWriter {
public:
    FaultyFileWriter();
    ~FaultyFileWriter() override;

    // Writes into each new file fail with ENOSPC once this many bytes are in (negative: never).
    long long failAfterBytes = -1;
    // New files cannot be created (EACCES).
    bool refuseNewFiles = false;

    int createTemporary(std::string& pathTemplate) override;
    ssize_t write(int fd, const char* data, std::size_t size) override;

private:
    std::map<int, long long> written_;
};
