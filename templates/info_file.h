#pragma once
// The whole step behind Preview: the NFO or DIZ file of a section list, read from its template
// and written into the output directory, each failure an outcome of its own.
#include "platform/errors.h"
#include "platform/program_paths.h"
#include "templates/section.h"
#include "templates/template_store.h"

#include <optional>
#include <string>

namespace pkm {

// The message of a template that cannot be read, and also of an output file that cannot be
// written once it has been created; its second line names that file.
inline constexpr const char* kInputFileErrorText = "Error while reading input file...";

// The message of a file that would be larger than kGeneratedFileLimit.
std::string TooLargeText();

// The message of an output that would overwrite one of the files the program keeps or runs.

enum class InfoFileOutcome {
    Written,
    ProtectedOutput,    // ProtectedOutputText(); nothing was read or written
    TemplateUnreadable, // kInputFileErrorText, the template's path, then why it was not read
    GenerationFailed,   // a section's Line named no line: "List index out of bounds (%d)"
    TooLarge,           // TooLargeText(); nothing was built or written
    CannotCreate,       // "Cannot create file %s"
    WriteFailed,        // created, but the bytes did not get written: kInputFileErrorText, then the output's path
};

struct InfoFileResult {
    InfoFileOutcome outcome = InfoFileOutcome::Written;
    // The output file's path (also when it could not be written).
    std::string path;
    // The message of every failure, lines separated by a carriage return, and its caption; no
    // caption for the failures the window's general error handler shows.
    std::string message;
    std::string caption;
    // A written DIZ file past what BBS and archive software reads: DizLimitsNotice's text.
    std::optional<std::string> notice;
};

// The message of an input file that cannot be read: kInputFileErrorText, the file, and why.
std::string InputFailureText(const std::string& path, const std::string& why);

// The message refusing the NFO (nfo true) or DIZ output the settings name when writing it
// would overwrite Release.ini, either template, the other output or a file of the program
// (any file of its directory for an installed copy; for a portable copy, whose directory
// also keeps Release.ini and the outputs, the files of kProgramFiles and the example set).
// The output is taken as a save would write it, through symbolic links, and a hard link of
// one of these files counts as the file. Nothing when the output may be written.
std::optional<std::string> ProtectedOutputText(const ProgramPaths& paths, const TemplateSettings& settings, bool nfo);

// Generates the NFO (nfo true) or DIZ file of `sections` from the template the settings name,
// relative to the data directory, and writes it to the settings' output path (the data
// directory when "Output dir" is empty), unless ProtectedOutputText refuses that path. An
// earlier output stays whole when the write fails. `sections` never changes.
InfoFileResult WriteInfoFile(const ProgramPaths& paths, const TemplateSettings& settings, bool nfo,
                             const SectionList& sections);

} // namespace pkm
