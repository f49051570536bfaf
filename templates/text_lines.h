#pragma once
// Text files as lines. Reading splits at CR LF, at a lone CR and at a lone LF, and stops at a
// NUL byte; writing puts CR LF after every line, the last one too. Bytes are never converted.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

// The lines of a text, without their line ends. A last line without a line end is still a
// line; a line end at the very end adds no empty line; an empty text has no lines.
std::vector<std::string> splitTextLines(std::string_view text);

// The same lines as views into `text` (which must outlive them).
std::vector<std::string_view> splitTextLineViews(std::string_view text);
// The same lines, one call each, without keeping them.
void forEachTextLine(std::string_view text, const std::function<void(std::string_view)>& line);

// The paragraphs of a text as an editor holds them: every line end starts a paragraph, so a
// line end at the very end leaves an empty last paragraph and an empty text is one empty
// paragraph.
std::vector<std::string> splitTextParagraphs(std::string_view text);
// The same paragraphs as views into `text` (which must outlive them).
std::vector<std::string_view> splitTextParagraphViews(std::string_view text);

// The size of joinTextLines(splitTextLines(text)), without building either.
std::size_t joinedTextSize(std::string_view text);

// Appends `line` and CR LF.
void appendTextLine(std::string& out, std::string_view line);

// Every line followed by CR LF.
std::string joinTextLines(const std::vector<std::string>& lines);
std::string joinTextLines(const std::vector<std::string_view>& lines);

// A multi-line value as a section stores it: CR LF between its lines, none after the last.
std::string joinValueLines(const std::vector<std::string>& lines);

} // namespace pkm
