// The volumes and zips commands in a hostile world, run as the real program: names made to look
// like switches, inputs that are not files, a caller that kills the program mid-run, two runs
// into one directory, a disk that fills. Every file the run did not ask to change stays as it
// was, and no command runs that nobody asked for.
#include "support/gui/run_program.h"
#include "support/process_tree.h"
#include "support/temp_dir.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

QStringList q(std::initializer_list<std::string> words)
{
    QStringList list;
    for (const std::string& word : words)
        list << QString::fromStdString(word);
    return list;
}

bool haveSevenZip()
{
    return !QStandardPaths::findExecutable(QStringLiteral("7zz")).isEmpty();
}

// The program started in `dir` without waiting for it.
std::unique_ptr<QProcess> startProgram(const TempDir& dir, const QStringList& args)
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(QString::fromStdString(dir.path()));
    process->start(QString::fromStdString(kProgram), args);
    EXPECT_TRUE(process->waitForStarted(-1));
    return process;
}

} // namespace

TEST(ArchiverCommands, NoNameReachesAnArchiverAsASwitch)
{
    TempDir dir;
    for (const char* name :
         {"-m", "-T", "-TT=touch PWNED;echo", "@list", "release.nfo", "file_id.diz", "-in/-r", "-in/@files"})
        dir.write(name, std::string("bytes of ") + name);
    fs::create_directories(dir.file("-out"));
    const Tree inputs = contents(dir.path());

    const struct {
        QStringList args;
        std::string made;                 // in -out/
        std::vector<std::string> entries; // of the zip, or of the extracted volumes
    } rows[] = {
        {q({"zips", "--output", "-out", "--name", "disk01", "--count", "1", "--each", "-m", "--each", "release.nfo",
            "--each", "file_id.diz"}),
         "disk01.zip",
         {"-m", "file_id.diz", "release.nfo"}},
        {q({"zips", "--output", "-out", "--name", "-T", "--count", "1", "--each", "-T", "--each",
            "-TT=touch PWNED;echo", "--each", "@list"}),
         "-T.zip",
         {"-T", "-TT=touch PWNED;echo", "@list"}},
        {q({"zips", "--output", "-out", "--name", "@disk1", "--count", "1", "--spread", "-in/@files"}),
         "@disk1.zip",
         {"@files"}},
        {q({"volumes", "--input", "-in", "--output", "-out", "--name", "-rel", "--size", "10"}),
         "-rel.7z.001",
         {"-r", "@files"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        if (row.args.front() == "volumes" && !haveSevenZip())
            continue;
        const ProgramResult result = runProgram(kProgram, row.args, dir.path());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::string made = dir.file("-out/" + row.made);
        QProcess list;
        if (row.args.front() == "zips")
            list.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), QString::fromStdString(made)});
        else
            list.start(QStringLiteral("7zz"),
                       {QStringLiteral("l"), QStringLiteral("-ba"), QString::fromStdString(made)});
        ASSERT_TRUE(list.waitForFinished(-1));
        std::vector<std::string> entries;
        for (const QString& line : QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            // unzip -Z1 lists names alone; 7zz -ba ends each row with the name.
            entries.push_back((row.args.front() == "zips" ? line : line.section(' ', -1)).toStdString());
        }
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, row.entries);

        Tree after = contents(dir.path());
        std::erase_if(after, [](const auto& entry) { return entry.first.starts_with("-out/"); });
        EXPECT_EQ(after, inputs) << "an input was moved, changed or added to";
        fs::remove_all(dir.file("-out"));
        fs::create_directories(dir.file("-out"));
    }
}

TEST(ArchiverCommands, InputsThatAreNotFilesAndSeriesShortOfZipsAreRefused)
{
    TempDir dir;
    dir.write("release.nfo", "nfo");
    fs::create_directories(dir.file("out"));
    fs::create_directories(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const struct {
        QStringList args;
        std::string err;
    } rows[] = {
        {q({"zips", "--output", "out", "--name", "d1", "--count", "1", "--each", "fifo"}),
         "pakmaster: Input error: fifo: cannot be packed.\nNot a regular file.\n"},
        {q({"zips", "--output", "out", "--name", "d1", "--count", "1", "--each", "folder"}),
         "pakmaster: Input error: folder: cannot be packed.\nNot a regular file.\n"},
        {q({"zips", "--output", "out", "--name", "d1", "--count", "1", "--spread", "/dev/null"}),
         "pakmaster: Input error: /dev/null: cannot be packed.\nNot a regular file.\n"},
        {q({"zips", "--output", "out", "--name", "nodigits", "--count", "3", "--each", "release.nfo"}),
         "pakmaster: Zip error: The series from nodigits has 1 zip name, not 3: a name needs a number to count "
         "from.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const ProgramResult result = runProgram(kProgram, row.args, dir.path());
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, row.err);
        EXPECT_TRUE(fs::is_empty(dir.file("out")));
    }
}

TEST(ArchiverCommands, AKilledRunLeavesNoArchiverAndTheEarlierFilesWhole)
{
    const struct {
        const char* what;
        bool volumes;
        int signal;
    } rows[] = {
        {"volumes, SIGTERM", true, SIGTERM},
        {"volumes, SIGKILL", true, SIGKILL},
        {"zips, SIGTERM", false, SIGTERM},
        {"zips, SIGKILL", false, SIGKILL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.volumes && !haveSevenZip())
            continue;
        TempDir dir;
        // Incompressible, so the archiver is still at work when the kill comes.
        dir.write("in/big.bin", noise(24u << 20, 3));
        if (row.volumes) {
            dir.write("out/rel.7z.001", "earlier 1");
            dir.write("out/rel.7z.002", "earlier 2");
        } else {
            dir.write("out/disk01.zip", "earlier zip 1");
            dir.write("out/disk02.zip", "earlier zip 2");
        }
        const Tree before = contents(dir.file("out"));
        const std::unique_ptr<QProcess> run = startProgram(
            dir,
            row.volumes ? q({"volumes", "--input", "in", "--output", "out", "--name", "rel"})
                        : q({"zips", "--output", "out", "--name", "disk01", "--count", "2", "--each", "in/big.bin"}));
        const char* archiver = row.volumes ? "7zz" : "zip";
        ASSERT_TRUE(QTest::qWaitFor([&] { return anyProcessStarting(dir.path(), archiver); }, 20000));
        ::kill(static_cast<pid_t>(run->processId()), row.signal);
        ASSERT_TRUE(run->waitForFinished(20000));
        if (row.signal == SIGTERM) {
            EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(run->exitCode(), 128 + SIGTERM);
            EXPECT_NE(run->readAllStandardError().indexOf("Stopped by signal 15"), -1);
        } else {
            EXPECT_EQ(run->exitStatus(), QProcess::CrashExit);
        }
        EXPECT_EQ(survivors(dir.path()), std::vector<std::string> {});
        // Staging folders, zip's temporary files: nothing beside the earlier files.
        EXPECT_EQ(contents(dir.file("out")), before);
    }
}

TEST(ArchiverCommands, TwoRunsIntoOneDirectoryNeverInterleave)
{
    if (!haveSevenZip())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    dir.write("in/big.bin", noise(8u << 20, 5));
    dir.write("in/readme", "read me");
    fs::create_directories(dir.file("out"));
    const std::unique_ptr<QProcess> first = startProgram(
        dir, q({"volumes", "--input", "in", "--output", "out", "--name", "rel", "--size", "1440"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return anyProcessStarting(dir.path(), "7zz"); }, 20000));

    for (const QStringList& args :
         {q({"volumes", "--input", "in", "--output", "out", "--name", "rel", "--size", "500"}),
          q({"zips", "--output", "out", "--name", "rel", "--count", "1", "--each", "in/readme"})}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ProgramResult second = runProgram(kProgram, args, dir.path());
        EXPECT_EQ(second.exitCode, 1);
        EXPECT_NE((second.out + second.err).find("Another run is writing into " + dir.file("out")), std::string::npos)
            << second.out << second.err;
    }
    ASSERT_TRUE(first->waitForFinished(120000));
    EXPECT_EQ(first->exitCode(), 0) << first->readAllStandardError().toStdString();

    // One set, the first run's: volumes of 1,440,000 bytes that restore the input.
    std::size_t volumes = 0;
    for (const auto& entry : fs::directory_iterator(dir.file("out"))) {
        ++volumes;
        if (entry.path().string() != dir.file("out/rel.7z.006")) {
            EXPECT_EQ(fs::file_size(entry.path()), 1440u * 1000) << entry.path();
        }
    }
    EXPECT_EQ(volumes, 6u);
    ASSERT_EQ(QProcess::execute(QStringLiteral("7zz"),
                                {"x", "-y", "-bd", QString::fromStdString("-o" + dir.file("x")),
                                 QString::fromStdString(dir.file("out/rel.7z.001"))}),
              0);
    EXPECT_EQ(contents(dir.file("x")), contents(dir.file("in")));
}

TEST(ArchiverCommands, ADiskThatFillsOnTheSecondZipLeavesTheEarlierSeriesWhole)
{
    TempDir dir;
    fs::create_directories(dir.file("out"));
    // A 3 MiB file system for the zips; tests that may not mount one skip.
    if (std::system(("mount -t tmpfs -o size=3m tmpfs \"" + dir.file("out") + "\" 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        std::string path;
        ~Unmount() { std::system(("umount \"" + path + "\"").c_str()); }
    } unmount {dir.file("out")};
    dir.write("in/a.bin", noise(1u << 20, 1));
    dir.write("in/b.bin", noise(5u << 19, 2));
    dir.write("out/disk01.zip", "earlier zip 1");
    dir.write("out/disk02.zip", "earlier zip 2");
    const Tree before = contents(dir.file("out"));

    const ProgramResult result = runProgram(kProgram,
                                            q({"zips", "--output", "out", "--name", "disk01", "--count", "2",
                                               "--spread", "in/a.bin", "--spread", "in/b.bin"}),
                                            dir.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.starts_with("pakmaster: Compression error: ")) << result.err;
    EXPECT_EQ(contents(dir.file("out")), before) << result.out;
}
