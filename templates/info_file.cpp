#include "templates/info_file.h"

#include "platform/errors.h"
#include "platform/file_io.h"
#include "templates/generator.h"

#include <optional>

namespace pkm {

std::string TooLargeText()
{
    return formatMessage("The generated file would be larger than %d MB.",
                         static_cast<long long>(kGeneratedFileLimit >> 20));
}

InfoFileResult WriteInfoFile(const std::string& dataDir, const TemplateSettings& settings, bool nfo,
                             const SectionList& sections)
{
    InfoFileResult result;
    result.path = OutputPath(dataDir, settings.OutputDir, nfo ? settings.NfoOutput : settings.DizOutput);
    const std::string templatePath = TemplatePath(dataDir, nfo ? settings.NfoClone : settings.DizClone);
    const std::optional<std::string> templateBytes = readFileBytes(templatePath);
    if (!templateBytes) {
        result.outcome = InfoFileOutcome::TemplateUnreadable;
        result.message = std::string(kGenerationErrorText) + '\r' + templatePath;
        return result;
    }
    const GenerateResult generated = GenerateLines(*templateBytes, sections);
    if (generated.tooLarge) {
        result.outcome = InfoFileOutcome::TooLarge;
        return result;
    }
    if (!generated.ok()) {
        result.outcome = InfoFileOutcome::GenerationFailed;
        result.message = generated.errorMessage();
        return result;
    }
    switch (replaceFile(result.path, generated.bytes)) {
    case WriteOutcome::Written:
        break;
    case WriteOutcome::CannotCreate:
        result.outcome = InfoFileOutcome::CannotCreate;
        result.message = formatMessage("Cannot create file %s", result.path);
        break;
    case WriteOutcome::WriteFailed:
        result.outcome = InfoFileOutcome::WriteFailed;
        result.message = std::string(kGenerationErrorText) + '\r' + result.path;
        break;
    }
    return result;
}

} // namespace pkm
