// Which folder plays the program's directory for Release.ini, the templates and the outputs:
// the mode chosen from what the program's directory allows, and the per-user folder.
#include "platform/program_paths.h"
#include "support/read_only.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace pkm;

TEST(ProgramPaths, AnInstalledCopyOrADirectoryThatCannotHoldReleaseIniIsPerUser)
{
    struct Row {
        ProgramDirFacts facts;
        StoreMode mode;
    };
    const Row rows[] = {
        {{false, true, false}, StoreMode::Portable}, // a build directory
        {{false, true, true}, StoreMode::Portable},
        {{false, false, true}, StoreMode::Portable}, // read-only, but its Release.ini is writable
        {{false, false, false}, StoreMode::PerUser}, // read-only, Release.ini missing or read-only
        {{true, true, true}, StoreMode::PerUser},    // installed: never written, also by root
        {{true, false, false}, StoreMode::PerUser},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.facts.installedMarker << row.facts.directoryWritable
                                        << row.facts.releaseIniWritable);
        EXPECT_EQ(chooseStoreMode(row.facts), row.mode);
    }
}

TEST(ProgramPaths, ThePerUserFolderFollowsXdgConfigHome)
{
    struct Row {
        UserEnvironment env;
        std::string folder;
    };
    const Row rows[] = {
        {{"/x/cfg", "/home/u"}, "/x/cfg/pakmaster/"},
        {{"/x/cfg/", "/home/u"}, "/x/cfg/pakmaster/"},
        {{"", "/home/u"}, "/home/u/.config/pakmaster/"},
        {{"", "/home/u/"}, "/home/u/.config/pakmaster/"},
        {{"relative/cfg", "/home/u"}, "/home/u/.config/pakmaster/"}, // not absolute: ignored
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.env.xdgConfigHome + " " + row.env.home);
        EXPECT_EQ(perUserFolder(row.env), row.folder);
    }
}

TEST(ProgramPaths, TheProgramsDirectoryDecidesTheMode)
{
    struct Row {
        const char* what;
        bool marker;
        std::optional<bool> releaseIniWritable; // nothing: no Release.ini
        bool readOnlyDirectory;
        StoreMode mode;
    };
    const Row rows[] = {
        {"writable directory", false, std::nullopt, false, StoreMode::Portable},
        {"writable directory with the marker", true, true, false, StoreMode::PerUser},
        {"read-only directory", false, std::nullopt, true, StoreMode::PerUser},
        {"read-only directory, writable Release.ini", false, true, true, StoreMode::Portable},
        {"read-only directory, read-only Release.ini", false, false, true, StoreMode::PerUser},
    };
    const UserEnvironment env {"/config", "/home/u"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        if (row.marker)
            dir.write(kInstalledMarker, "");
        std::optional<ReadOnly> readOnlyIni;
        if (row.releaseIniWritable) {
            dir.write("Release.ini", "[Main]\r\n");
            if (!*row.releaseIniWritable)
                readOnlyIni.emplace(dir.file("Release.ini"));
        }
        std::optional<ReadOnly> readOnlyDir;
        if (row.readOnlyDirectory)
            readOnlyDir.emplace(dir.path());
        if ((readOnlyIni && !readOnlyIni->ok()) || (readOnlyDir && !readOnlyDir->ok()))
            GTEST_SKIP() << "this process cannot make a directory read-only for itself";

        const ProgramPaths paths = ProgramPaths::forProgram(dir.path(), env);
        EXPECT_EQ(paths.mode, row.mode);
        EXPECT_EQ(paths.programDir, dir.path() + "/");
        EXPECT_EQ(paths.dataDir, row.mode == StoreMode::Portable ? dir.path() + "/" : "/config/pakmaster/");
    }
}

TEST(ProgramPaths, ADirectoryThatCannotExistIsPerUser)
{
    TempDir dir;
    dir.write("plainfile", "x");
    const ProgramPaths paths = ProgramPaths::forProgram(dir.file("plainfile/bin"), {"", dir.path()});
    EXPECT_EQ(paths.mode, StoreMode::PerUser);
    EXPECT_EQ(paths.programDir, dir.file("plainfile/bin/"));
    EXPECT_EQ(paths.iniPath(), dir.file(".config/pakmaster/Release.ini"));
}
