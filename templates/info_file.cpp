#include "templates/info_file.h"

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "templates/diz_limits.h"
#include "templates/generator.h"

#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace pkm {

namespace {

struct KeptFile {
    std::string what; // as the message names it
    std::string path;
};

bool isInside(const std::string& path, const std::string& directory)
{
    const std::string prefix = withTrailingSeparator(directory);
    return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

// Files of the program, on their own or under the example set; a path that does not name a
// file (an empty key) is nothing to keep.
std::vector<KeptFile> keptFiles(const ProgramPaths& paths, const TemplateSettings& settings, bool nfo)
{
    std::vector<KeptFile> kept {{"Release.ini", paths.iniPath()}};
    const auto add = [&](const std::string& what, const std::string& key, const std::string& path) {
        if (!key.empty())
            kept.push_back({what, path});
    };
    add("the NFO template", settings.NfoClone, TemplatePath(paths.dataDir, settings.NfoClone));
    add("the DIZ template", settings.DizClone, TemplatePath(paths.dataDir, settings.DizClone));
    const std::string& other = nfo ? settings.DizOutput : settings.NfoOutput;
    add(nfo ? "the DIZ file" : "the NFO file", other, OutputPath(paths.dataDir, settings.OutputDir, other));
    const std::string programDir = withTrailingSeparator(paths.programDir);
    for (const char* name : kProgramFiles)
        kept.push_back({std::string("the program's file \"") + name + '"', programDir + name});
    // Only hard links need the example files one by one; a path under the folder is caught whole.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(programDir + kExamplesFolder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error))
            kept.push_back({"the program's file \"" + it->path().lexically_relative(programDir).string() + '"',
                            it->path().string()});
    }
    return kept;
}

bool sameRegularFile(const std::string& a, const std::string& b)
{
    struct stat first { };
    struct stat second { };
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && S_ISREG(first.st_mode)
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string refusal(const std::string& what, const std::string& output)
{
    return "The output file would overwrite " + what + ":\r" + output;
}

} // namespace

std::string TooLargeText()
{
    return formatMessage("The generated file would be larger than %d MB.",
                         static_cast<long long>(kGeneratedFileLimit >> 20));
}

std::string InputFailureText(const std::string& path, const std::string& why)
{
    return std::string(kInputFileErrorText) + '\r' + path + '\r' + why;
}

std::optional<std::string> ProtectedOutputText(const ProgramPaths& paths, const TemplateSettings& settings, bool nfo)
{
    const std::string output = OutputPath(paths.dataDir, settings.OutputDir,
                                          nfo ? settings.NfoOutput : settings.DizOutput);
    const std::string written = resolvedSaveTarget(output);
    for (const KeptFile& file : keptFiles(paths, settings, nfo)) {
        if (written == resolvedSaveTarget(file.path) || sameRegularFile(written, file.path))
            return refusal(file.what, output);
    }
    const auto programFile = [&](const std::string& name) {
        return refusal("the program's file \"" + name + '"', output);
    };
    // An installed copy's directory is the installation's alone.
    const std::string programDir = resolvedSaveTarget(paths.programDir);
    if (paths.mode == StoreMode::PerUser && isInside(written, programDir))
        return programFile(std::filesystem::path(written).lexically_relative(programDir).string());
    const std::string examples = resolvedSaveTarget(withTrailingSeparator(paths.programDir) + kExamplesFolder);
    if (isInside(written, examples)) {
        return programFile(std::string(kExamplesFolder) + kPathSeparator
                           + std::filesystem::path(written).lexically_relative(examples).string());
    }
    return std::nullopt;
}

InfoFileResult WriteInfoFile(const ProgramPaths& paths, const TemplateSettings& settings, bool nfo,
                             const SectionList& sections)
{
    InfoFileResult result;
    result.path = OutputPath(paths.dataDir, settings.OutputDir, nfo ? settings.NfoOutput : settings.DizOutput);
    if (std::optional<std::string> refused = ProtectedOutputText(paths, settings, nfo)) {
        result.outcome = InfoFileOutcome::ProtectedOutput;
        result.message = std::move(*refused);
        result.caption = kOutputErrorCaption;
        return result;
    }
    const std::string templatePath = TemplatePath(paths.dataDir, nfo ? settings.NfoClone : settings.DizClone);
    const FileRead templateRead = readInputFile(templatePath);
    if (!templateRead.bytes) {
        result.outcome = InfoFileOutcome::TemplateUnreadable;
        result.message = InputFailureText(templatePath, templateRead.failure);
        result.caption = kInputErrorCaption;
        return result;
    }
    const GenerateResult generated = GenerateLines(*templateRead.bytes, sections);
    if (generated.tooLarge) {
        result.outcome = InfoFileOutcome::TooLarge;
        result.message = TooLargeText();
        result.caption = kOutputErrorCaption;
        return result;
    }
    if (!generated.ok()) {
        result.outcome = InfoFileOutcome::GenerationFailed;
        result.message = generated.errorMessage();
        return result;
    }
    // The outputs are made again from the settings and templates at any time.
    switch (replaceFile(result.path, generated.bytes, Flush::Atomic)) {
    case WriteOutcome::Written:
        if (!nfo)
            result.notice = DizLimitsNotice(generated.bytes);
        break;
    case WriteOutcome::CannotCreate:
        result.outcome = InfoFileOutcome::CannotCreate;
        result.message = writeFailureText(WriteOutcome::CannotCreate, result.path);
        break;
    case WriteOutcome::WriteFailed:
        result.outcome = InfoFileOutcome::WriteFailed;
        result.message = std::string(kInputFileErrorText) + '\r' + result.path;
        result.caption = kInputErrorCaption;
        break;
    }
    return result;
}

} // namespace pkm
