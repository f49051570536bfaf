#include "platform/errors.h"

#include <cstring>

namespace pkm {

std::string formatMessage(const std::string& pattern, const std::string& arg)
{
    std::string out;
    out.reserve(pattern.size() + arg.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
            out += arg;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string formatMessage(const std::string& pattern, long long arg)
{
    return formatMessage(pattern, std::to_string(arg));
}

std::string exitCodeText(int code)
{
    std::string text = std::strerror(code);
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text.back());
        if (c <= ' ' || c == '.' || c == 127)
            text.pop_back();
        else
            break;
    }
    return text + ".";
}

} // namespace pkm
