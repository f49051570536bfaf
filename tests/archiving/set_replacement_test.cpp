// Sets of files replaced as a whole: after success the new set, after a failure at any move or
// a kill at any point the earlier set, byte for byte, and never a mix.
#include "archiving/set_replacement.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;

// What the directory holds: each file's bytes, "<dir>" for a folder (its content not listed).
Files held(const TempDir& dir)
{
    Files files;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        files[name] = entry.is_directory() ? "<dir>" : dir.read(name);
    }
    return files;
}

void write(const TempDir& dir, const Files& files)
{
    for (const auto& [name, bytes] : files)
        dir.write(name, bytes);
}

// Fails (EIO), or ends the process as a kill would, at the n-th rename.
class FaultyOps : public pkm::ReplacementOps {
public:
    FaultyOps(int at, bool die)
        : at_(at)
        , die_(die)
    {
    }
    int renameFile(const std::string& from, const std::string& to) override
    {
        if (++calls == at_) {
            if (die_)
                ::_exit(9);
            return EIO;
        }
        return ReplacementOps::renameFile(from, to);
    }
    int calls = 0;

private:
    int at_;
    bool die_;
};

const Files kEarlierVolumes {
    {"rel.7z.001", "old 1"}, {"rel.7z.002", "old 2"}, {"rel.7z.003", "old 3"}, {"notes", "kept"}};
const Files kNewVolumes {{"rel.7z.001", "new 1"}, {"rel.7z.002", "new 2"}, {"notes", "kept"}};

// A volume run: two new volumes replace three earlier ones. Returns what the run reported.
pkm::ReplaceError replaceVolumes(const TempDir& dir, pkm::ReplacementOps& ops)
{
    pkm::ReplaceError error;
    auto set = pkm::SetReplacement::begin(dir.path(), error, ops);
    if (!set)
        return error;
    for (const char* name : {"rel.7z.001", "rel.7z.002"})
        dir.write(fs::path(set->newFilesDir()).lexically_relative(dir.path()).string() + "/" + name,
                  kNewVolumes.at(name));
    if ((error = set->commit({"rel.7z.001", "rel.7z.002"}, {"rel.7z.003"})))
        return error;
    return set->finish();
}

const Files kEarlierZips {{"disk01.zip", "old a"}, {"disk03.zip", "old c"}};
const Files kNewZips {{"disk01.zip", "new a"}, {"disk02.zip", "new b"}, {"disk03.zip", "new c"}};

// A zip series of three, the second made where nothing was before, each written in place as
// zip writes it.
pkm::ReplaceError replaceZips(const TempDir& dir, pkm::ReplacementOps& ops)
{
    pkm::SeriesReplacement series(ops);
    for (const auto& [name, bytes] : kNewZips) {
        if (pkm::ReplaceError error = series.beforeStep(dir.file(name)))
            return error;
        EXPECT_FALSE(fs::exists(dir.file(name))) << "zip makes " << name << " afresh";
        dir.write(name, bytes);
        if (pkm::ReplaceError error = series.afterStep(dir.file(name)))
            return error;
    }
    return series.commit();
}

} // namespace

TEST(SetReplacement, EachZipOfASeriesIsReplacedAfterSuccessAndBackAfterAFailure)
{
    const struct {
        const char* what;
        bool earlier;
        bool succeeded;
        Files expected;
    } rows[] = {
        {"replaced", true, true, {{"z.zip", "new"}}},
        {"made", false, true, {{"z.zip", "new"}}},
        {"failed over an earlier one", true, false, {{"z.zip", "earlier"}}},
        {"failed with none before", false, false, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        if (row.earlier)
            dir.write("z.zip", "earlier");
        {
            pkm::SeriesReplacement series;
            ASSERT_FALSE(series.beforeStep(dir.file("z.zip")));
            EXPECT_FALSE(fs::exists(dir.file("z.zip")));
            dir.write("z.zip", "new"); // what the command leaves, whole or not
            if (row.succeeded) {
                EXPECT_FALSE(series.afterStep(dir.file("z.zip")));
                EXPECT_FALSE(series.commit());
            }
            // else: the failure path is the destructor's
        }
        EXPECT_EQ(held(dir), row.expected);
    }
}

TEST(SetReplacement, AnEarlierZipThatIsALinkIsReplacedAndItsTargetLeftAlone)
{
    for (const bool succeeded : {true, false}) {
        TempDir dir;
        const std::string target = dir.write("elsewhere/old.zip", "stale entries");
        fs::create_symlink(target, dir.file("z.zip"));
        {
            pkm::SeriesReplacement series;
            ASSERT_FALSE(series.beforeStep(dir.file("z.zip")));
            EXPECT_FALSE(fs::exists(fs::symlink_status(dir.file("z.zip")))) << "zip makes a new file, not an update";
            dir.write("z.zip", "new");
            if (succeeded) {
                EXPECT_FALSE(series.afterStep(dir.file("z.zip")));
                EXPECT_FALSE(series.commit());
            }
        }
        EXPECT_EQ(fs::is_symlink(dir.file("z.zip")), !succeeded);
        EXPECT_EQ(dir.read("z.zip"), succeeded ? "new" : "stale entries");
        EXPECT_EQ(dir.read("elsewhere/old.zip"), "stale entries");
    }
}

TEST(SetReplacement, AFolderNamedLikeATargetIsRefusedBeforeAnythingMoves)
{
    TempDir dir;
    dir.write("z.zip/inside", "kept");
    {
        pkm::SeriesReplacement series;
        EXPECT_EQ(series.beforeStep(dir.file("z.zip")).code, EISDIR);
    }
    EXPECT_EQ(dir.read("z.zip/inside"), "kept");
    EXPECT_EQ(held(dir), (Files {{"z.zip", "<dir>"}}));

    // A volume set with a folder among the files it would replace or remove stays as it was.
    for (const char* folder : {"rel.7z.002", "rel.7z.003"}) {
        TempDir volumes;
        write(volumes, kEarlierVolumes);
        fs::remove(volumes.file(folder));
        volumes.write(std::string(folder) + "/inside", "kept");
        Files before = held(volumes);
        pkm::ReplacementOps ops;
        EXPECT_EQ(replaceVolumes(volumes, ops).code, EISDIR) << folder;
        EXPECT_EQ(held(volumes), before) << folder;
    }
}

TEST(SetReplacement, AFailedMoveAtAnyStepLeavesTheEarlierSetWhole)
{
    const struct {
        const char* what;
        Files earlier;
        Files replaced;
        pkm::ReplaceError (*run)(const TempDir&, pkm::ReplacementOps&);
    } flows[] = {
        {"volumes", kEarlierVolumes, kNewVolumes, replaceVolumes},
        {"zips", kEarlierZips, kNewZips, replaceZips},
    };
    for (const auto& flow : flows) {
        // Every rename of a whole run, counted once without a fault.
        int renames = 0;
        {
            TempDir dir;
            write(dir, flow.earlier);
            FaultyOps counting(0, false);
            ASSERT_FALSE(flow.run(dir, counting)) << flow.what;
            EXPECT_EQ(held(dir), flow.replaced) << flow.what;
            renames = counting.calls;
        }
        ASSERT_GT(renames, 3) << flow.what;
        for (int at = 1; at <= renames; ++at) {
            SCOPED_TRACE(std::string(flow.what) + ", rename " + std::to_string(at));
            TempDir dir;
            write(dir, flow.earlier);
            FaultyOps faulty(at, false);
            const pkm::ReplaceError error = flow.run(dir, faulty);
            EXPECT_EQ(error.code, EIO) << error.reason;
            EXPECT_EQ(held(dir), flow.earlier);
        }
    }
}

TEST(SetReplacement, AnEarlierFileThatCannotBePutBackIsNamedAndKept)
{
    // Every rename from the third on fails: the zip run's second step, then putting back.
    class Refusing : public pkm::ReplacementOps {
    public:
        int renameFile(const std::string& from, const std::string& to) override
        {
            return ++calls_ >= 3 ? EROFS : ReplacementOps::renameFile(from, to);
        }

    private:
        int calls_ = 0;
    } refusing;
    TempDir dir;
    write(dir, kEarlierZips);
    const pkm::ReplaceError error = replaceZips(dir, refusing);
    EXPECT_EQ(error.code, EROFS);
    EXPECT_NE(error.reason.find("Cannot put back " + dir.file("disk01.zip")), std::string::npos) << error.reason;
    // The staging folder stays with the earlier zip in it, for the next run to put back.
    Files kept;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (entry.is_regular_file() && entry.path().parent_path().filename() == "earlier")
            kept[entry.path().filename().string()] = dir.read(fs::relative(entry.path(), dir.path()).string());
    }
    EXPECT_EQ(kept, (Files {{"disk01.zip", "old a"}}));
    pkm::ReplaceError next;
    const auto recovered = pkm::SetReplacement::begin(dir.path(), next);
    ASSERT_TRUE(recovered) << next.reason;
    EXPECT_EQ(dir.read("disk01.zip"), "old a");
}

TEST(SetReplacement, ARunKilledAtAnyStepIsUndoneByTheNextRun)
{
    const struct {
        const char* what;
        Files earlier;
        pkm::ReplaceError (*run)(const TempDir&, pkm::ReplacementOps&);
    } flows[] = {
        {"volumes", kEarlierVolumes, replaceVolumes},
        {"zips", kEarlierZips, replaceZips},
    };
    for (const auto& flow : flows) {
        for (int at = 1;; ++at) {
            SCOPED_TRACE(std::string(flow.what) + ", killed before rename " + std::to_string(at));
            TempDir dir;
            write(dir, flow.earlier);
            const pid_t child = ::fork();
            if (child == 0) {
                FaultyOps dying(at, true);
                flow.run(dir, dying);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            if (WEXITSTATUS(status) == 0)
                break; // the run got past its last rename
            EXPECT_NE(held(dir), flow.earlier) << "the kill left a staging folder";
            pkm::ReplaceError error;
            const auto next = pkm::SetReplacement::begin(dir.path(), error);
            EXPECT_TRUE(next) << error.reason;
            Files after = held(dir);
            // The next run's own staging folder is the one folder left.
            ASSERT_EQ(std::erase_if(after, [](const auto& f) { return f.first.starts_with(".pkm-staging-"); }), 1u);
            EXPECT_EQ(after, flow.earlier);
        }
    }
}

TEST(SetReplacement, ASecondRunIntoADirectoryIsRefusedWhileTheFirstHoldsIt)
{
    TempDir dir;
    pkm::ReplaceError error;
    {
        auto first = pkm::SetReplacement::begin(dir.path(), error);
        ASSERT_TRUE(first);
        EXPECT_FALSE(pkm::SetReplacement::begin(dir.path(), error));
        EXPECT_EQ(error.code, EBUSY);
        EXPECT_NE(error.reason.find(dir.path()), std::string::npos) << error.reason;
        // The live run's staging folder is its own: nobody else touched it.
        EXPECT_TRUE(fs::is_directory(first->newFilesDir()));
    }
    EXPECT_TRUE(pkm::SetReplacement::begin(dir.path(), error));
    EXPECT_TRUE(held(dir).empty()) << "every staging folder went with its run";
}
