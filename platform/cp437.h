#pragma once
// Code page 437, the character set of NFO and DIZ art. Every byte maps to one character and
// back; CR, LF and TAB stay control characters so line ends survive a round trip.
#include <cstdint>
#include <string>

namespace pkm {

// Unicode code point (all in the Basic Multilingual Plane) of each byte.
char16_t cp437ToUnicode(unsigned char byte);

// The byte for a character, or '?' when code page 437 cannot hold it. Control characters
// map to themselves, so text typed as CR, LF or TAB stays what it was.
unsigned char unicodeToCp437(char16_t ch);

std::u16string cp437Decode(const std::string& bytes);
std::string cp437Encode(const std::u16string& text);

} // namespace pkm
