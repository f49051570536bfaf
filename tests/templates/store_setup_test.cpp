// The first start's Release.ini: empty beside a portable program; a per-user folder seeded from
// the settings an earlier installation left beside the program, else from the example set.
#include "templates/store_setup.h"

#include "platform/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace pkm;
namespace fs = std::filesystem;

namespace {

const std::string kExamplesIni =
    "[Main]\r\nNFO clone=clone.nfo\r\nDIZ clone=clone.diz\r\n[Section 1]\r\nName=Title\r\n";
const std::string kEarlierIni = "[Main]\r\nNFO clone=art/old.nfo\r\nDIZ clone=../outside.diz\r\n";

} // namespace

TEST(StoreSetup, APortableProgramGetsAnEmptyReleaseIniBesideIt)
{
    TempDir dir;
    dir.write("examples/Release.ini", kExamplesIni);
    CreateTemplateStore(ProgramPaths::beside(dir.path()));
    ASSERT_TRUE(fs::exists(dir.file("Release.ini")));
    EXPECT_EQ(dir.read("Release.ini"), "");
    EXPECT_FALSE(fs::exists(dir.file("clone.nfo")));
}

TEST(StoreSetup, APerUserFolderStartsFromEarlierSettingsElseFromTheExamples)
{
    struct Row {
        const char* what;
        std::function<void(TempDir& program, TempDir& home)> setUp;
        std::string ini;
        std::vector<std::pair<std::string, std::string>> files; // in the folder afterwards
        std::vector<std::string> absent;
    };
    auto examples = [](TempDir& program) {
        program.write("bin/examples/Release.ini", kExamplesIni);
        program.write("bin/examples/clone.nfo", "nfo art");
        program.write("bin/examples/clone.diz", "diz art");
        program.write("bin/examples/README.md", "read me");
    };
    const std::vector<Row> rows = {
        {"the example set",
         [&](TempDir& p, TempDir&) { examples(p); },
         kExamplesIni,
         {{"clone.nfo", "nfo art"}, {"clone.diz", "diz art"}},
         {"README.md"}},
        {"settings an earlier installation kept beside the program, with the templates they name",
         [&](TempDir& p, TempDir&) {
             examples(p);
             p.write("bin/Release.ini", kEarlierIni);
             p.write("bin/art/old.nfo", "old art");
             p.write("outside.diz", "not mine"); // what "../outside.diz" names beside the program
         },
         kEarlierIni,
         {{"art/old.nfo", "old art"}},
         {"clone.nfo", "clone.diz"}},
        {"a template the folder has already is kept",
         [&](TempDir& p, TempDir& h) {
             examples(p);
             h.write("config/pakmaster/clone.nfo", "the user's own");
         },
         kExamplesIni,
         {{"clone.nfo", "the user's own"}, {"clone.diz", "diz art"}},
         {}},
        {"nothing to start from", [](TempDir&, TempDir&) {}, "", {}, {"clone.nfo"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir program;
        TempDir home;
        row.setUp(program, home);
        // The folder and XDG_CONFIG_HOME itself do not exist yet.
        const ProgramPaths paths = ProgramPaths::perUser(program.file("bin"), home.file("config/pakmaster"));
        CreateTemplateStore(paths);
        EXPECT_EQ(home.read("config/pakmaster/Release.ini"), row.ini);
        for (const auto& [name, bytes] : row.files)
            EXPECT_EQ(home.read("config/pakmaster/" + name), bytes) << name;
        for (const std::string& name : row.absent)
            EXPECT_FALSE(fs::exists(home.file("config/pakmaster/" + name))) << name;
        EXPECT_FALSE(fs::exists(home.file("config/outside.diz"))) << "a template name may not leave the folder";
    }
}

TEST(StoreSetup, AFolderThatCannotBeCreatedNamesReleaseIni)
{
    TempDir program;
    TempDir home;
    home.write("plainfile", "x");
    const ProgramPaths paths = ProgramPaths::perUser(program.path(), home.file("plainfile/pakmaster"));
    try {
        CreateTemplateStore(paths);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + home.file("plainfile/pakmaster/Release.ini"));
    }
    EXPECT_NE(StoreCreationHint(paths).find(home.file("plainfile/pakmaster/")), std::string::npos);
}
