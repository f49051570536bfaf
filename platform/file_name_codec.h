#pragma once
// File names are bytes. Shown in a box they are read as UTF-8; a byte that is not part of a
// valid UTF-8 sequence becomes the character U+DC00 + byte (a lone low surrogate, which no
// valid text contains), so any name a box shows turns back into the very same bytes.
#include <string>
#include <string_view>

namespace pkm {

std::u16string fileNameDecode(std::string_view bytes);
// Escaped bytes go back as they were; any other lone surrogate becomes '?'.
std::string fileNameEncode(std::u16string_view text);

} // namespace pkm
