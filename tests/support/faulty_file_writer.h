#pragma once
// A file writer that fails as a full disk or a directory refusing new files would, and that
// records the steps of each replacement in order; installed for the lifetime of the object.
#include "platform/file_io.h"

#include <map>
#include <string>
#include <vector>

class FaultyFileWriter : public pkm::FileWriter {
public:
    FaultyFileWriter();
    ~FaultyFileWriter() override;

    // Writes into each file fail with ENOSPC once this many bytes are in (negative: never).
    long long failAfterBytes = -1;
    // New files cannot be created (EACCES).
    bool refuseNewFiles = false;
    // Existing files cannot be opened for writing in place (EACCES).
    bool refuseExisting = false;

    // "create <path> cloexec=<0|1>", "open <path>", "write", "sync file",
    // "rename <from> <to>", "sync directory <dir>", in the order they happened (consecutive
    // writes as one "write").
    std::vector<std::string> steps;

    int createTemporary(std::string& pathTemplate) override;
    int openExisting(const std::string& path) override;
    ssize_t write(int fd, const char* data, std::size_t size) override;
    int syncFile(int fd) override;
    int renameFile(const std::string& from, const std::string& to) override;
    int syncDirectory(const std::string& directory) override;

private:
    std::map<int, long long> written_;
};
