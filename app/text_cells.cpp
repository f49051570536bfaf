#include "app/text_cells.h"

#include "platform/cp437.h"
#include "templates/text_lines.h"

#include <algorithm>

namespace pkm {

TextCells LayOutText(std::string_view bytes)
{
    constexpr std::size_t kTabWidth = 8;
    TextCells cells;
    for (std::string_view line : splitTextLineViews(bytes)) {
        std::u16string row;
        for (const char byte : line) {
            if (byte == '\t')
                row.append(kTabWidth - row.size() % kTabWidth, u' ');
            else
                row += cp437ToUnicode(static_cast<unsigned char>(byte));
        }
        cells.columns = std::max(cells.columns, row.size());
        cells.rows.push_back(std::move(row));
    }
    return cells;
}

} // namespace pkm
