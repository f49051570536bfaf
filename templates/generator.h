#pragma once
// Generation of an NFO or DIZ file: the values of a template's sections are overlaid onto the
// template ("clone") text, each at its section's Line, Start and Width. The whole file step
// (read the template, generate, write the file) is WriteInfoFile, in info_file.h.
#include "templates/section.h"
#include "templates/template_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkm {

// The folder that keeps Release.ini (the program's directory, or the per-user folder) with its
// trailing separator, followed by the template key.
std::string TemplatePath(const std::string& dataDir, const std::string& cloneKey);
// "Output dir" with a trailing separator (the folder that keeps Release.ini when it is empty),
// followed by the output key, empty or not.
std::string OutputPath(const std::string& dataDir, const std::string& outputDirSetting, const std::string& outputKey);

// Removes every leading and trailing byte with a code from 0 to 32.
std::string Trim(std::string_view text);

// The piece that fills a field: cut to `width` characters, or padded to it with blanks (left:
// blanks after, right: blanks before, center: the odd blank before; any other alignment adds
// none); with `caps` the letters a to z become upper case.
std::string AlignToWidth(std::string_view text, std::uint16_t width, std::uint8_t alignment, bool caps);

// The largest file generation builds. Real NFO and DIZ files are kilobytes; a template line
// repeated by long memo-style values of width 1 would otherwise take gigabytes and minutes.
inline constexpr std::size_t kGeneratedFileLimit = 4u << 20;
// The bytes of lines a run may build on the way, lines later replaced included: many sections
// on one very long line would otherwise copy it again for each of them.
inline constexpr std::size_t kGenerationWorkLimit = 8 * kGeneratedFileLimit;

struct GenerateResult {
    // The output file: every line followed by CR LF. Empty after a failure.
    std::string bytes;
    // Set when a section's Line named no line at its turn: the zero-based index Line - 1,
    // so -1 for Line 0.
    std::optional<long long> badLineIndex;
    // Set when the file would grow beyond kGeneratedFileLimit at some section's turn, or its
    // lines beyond kGenerationWorkLimit; found before those lines are built.
    bool tooLarge = false;

    bool ok() const { return !badLineIndex.has_value() && !tooLarge; }
    // "List index out of bounds (%d)" of a failed run.
    std::string errorMessage() const;
};

// Overlays the sections, in list order, onto the template's lines. A memo-style section
// repeats its template line once per displayed line of its value and moves every section on
// a later line down by the lines it added. `sections` itself is never changed. A section
// that would make the file too large (see tooLarge) ends the run before its lines are built.
GenerateResult GenerateLines(std::string_view templateBytes, const SectionList& sections);

} // namespace pkm
