// The volume run's decisions about its input and its earlier set, and what 7zz's exit means.
#include "archiving/sevenzip/volume_input.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using namespace pkm;

TEST(VolumeInput, AnyChangeToTheInputWhileItWasReadIsNamed)
{
    const struct {
        const char* what;
        std::function<void(const TempDir&)> change;
        std::string changed;
    } rows[] = {
        {"nothing", [](const TempDir&) {}, ""},
        {"a file rewritten", [](const TempDir& d) { d.write("in/a.txt", "other bytes"); }, "a.txt"},
        {"a file added", [](const TempDir& d) { d.write("in/sub/new.txt", "new"); }, "sub/new.txt"},
        {"a file removed", [](const TempDir& d) { fs::remove(d.file("in/sub/b.txt")); }, "sub/b.txt"},
        {"a link turned elsewhere",
         [](const TempDir& d) {
             fs::remove(d.file("in/link"));
             fs::create_symlink("sub/b.txt", d.file("in/link"));
         },
         "link"},
        {"a run's own folder", [](const TempDir& d) { d.write("in/.pkm-staging-x/new/v", "v"); }, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        dir.write("in/a.txt", "a");
        dir.write("in/sub/b.txt", "b");
        fs::create_symlink("a.txt", dir.file("in/link"));
        const std::set<std::string> excluded;
        const InputSnapshot before(dir.file("in"), excluded);
        EXPECT_EQ(before.entries(), 5u) << "a.txt, sub, sub/b.txt, the link and what it leads to";
        row.change(dir);
        const std::string changed = before.firstChanged(InputSnapshot(dir.file("in"), excluded));
        EXPECT_EQ(changed.substr(0, changed.find("\n->")), row.changed);
    }
}

TEST(VolumeInput, LinksMustStayInsideTheInputAndNotLeadIntoAFolderTooOften)
{
    TempDir dir;
    dir.write("in/a.txt", "a");
    fs::create_symlink(dir.write("private", "secret"), dir.file("in/key"));
    const std::set<std::string> none;
    try {
        InputSnapshot snapshot(dir.file("in"), none);
        ADD_FAILURE() << "a link out of the input was followed";
    } catch (const VolumeRunError& e) {
        EXPECT_EQ(e.code, EPERM);
        EXPECT_NE(e.reason.find(dir.file("in/key")), std::string::npos) << e.reason;
        EXPECT_NE(e.reason.find(dir.file("private")), std::string::npos) << e.reason;
    }
    // Excluded, the same link is not looked at.
    EXPECT_EQ(InputSnapshot(dir.file("in"), std::set<std::string> {"key"}).entries(), 1u);

    // Two links a level, five levels: the last folder is reached 32 ways.
    TempDir fan;
    fs::create_directories(fan.file("in/d0"));
    for (int i = 0; i < 5; ++i) {
        fs::create_directories(fan.file("in/d" + std::to_string(i + 1)));
        for (const char* name : {"/a", "/b"})
            fs::create_directory_symlink("../d" + std::to_string(i + 1), fan.file("in/d" + std::to_string(i) + name));
    }
    try {
        InputSnapshot snapshot(fan.file("in"), none);
        ADD_FAILURE() << "links fanning out were walked";
    } catch (const VolumeRunError& e) {
        EXPECT_EQ(e.code, ELOOP) << e.reason;
    }
}

TEST(VolumeInput, TheEarlierSetAndWhatOfItGoes)
{
    TempDir dir;
    for (const char* name : {"out/rel.7z.001", "out/rel.7z.002", "out/rel.7z.003", "out/rel2.7z.001", "out/notes"})
        dir.write(name, "x");
    const std::vector<std::string> earlier = earlierVolumes(dir.file("out"), "rel");
    EXPECT_EQ(earlier, (std::vector<std::string> {"rel.7z.001", "rel.7z.002", "rel.7z.003"}));
    EXPECT_EQ(volumesBeyond(earlier, "rel", 2), (std::vector<std::string> {"rel.7z.003"}));
    EXPECT_TRUE(volumesBeyond(earlier, "rel", 3).empty());
    // Only an output inside the input keeps its volumes out of the input.
    EXPECT_TRUE(excludedFromInput(dir.file("in"), dir.file("out"), earlier).empty());
    EXPECT_EQ(excludedFromInput(dir.path(), dir.file("out"), {"rel.7z.001"}),
              (std::set<std::string> {"out/rel.7z.001"}));
    EXPECT_EQ(excludedFromInput(dir.file("out"), dir.file("out"), {"rel.7z.001"}),
              (std::set<std::string> {"rel.7z.001"}));

    fs::create_directories(dir.file("out/rel.7z.004"));
    try {
        earlierVolumes(dir.file("out"), "rel");
        ADD_FAILURE() << "a folder named like a volume was taken for one";
    } catch (const VolumeRunError& e) {
        EXPECT_EQ(e.code, EISDIR);
    }
}

TEST(VolumeInput, A7zzFailureStandsForTheErrnoItNamedOrItsStatus)
{
    ErrnoScanner scanner;
    // A number cut by a chunk's end is read whole; the last one named counts.
    for (const char* chunk : {"E_FAIL errno=2", "8 : No space", " errno=1", "2 end\n"})
        scanner.feed(chunk, std::char_traits<char>::length(chunk));
    EXPECT_EQ(scanner.last(), 12);
    EXPECT_EQ(sevenZipFailureErrno(2, 28), 28);
    EXPECT_EQ(sevenZipFailureErrno(8, 0), ENOMEM);
    EXPECT_EQ(sevenZipFailureErrno(7, 0), EINVAL);
    EXPECT_EQ(sevenZipFailureErrno(2, 0), EIO);
}
