#pragma once
// Makes a file or directory read-only for this process until the object goes. Root writes
// past permission bits, so for root the immutable attribute does it, which binds root too.
#include <string>

class ReadOnly {
public:
    explicit ReadOnly(std::string path);
    ~ReadOnly();
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;

    // False when this process could not make it read-only (root without the right to set the
    // immutable attribute, or a file system without one).
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
    bool immutable_ = false;
    unsigned mode_ = 0;
};
