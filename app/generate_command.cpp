#include "app/generate_command.h"

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "templates/info_file.h"
#include "templates/section_values.h"
#include "templates/store_setup.h"
#include "templates/template_store.h"

#include <ostream>

namespace pkm {

namespace {

// The values in the order given, each values file read in its place. Their names as typed,
// for a message about one of them.
bool collectValues(const std::vector<ValueSource>& sources, std::vector<NamedValue>& values,
                   std::vector<std::string>& typedNames, std::ostream& err)
{
    for (const ValueSource& source : sources) {
        if (!source.file) {
            values.push_back(*ParseNamedValue(source.text));
            typedNames.push_back(source.text.substr(0, source.text.find('=')));
            continue;
        }
        const FileRead read = readInputFile(source.text);
        if (!read.bytes) {
            printFailure(err, kInputErrorCaption, InputFailureText(source.text, read.failure));
            return false;
        }
        std::size_t badLine = 0;
        const std::optional<std::vector<NamedValue>> parsed = ParseValuesFile(*read.bytes, badLine);
        if (!parsed) {
            printFailure(err, kInputErrorCaption,
                         source.text + ':' + std::to_string(badLine) + ": a line of NAME=VALUE expected");
            return false;
        }
        for (const NamedValue& value : *parsed) {
            values.push_back(value);
            // For messages only: the name as the file holds it, in code page 437.
            typedNames.push_back(value.name);
        }
    }
    return true;
}

} // namespace

int RunGenerate(const GenerateOptions& options, const ProgramPaths& paths, std::ostream& out, std::ostream& err)
{
    // As the Rar and Zip pages refuse a missing output directory, before anything is created.
    if (options.output && !DirectoryPresent(*options.output)) {
        printFailure(err, kOutputErrorCaption, "Output directory not found.");
        return 1;
    }
    const std::string iniPath = paths.iniPath();
    if (!FilePresent(iniPath)) {
        try {
            CreateTemplateStore(paths);
            err << "pakmaster: first start: created " << iniPath << '\n';
        } catch (const std::exception& e) {
            printFailure(err, "", std::string(e.what()) + "\r\r" + StoreCreationHint(paths));
            return 1;
        }
    }
    SectionList nfo;
    SectionList diz;
    LoadSectionLists(iniPath, nfo, diz);

    std::vector<NamedValue> values;
    std::vector<std::string> typedNames;
    if (!collectValues(options.values, values, typedNames, err))
        return 1;
    if (const std::optional<std::size_t> unknown = SetSectionValues(nfo, diz, values)) {
        printFailure(err, "", "No section is named \"" + typedNames[*unknown] + "\" in " + iniPath + ".");
        return 1;
    }

    const bool both = !options.nfo && !options.diz;
    const auto writes = [&](bool nfoFile) { return both || (nfoFile ? options.nfo : options.diz); };

    // The refusals come before the first file is written: a refused value or output leaves
    // both files as they were.
    SectionList generated;
    for (const bool nfoFile : {true, false}) {
        if (writes(nfoFile))
            generated.insert(generated.end(), (nfoFile ? nfo : diz).begin(), (nfoFile ? nfo : diz).end());
    }
    const std::vector<ValueNotice> notices = CheckSectionValues(generated, values);
    for (const ValueNotice& notice : notices) {
        if (notice.problem == ValueProblem::LineBreak) {
            printFailure(err, kInputErrorCaption,
                         "The section \"" + typedNames[notice.index]
                             + "\" holds one line: its value may not contain a line break.");
            return 1;
        }
    }
    TemplateSettings settings = ReadTemplateSettings(iniPath);
    // In the settings, so that the output and the protected-file rules see the path written.
    if (options.output)
        settings.OutputDir = *options.output;
    for (const bool nfoFile : {true, false}) {
        if (!writes(nfoFile))
            continue;
        if (const std::optional<std::string> refused = ProtectedOutputText(paths, settings, nfoFile)) {
            printFailure(err, kOutputErrorCaption, *refused);
            return 1;
        }
    }
    // Cut as the window cuts it; said, since nothing else would show it.
    for (const ValueNotice& notice : notices) {
        err << "pakmaster: The value of \"" << typedNames[notice.index]
            << "\" is longer than its section's width: it is cut to " << notice.width << " characters.\n";
    }

    for (const bool nfoFile : {true, false}) {
        if (!writes(nfoFile))
            continue;
        const InfoFileResult result = WriteInfoFile(paths, settings, nfoFile, nfoFile ? nfo : diz);
        if (result.outcome != InfoFileOutcome::Written) {
            printFailure(err, result.caption, result.message);
            return 1;
        }
        if (result.notice)
            printFailure(err, "warning", result.path + ": " + *result.notice);
        out << result.path << '\n';
    }
    return 0;
}

} // namespace pkm
