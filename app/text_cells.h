#pragma once
// A code page 437 text as a grid of character cells, as a PC text screen shows it: one cell per
// byte, a tab advancing to the next multiple of eight columns, the other control bytes drawn as
// the code page's symbols (a smiling face, a note ...).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

struct TextCells {
    // One row per line (lines split and ended as in every text file), the characters of its
    // cells; rows are not padded.
    std::vector<std::u16string> rows;
    // The longest row.
    std::size_t columns = 0;
};

TextCells LayOutText(std::string_view bytes);

} // namespace pkm
