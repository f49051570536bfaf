#pragma once
// What a Start button runs, decided before anything runs: the fields checked (double quotes
// refused, directories present) and, when they pass, the fields as the run uses them and the
// command lines. The Rar and Zip pages and the command line share these rules.
#include "archiving/zip_set.h"

#include <optional>
#include <string>
#include <vector>

namespace pkm {

// A refusal, shown as a message box by the window and on standard error by the command line.
struct RunRefusal {
    std::string caption;
    std::string text;
    bool operator==(const RunRefusal&) const = default;
};

// The Rar page's fields, as typed.
struct VolumeRequest {
    std::string inputDir;
    std::string outputDir;
    std::string name;
    std::string size;
    bool useAce = false;
};

struct VolumePlan {
    // Set when nothing may run.
    std::optional<RunRefusal> refusal;
    // The input field after the check: one trailing separator gone (the root keeps its own).
    // Set once the input directory was found, also when the output check then refuses.
    std::optional<std::string> inputField;
    // The output field with its trailing separator; set when nothing was refused.
    std::string outputField;
    std::string commandLine;
};

// programDir ends in a separator.
VolumePlan PlanVolumeRun(const std::string& programDir, const VolumeRequest& request);

struct ZipPlan {
    std::optional<RunRefusal> refusal;
    // The output field with its trailing separator; set once the directory was found.
    std::optional<std::string> outputField;
    // One line per zip, in list order; empty when refused.
    std::vector<std::string> commandLines;
    // The zip each line makes afresh, in the same order.
    std::vector<std::string> zipFiles;
    // The line that tests each zip once it is made, in the same order.
    std::vector<std::string> testCommandLines;
    // The series' checksum file, beside its first zip; empty for an empty list.
    std::string checksumFile;
    // How many recovery disks go with the series: any this many zips can be rebuilt.
    int recoveryDisks = 0;
};

// The most recovery disks a series may have.
inline constexpr int kMaxRecoveryDisks = 9;

// Why a file cannot go into a zip, or nothing: zip takes regular files this process can read.
// A missing file reads "<path>: file not found."; any other gives its reason on a line of its
// own.
std::optional<RunRefusal> CheckZipInput(const std::string& path);

// A zip series given whole, as the command line gives it: `count` zips numbered from
// `firstName` as the "Zip files" dialog numbers them, the `spread` files one per zip in list
// order (a single one into the first zip alone, as a single volume), every `each` file into
// every zip. Refused when an input is not a file zip can take, when the name cannot number
// `count` zips, or when there are more spread files than zips (the page would leave them out).
struct ZipSeriesPlan {
    std::optional<RunRefusal> refusal;
    ZipSet zips;
};
ZipSeriesPlan PlanZipSeries(const std::string& firstName, int count, const std::vector<std::string>& spread,
                            const std::vector<std::string>& each);

// The zips as they stand when Start is pressed.
ZipPlan PlanZipRun(const std::string& programDir, const std::string& outputDir, const std::vector<ZipEntry>& zips,
                   int recoveryDisks = 0);

} // namespace pkm
