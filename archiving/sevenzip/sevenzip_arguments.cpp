// The Rar page's command lines read as a volume request, and the 7zz arguments for it.
#include "archiving/sevenzip/sevenzip_arguments.h"

#include "archiving/set_replacement.h"

#include <cstdio>

namespace pkm {

namespace {

constexpr std::string_view kWildcard = "/*.*";
constexpr std::uint64_t kMaxVolumeThousands = std::uint64_t(1) << 40;

VolumeRequestParse refuse(std::string why)
{
    return {std::nullopt, std::move(why)};
}

} // namespace

VolumeRequestParse parseVolumeCommand(const std::vector<std::string>& args)
{
    std::size_t i = 0;
    for (const char* word : {"a", "-y", "-r", "-m5"}) {
        if (i >= args.size() || args[i] != word)
            return refuse(std::string("Expected the switch ") + word
                          + (i < args.size() ? ", found " + args[i] : std::string(" at the end")));
        ++i;
    }
    if (i < args.size() && args[i] == "-ep1")
        ++i;
    if (i >= args.size() || args[i].rfind("-v", 0) != 0)
        return refuse("Expected the volume size switch -v<size>");
    const std::string size = args[i].substr(2);
    ++i;
    if (size.empty())
        return refuse("Volume size missing after -v");
    VolumeRequest request;
    for (char c : size) {
        if (c < '0' || c > '9')
            return refuse("Volume size is not a number: " + size);
        request.volumeThousands = request.volumeThousands * 10 + static_cast<std::uint64_t>(c - '0');
        if (request.volumeThousands > kMaxVolumeThousands)
            return refuse("Volume size too large: " + size);
    }
    if (request.volumeThousands == 0)
        return refuse("Volume size must be at least 1");
    if (args.size() - i != 2)
        return refuse("Expected the archive name and <input dir>/*.* after the switches");

    const std::string& archive = args[i];
    if (archive.empty())
        return refuse("Archive name missing");
    const std::size_t slash = archive.find_last_of('/');
    request.outputDir = slash == std::string::npos ? "." : (slash == 0 ? "/" : archive.substr(0, slash));
    request.volumeName = slash == std::string::npos ? archive : archive.substr(slash + 1);

    const std::string& input = args[i + 1];
    if (input.size() < kWildcard.size()
        || input.compare(input.size() - kWildcard.size(), kWildcard.size(), kWildcard) != 0)
        return refuse("Input must end with /*.*: " + input);
    request.inputDir = input.substr(0, input.size() - kWildcard.size());
    if (request.inputDir.empty())
        request.inputDir = "/";
    return {request, {}};
}

std::vector<std::string> sevenZipArguments(std::uint64_t volumeThousands, const std::string& stagingArchive,
                                           const std::vector<std::string>& excluded)
{
    // -bsp1: the progress counter goes to the output although it is a pipe.
    std::vector<std::string> args {
        "a", "-t7z", "-mx9", "-mmt=on", "-v" + std::to_string(volumeThousands * 1000) + "b", "-y", "-bsp1", "-r"};
    // The runs' own folders and files are never packed, at any depth: a dead run's staging
    // folder inside the input holds pieces of files, perhaps of files since deleted.
    for (std::string_view prefix : {kStagingPrefix, kAsidePrefix})
        args.push_back("-xr!" + std::string(prefix) + "*");
    // -xr-! names one path from the working directory, never a name at any depth.
    for (const std::string& path : excluded)
        args.push_back("-xr-!" + path);
    // After "--" nothing is a switch and "@" starts no list file.
    args.push_back("--");
    args.push_back(stagingArchive);
    args.push_back("*");
    return args;
}

std::vector<std::string> sevenZipTestArguments(const std::string& firstVolume)
{
    return {"t", "-bsp1", "-y", "--", firstVolume};
}

std::string volumeFileName(const std::string& volumeName, unsigned number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03u", number);
    return volumeName + ".7z." + digits;
}

unsigned volumeNumber(std::string_view fileName, std::string_view volumeName)
{
    constexpr std::string_view kInfix = ".7z.";
    if (fileName.size() < volumeName.size() + kInfix.size() + 3 || fileName.substr(0, volumeName.size()) != volumeName
        || fileName.substr(volumeName.size(), kInfix.size()) != kInfix)
        return 0;
    const std::string_view digits = fileName.substr(volumeName.size() + kInfix.size());
    if (digits.size() > 9)
        return 0;
    unsigned number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

} // namespace pkm
