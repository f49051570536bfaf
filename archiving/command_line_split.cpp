// splitCommandLine: a command line cut into words by the Windows rules.
#include "archiving/command_line_split.h"

namespace pkm {

namespace {
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

std::vector<std::string> splitCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    const std::size_t n = line.size();

    while (i < n && isBlank(line[i]))
        ++i;
    if (i == n)
        return words;

    // The program's name: quotes group, backslashes are path separators.
    {
        std::string word;
        bool quoted = false;
        for (; i < n && (quoted || !isBlank(line[i])); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                word += line[i];
        }
        words.push_back(std::move(word));
    }

    for (;;) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i == n)
            break;
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            const char c = line[i];
            if (c == '\\') {
                std::size_t backslashes = 0;
                while (i < n && line[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    word.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        word += '"';
                        ++i;
                    }
                    // An even run leaves the quote to toggle quoting below.
                } else {
                    word.append(backslashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    word += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            word += c;
            ++i;
        }
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace pkm
