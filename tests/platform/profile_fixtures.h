#pragma once
// Profile fixtures are stored with CR LF line ends; each test also reads them with CR-only and
// LF-only line ends.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

inline std::string readProfileFixture(const std::string& name)
{
    const std::string path = std::string(PAKMASTER_TEST_DATA) + "/profile/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing fixture " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string withLineEnds(const std::string& crlf, const std::string& lineEnd)
{
    std::string out;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n') {
            out += lineEnd;
            ++i;
        } else {
            out += crlf[i];
        }
    }
    return out;
}

struct LineEndVariant {
    const char* name;
    std::string bytes;
};

inline std::vector<LineEndVariant> lineEndVariants(const std::string& crlf)
{
    return {{"CR LF", crlf}, {"CR", withLineEnds(crlf, "\r")}, {"LF", withLineEnds(crlf, "\n")}};
}
