#pragma once
// What the Rar page's two command lines ask of the volume archiver, and the 7-Zip (7zz)
// arguments that do it:
//     rar   a -y -r -m5 -ep1 -v<S> <O><N> <I>/*.*
//     ace32 a -y -r -m5 -v<S> <O><N> <I>/*.*
// The words arrive split (the stub splits the line, no shell is involved).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

struct VolumeRequest {
    // The size of each volume in thousands of bytes, as the archiver the adapter stands in
    // for reads a -v size without a unit letter: 1440 makes volumes of 1,440,000 bytes.
    std::uint64_t volumeThousands = 0;
    // Where the volumes land: the archive word up to its last separator ("." when it has none,
    // "/" for the root).
    std::string outputDir;
    // The archive word after its last separator; the volumes are <name>.7z.001, .002 ...
    std::string volumeName;
    // The directory to pack: the input word without its "/*.*" ("/" for the root).
    std::string inputDir;
};

struct VolumeRequestParse {
    std::optional<VolumeRequest> request;
    std::string error; // one line, when there is no request
};

// args: the words after the program's name.
VolumeRequestParse parseVolumeCommand(const std::vector<std::string>& args);

// The arguments after "7zz" that write the archive as <stagingArchive>.001, .002 ... in volumes
// of volumeThousands thousand bytes, run with the input directory as the working directory so that names are stored
// relative to it. Every file and folder is taken (7-Zip's "*.*" would skip names without a
// period), recursively, except the runs' own staging folders and aside files at any depth;
// `excluded` lists paths relative to the input directory that stay out too.
// No word that comes from a name can be read as a switch or a list file.
std::vector<std::string> sevenZipArguments(std::uint64_t volumeThousands, const std::string& stagingArchive,
                                           const std::vector<std::string>& excluded);

// The arguments after "7zz" that test a volume set from its first volume, every volume beside it.
std::vector<std::string> sevenZipTestArguments(const std::string& firstVolume);

// "<name>.7z.001" for number 1.
std::string volumeFileName(const std::string& volumeName, unsigned number);
// The number of a volume of this name ("<name>.7z." and digits, at least three), 0 for any
// other file name.
unsigned volumeNumber(std::string_view fileName, std::string_view volumeName);

} // namespace pkm
