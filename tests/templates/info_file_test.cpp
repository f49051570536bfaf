// The Preview step's file handling: an output that Release.ini points at a file the program
// keeps or runs is refused before anything is read or written.
#include "templates/info_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

using namespace pkm;
namespace fs = std::filesystem;

namespace {

// Every entry below the directory: a file's bytes, a link's target.
std::map<std::string, std::string> snapshot(const std::string& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink())
            entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            entries[name] = std::string(
                std::istreambuf_iterator<char>(std::ifstream(entry.path(), std::ios::binary).rdbuf()), {});
    }
    return entries;
}

} // namespace

TEST(ProtectedOutputs, AnOutputThatWouldOverwriteAKeptFileIsRefusedAndNothingIsWritten)
{
    // A portable copy in prog/ (Release.ini and the templates beside the program), an
    // installed one in inst/ whose user keeps them in user/; outputs go to out/.
    TempDir dir;
    for (const char* name : {"prog/Release.ini", "prog/clone.nfo", "prog/clone.diz", "prog/pakmaster", "prog/PKM.DLL",
                             "prog/pkm_7z_adapter", "prog/examples/clone.nfo", "sys/zip", "inst/pakmaster",
                             "inst/INSTALLED", "user/Release.ini", "user/clone.nfo", "user/clone.diz"})
        dir.write(name, std::string("bytes of ") + name);
    fs::create_symlink("pkm_7z_adapter", dir.file("prog/rar"));
    fs::create_symlink(dir.file("sys/zip"), dir.file("prog/zip"));
    fs::create_directory(dir.file("out"));
    fs::create_symlink("../prog/rar", dir.file("out/to_rar.nfo"));
    fs::create_symlink("../prog/INSTALLED", dir.file("out/dangling.nfo"));
    fs::create_symlink("../prog/Release.ini", dir.file("out/chain1.nfo"));
    fs::create_symlink("chain1.nfo", dir.file("out/chain2.nfo"));
    fs::create_hard_link(dir.file("prog/Release.ini"), dir.file("out/hard.nfo"));
    fs::create_hard_link(dir.file("prog/examples/clone.nfo"), dir.file("out/hard_example.nfo"));

    const ProgramPaths portable = ProgramPaths::beside(dir.file("prog"));
    const ProgramPaths installed = ProgramPaths::perUser(dir.file("inst"), dir.file("user"));
    const std::string prog = dir.file("prog/");
    const std::string out = dir.file("out/");
    const auto refused = [](const std::string& what, const std::string& path) {
        return std::optional<std::string>("The output file would overwrite " + what + ":\r" + path);
    };
    struct Case {
        const char* what;
        const ProgramPaths& paths;
        bool nfo;
        std::string outputDir;
        std::string output; // the key of the file generated
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {"Release.ini", portable, true, "", "Release.ini", refused("Release.ini", prog + "Release.ini")},
        {"its own template", portable, true, "", "clone.nfo", refused("the NFO template", prog + "clone.nfo")},
        {"the other template", portable, true, "", "clone.diz", refused("the DIZ template", prog + "clone.diz")},
        {"the DIZ's template from the DIZ", portable, false, "", "clone.diz",
         refused("the DIZ template", prog + "clone.diz")},
        {"the other output", portable, true, "", "file_id.diz", refused("the DIZ file", prog + "file_id.diz")},
        {"the other output, from the DIZ", portable, false, "", "release.nfo",
         refused("the NFO file", prog + "release.nfo")},
        {"the stub", portable, true, "", "PKM.DLL", refused("the program's file \"PKM.DLL\"", prog + "PKM.DLL")},
        {"the link to the system's zip", portable, false, "", "zip",
         refused("the program's file \"zip\"", prog + "zip")},
        {"a link to an archiver's link", portable, true, out, "to_rar.nfo",
         refused("the program's file \"pkm_7z_adapter\"", out + "to_rar.nfo")},
        {"links leading to Release.ini", portable, true, out, "chain2.nfo", refused("Release.ini", out + "chain2.nfo")},
        {"a hard link of Release.ini", portable, true, out, "hard.nfo", refused("Release.ini", out + "hard.nfo")},
        {"a hard link of an example", portable, true, out, "hard_example.nfo",
         refused("the program's file \"examples/clone.nfo\"", out + "hard_example.nfo")},
        {"a dangling link to a program file", portable, true, out, "dangling.nfo",
         refused("the program's file \"INSTALLED\"", out + "dangling.nfo")},
        {"a way round to Release.ini", portable, true, dir.file("out/../prog/."), "./Release.ini",
         refused("Release.ini", dir.file("out/../prog/.") + "/./Release.ini")},
        {"a new file of the example set", portable, true, "", "examples/new.nfo",
         refused("the program's file \"examples/new.nfo\"", prog + "examples/new.nfo")},
        {"an installation's directory", installed, true, dir.file("inst"), "release.nfo",
         refused("the program's file \"release.nfo\"", dir.file("inst/release.nfo"))},
        {"the per-user Release.ini", installed, false, "", "Release.ini",
         refused("Release.ini", dir.file("user/Release.ini"))},
        {"beside a portable program", portable, true, "", "release.nfo", std::nullopt},
        {"in Output dir", portable, false, out, "file_id.diz", std::nullopt},
        {"in the per-user folder", installed, true, "", "release.nfo", std::nullopt},
    };
    SectionList noSections;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TemplateSettings settings {"clone.nfo", "release.nfo", "clone.diz", "file_id.diz", c.outputDir};
        (c.nfo ? settings.NfoOutput : settings.DizOutput) = c.output;
        EXPECT_EQ(ProtectedOutputText(c.paths, settings, c.nfo), c.message);

        const auto before = snapshot(dir.path());
        const InfoFileResult result = WriteInfoFile(c.paths, settings, c.nfo, noSections);
        if (c.message) {
            EXPECT_EQ(result.outcome, InfoFileOutcome::ProtectedOutput);
            EXPECT_EQ(result.message, *c.message);
            EXPECT_EQ(snapshot(dir.path()), before);
        } else {
            EXPECT_EQ(result.outcome, InfoFileOutcome::Written) << result.message;
            EXPECT_EQ(dir.read(result.path.substr(dir.path().size() + 1)),
                      "bytes of " + std::string(&c.paths == &portable ? "prog/" : "user/")
                          + (c.nfo ? "clone.nfo" : "clone.diz") + "\r\n");
            fs::remove(result.path);
        }
    }
}
