#pragma once
// Errors that reach the application's general error handler: the text is shown as it stands.
#include <stdexcept>
#include <string>

namespace pkm {

// The captions of the messages, one for each kind of failure.
inline constexpr const char* kInputErrorCaption = "Input error";
inline constexpr const char* kOutputErrorCaption = "Output error";
inline constexpr const char* kCompressionErrorCaption = "Compression error";
inline constexpr const char* kZipErrorCaption = "Zip error";
inline constexpr const char* kCloseErrorCaption = "Close error";

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
