#pragma once
// Errors that reach the application's general error handler: the text is shown as it stands.
#include <stdexcept>
#include <string>

namespace pkm {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot create file %s", "Unable to write to %s", "List index out of bounds (%d)" ...
std::string formatMessage(const std::string& pattern, const std::string& arg);
std::string formatMessage(const std::string& pattern, long long arg);

// The system's text for an exit code, with trailing blanks, control characters and periods
// removed, then one period.
std::string exitCodeText(int code);

} // namespace pkm
