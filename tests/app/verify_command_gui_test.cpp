// A release as the commands make it and as somebody receives it: disks that fit real floppy
// images, a checksum file that cksfv reads, `verify` naming a damaged zip, and lost zips rebuilt
// from the recovery disks byte for byte.
#include "support/gui/run_program.h"
#include "support/temp_dir.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

bool have(const char* program)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

int runIn(const std::string& dir, const QString& program, const QStringList& args)
{
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(dir));
    process.start(program, args);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Whether the file fits on a newly formatted floppy image of this size in KB (mformat -f).
bool fitsFloppy(const TempDir& dir, const std::string& file, int kilobytes)
{
    const QString image = QString::fromStdString(dir.file("floppy.img"));
    fs::remove(image.toStdString());
    return runIn(dir.path(), "mformat", {"-C", "-f", QString::number(kilobytes), "-i", image, "::"}) == 0
        && runIn(dir.path(), "mcopy", {"-i", image, QString::fromStdString(file), "::"}) == 0;
}

// A release of a few MB made with the example NFO and DIZ (written by a portable copy holding the
// example set): volumes of `size`, one per zip, the
// NFO and DIZ in every zip, two recovery disks. The zips' folder.
std::string makeRelease(const TempDir& dir, const std::string& size)
{
    fs::create_directories(dir.file("prog"));
    for (const char* name : {"Release.ini", "clone.nfo", "clone.diz"})
        fs::copy_file(PAKMASTER_SOURCE_DIR "/examples/" + std::string(name), dir.file(std::string("prog/") + name));
    fs::create_hard_link(kProgram, dir.file("prog/pakmaster"));
    const std::string program = dir.file("prog/pakmaster");
    std::mt19937 random(11);
    std::string noise(3u << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    dir.write("in/tool.bin", noise);
    dir.write("in/readme.txt", "Read me.\r\n");
    for (const char* folder : {"out", "vol", "disks"})
        fs::create_directories(dir.file(folder));
    const ProgramResult generated = runProgram(program, {"generate", "--output", "out"}, dir.path());
    EXPECT_EQ(generated.exitCode, 0) << generated.err;
    // The archivers are those of the build's program directory.
    EXPECT_EQ(runProgram(kProgram,
                         {"volumes", "--input", "in", "--output", "vol", "--name", "rel", "--size",
                          QString::fromStdString(size)},
                         dir.path())
                  .exitCode,
              0);
    QStringList zips {"zips", "--output", "disks",           "--name", "disk01",         "--recovery",
                      "2",    "--each",   "out/release.nfo", "--each", "out/file_id.diz"};
    int volumes = 0;
    for (const auto& entry : fs::directory_iterator(dir.file("vol"))) {
        zips << "--spread" << QString::fromStdString(entry.path().string());
        ++volumes;
    }
    zips << "--count" << QString::number(volumes);
    const ProgramResult made = runProgram(kProgram, zips, dir.path());
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return dir.file("disks");
}

} // namespace

TEST(ReleaseChecks, EveryDiskOfTheDefaultRunFitsAFloppyAndTheSeriesChecksItself)
{
    if (!have("7zz") || !have("par2"))
        GTEST_SKIP() << "7zz or par2 is not installed";
    const struct {
        const char* size;
        int floppy;
    } rows[] = {{"1440", 1440}, {"340", 360}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        TempDir dir;
        const std::string disks = makeRelease(dir, row.size);
        std::size_t files = 0;
        for (const auto& entry : fs::directory_iterator(disks)) {
            ++files;
            if (have("mformat") && entry.path().extension() != ".sfv" && entry.path().filename() != "disk.par2") {
                EXPECT_TRUE(fitsFloppy(dir, entry.path().string(), row.floppy)) << entry.path();
            }
        }
        EXPECT_GE(files, 6u) << "zips, the checksum file, the index and two recovery files";
        if (have("cksfv")) {
            EXPECT_EQ(runIn(disks, "cksfv", {"-q", "-f", "disk.sfv"}), 0);
        }
        const ProgramResult verified = runProgram(kProgram, {"verify", "disk.sfv"}, disks);
        EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
        EXPECT_NE(verified.out.find("volumes rel.7z.* tested as one set"), std::string::npos) << verified.out;
    }
}

TEST(ReleaseChecks, VerifyNamesADamagedZipAndRepairRebuildsAnyTwoLostOnes)
{
    if (!have("7zz") || !have("par2"))
        GTEST_SKIP() << "7zz or par2 is not installed";
    TempDir dir;
    const std::string disks = makeRelease(dir, "1440");
    const auto bytes = [&](const char* zip) { return dir.read(std::string("disks/") + zip); };
    const std::string first = bytes("disk01.zip");
    const std::string second = bytes("disk02.zip");

    std::string damaged = second;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x55);
    dir.write("disks/disk02.zip", damaged);
    ProgramResult verified = runProgram(kProgram, {"verify", "disk.sfv"}, disks);
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_NE(verified.out.find("BAD      disk02.zip (CRC "), std::string::npos) << verified.out;
    EXPECT_NE(verified.out.find("OK       disk01.zip"), std::string::npos) << verified.out;

    fs::remove(dir.file("disks/disk01.zip"));
    verified = runProgram(kProgram, {"verify", "--repair", "disks/disk.sfv"}, dir.path());
    EXPECT_EQ(verified.exitCode, 0) << verified.out;
    EXPECT_EQ(bytes("disk01.zip"), first);
    EXPECT_EQ(bytes("disk02.zip"), second);
}
