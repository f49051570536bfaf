#include "templates/store_setup.h"

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "templates/template_store.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace pkm {

namespace {

[[noreturn]] void cannotCreate(const std::string& path)
{
    throw Error(writeFailureText(WriteOutcome::CannotCreate, path));
}

void writeNew(const std::string& path, const std::string& bytes)
{
    if (replaceFile(path, bytes) != WriteOutcome::Written)
        cannotCreate(path);
}

// A template name that stays inside the folder it is relative to.
bool staysInside(const std::string& name)
{
    if (name.empty())
        return false;
    for (const auto& part : std::filesystem::path(name)) {
        if (part == "..")
            return false;
    }
    return true;
}

// Copies a template named by the store from the source folder, unless the target has one.
void copyTemplate(const std::string& sourceDir, const std::string& targetDir, const std::string& name)
{
    if (!staysInside(name) || FilePresent(targetDir + name))
        return;
    const std::optional<std::string> bytes = readFileBytes(sourceDir + name);
    if (!bytes)
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(targetDir + name).parent_path(), ignored);
    writeNew(targetDir + name, *bytes);
}

} // namespace

void CreateTemplateStore(const ProgramPaths& paths)
{
    const std::string ini = paths.iniPath();
    if (paths.mode == StoreMode::Portable) {
        writeNew(ini, std::string());
        return;
    }

    std::error_code error;
    std::filesystem::create_directories(paths.dataDir, error);
    if (!DirectoryPresent(paths.dataDir))
        cannotCreate(ini);

    // An earlier installation kept its settings beside the program.
    std::string sourceDir = paths.programDir;
    std::optional<std::string> seed = readFileBytes(sourceDir + "Release.ini");
    if (!seed) {
        sourceDir = paths.programDir + kExamplesFolder + kPathSeparator;
        seed = readFileBytes(sourceDir + "Release.ini");
    }
    if (seed) {
        const TemplateSettings settings = ReadTemplateSettings(sourceDir + "Release.ini");
        copyTemplate(sourceDir, paths.dataDir, settings.NfoClone);
        copyTemplate(sourceDir, paths.dataDir, settings.DizClone);
    }
    writeNew(ini, seed.value_or(std::string()));
}

std::string StoreCreationHint(const ProgramPaths& paths)
{
    if (paths.mode == StoreMode::Portable)
        return "Pakmaster keeps its templates and settings in Release.ini beside the program. Install Pakmaster "
               "into a directory you can write to, or run it from the build directory.";
    return "An installed Pakmaster keeps its templates and settings in your own folder " + paths.dataDir
        + ". Make that folder writable, or set XDG_CONFIG_HOME to a folder you can write to.";
}

} // namespace pkm
