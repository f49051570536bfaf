#pragma once
// SAUCE, the record that art editors append to an NFO or ANSI file to name its title, author
// and group: the end-of-file byte 0x1A, an optional comment block ("COMNT" and 64 bytes per
// comment line) and the 128-byte record starting "SAUCE00". It describes the art; it is no
// part of it.
#include <string_view>

namespace pkm {

// The text without a SAUCE record at its end (and without its comment block and end-of-file
// byte); the text itself when it has none.
std::string_view WithoutSauce(std::string_view bytes);

} // namespace pkm
