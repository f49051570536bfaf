#pragma once
// The whole step behind Preview: the NFO or DIZ file of a section list, read from its template
// and written into the output directory, each failure an outcome of its own.
#include "templates/section.h"
#include "templates/template_store.h"

#include <string>

namespace pkm {

// The message of a template that cannot be read, and also of an output file that cannot be
// written once it has been created; its second line names that file.
inline constexpr const char* kGenerationErrorCaption = "Input error";
inline constexpr const char* kGenerationErrorText = "Error while reading input file...";

// The message of a file that would be larger than kGeneratedFileLimit.
inline constexpr const char* kTooLargeCaption = "Output error";
std::string TooLargeText();

enum class InfoFileOutcome {
    Written,
    TemplateUnreadable, // kGenerationErrorText, then the template's path
    GenerationFailed,   // a section's Line named no line: "List index out of bounds (%d)"
    TooLarge,           // TooLargeText(); nothing was built or written
    CannotCreate,       // "Cannot create file %s"
    WriteFailed,        // created, but the bytes did not get written: kGenerationErrorText, then the output's path
};

struct InfoFileResult {
    InfoFileOutcome outcome = InfoFileOutcome::Written;
    // The output file's path (also when it could not be written).
    std::string path;
    // The message of every failure, lines separated by a carriage return.
    std::string message;
};

// Generates the NFO (nfo true) or DIZ file of `sections` from the template the settings name,
// relative to dataDir, and writes it to the settings' output path (dataDir when "Output dir"
// is empty). An earlier output stays whole when the write fails. `sections` never changes.
InfoFileResult WriteInfoFile(const std::string& dataDir, const TemplateSettings& settings, bool nfo,
                             const SectionList& sections);

} // namespace pkm
