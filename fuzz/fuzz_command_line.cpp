// The stub's command-line splitter: words quoted the way Windows programs expect (the C
// runtime's rules) split back into the same words. The program's name takes no escapes, so it
// may hold no double quote; every other word is arbitrary bytes except NUL.
#include "archiving/command_line_split.h"
#include "fuzz/fuzz_input.h"

#include <string>
#include <vector>

namespace {

// Quotes one argument: backslashes double before a quote and before the closing quote, a quote
// becomes \".
std::string quoteArgument(const std::string& arg)
{
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(backslashes, '\\');
            out += c;
        }
        backslashes = 0;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string withoutNul(std::string s)
{
    std::erase(s, '\0');
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pkmfuzz::Input in(data, size);
    const std::uint8_t blanks = in.byte();
    std::vector<std::string> args;
    std::string program = withoutNul(in.shortString());
    std::erase(program, '"');
    args.push_back(program);
    while (!in.empty() && args.size() < 32)
        args.push_back(withoutNul(in.shortString()));

    std::string line(blanks & 3, ' ');
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            line.append(1 + (blanks >> 2 & 1), (blanks & 8) ? '\t' : ' ');
        line += i == 0 ? "\"" + args[0] + "\"" : quoteArgument(args[i]);
    }
    line.append(blanks >> 4 & 3, ' ');

    const std::vector<std::string> words = pkm::splitCommandLine(line);
    PKM_FUZZ_CHECK(words == args);

    // Arbitrary text: no crash, no word with a NUL it did not have.
    (void)pkm::splitCommandLine(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
