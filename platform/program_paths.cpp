#include "platform/program_paths.h"

#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace pkm {

namespace {

// Judged with the effective user's rights, as the program's own writes will be; a read-only
// file system refuses root too.
bool writable(const std::string& path, int mode)
{
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

StoreMode chooseStoreMode(const ProgramDirFacts& facts)
{
    if (facts.installedMarker)
        return StoreMode::PerUser;
    return facts.directoryWritable || facts.releaseIniWritable ? StoreMode::Portable : StoreMode::PerUser;
}

ProgramDirFacts probeProgramDir(const std::string& programDir)
{
    const std::string dir = withTrailingSeparator(programDir);
    ProgramDirFacts facts;
    facts.installedMarker = FilePresent(dir + kInstalledMarker);
    facts.directoryWritable = DirectoryPresent(dir) && writable(dir, W_OK | X_OK);
    facts.releaseIniWritable = !DirectoryPresent(dir + "Release.ini") && writable(dir + "Release.ini", W_OK);
    return facts;
}

UserEnvironment processEnvironment()
{
    UserEnvironment env {variable("XDG_CONFIG_HOME"), variable("HOME")};
    if (env.home.empty()) {
        if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_dir)
            env.home = account->pw_dir;
    }
    return env;
}

std::string perUserFolder(const UserEnvironment& env)
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as every XDG program does.
    const std::string config = !env.xdgConfigHome.empty() && env.xdgConfigHome.front() == '/'
        ? env.xdgConfigHome
        : withTrailingSeparator(env.home) + ".config";
    return withTrailingSeparator(config) + "pakmaster" + kPathSeparator;
}

std::string runningProgramDir()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty())
        return {};
    return withTrailingSeparator(program.parent_path().string());
}

ProgramPaths ProgramPaths::beside(const std::string& dir)
{
    const std::string withSeparator = withTrailingSeparator(dir);
    return {withSeparator, withSeparator, StoreMode::Portable};
}

ProgramPaths ProgramPaths::perUser(const std::string& dir, const std::string& folder)
{
    return {withTrailingSeparator(dir), withTrailingSeparator(folder), StoreMode::PerUser};
}

ProgramPaths ProgramPaths::forProgram(const std::string& dir, const UserEnvironment& env)
{
    if (chooseStoreMode(probeProgramDir(dir)) == StoreMode::Portable)
        return beside(dir);
    return perUser(dir, perUserFolder(env));
}

} // namespace pkm
