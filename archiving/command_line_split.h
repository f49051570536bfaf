#pragma once
// Splits a command line into words the way Windows programs do (the C runtime's rules, as
// CommandLineToArgvW), so the stub can start the archiver without a shell:
// - words are separated by blanks and tabs outside double quotes;
// - the first word (the program) takes no escapes: every double quote toggles quoting;
// - in later words, 2n backslashes before a double quote give n backslashes and the quote
//   toggles quoting; 2n+1 give n backslashes and a literal quote; backslashes elsewhere are
//   taken as they stand;
// - inside quotes, "" gives one literal quote and quoting goes on;
// - "" outside quotes is an empty word.
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

std::vector<std::string> splitCommandLine(std::string_view commandLine);

} // namespace pkm
