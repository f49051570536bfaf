#pragma once
// The displayed lines of a multi-line box whose text area is `width` characters wide. The
// value editor, generation and the section helper's read-out all take their lines from here.
//
// Rules: CR LF is a hard line break; a hard line longer than the width wraps at blanks (each
// displayed line takes as many whole words as fit, and the blanks at a wrap point stay at the
// end of the line they follow instead of beginning the next); a word longer than the width is
// cut after `width` characters and its rest continues on the next line; an empty hard line is
// an empty displayed line; a last displayed line that is empty is not counted.
//
// Finer points: a lone CR and a lone LF also break the line, as they do in text files. A tab
// is one column wide and separates words like a blank. Blanks are never cut: leading blanks
// of a hard line stay on its first displayed line, and when the first word does not fit after
// them they form that line alone. A width below 1 counts as 1.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

struct DisplayLine {
    std::size_t start = 0;  // index of the line's first byte in the text
    std::size_t length = 0; // bytes of the line, wrap-point blanks included, line break excluded
};

// Every displayed line, in order (a last empty line not included).
std::vector<DisplayLine> layoutDisplayLines(std::string_view text, int width);

// The texts of the displayed lines.
std::vector<std::string> wrapDisplayLines(std::string_view text, int width);

// 0-based displayed line holding the character at `index` (an index at the very end of the
// text belongs to the last line, or to the empty line after a final break).
std::size_t displayLineOfIndex(std::string_view text, int width, std::size_t index, std::size_t* lineStart = nullptr);

} // namespace pkm
