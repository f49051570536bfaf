#pragma once
// The archivers' command lines, byte for byte, with the native separator. Every inserted text
// goes in as typed, inside the quotes the line already has; a double quote in one of them would
// end that quote early and hand the archiver different words, so callers refuse such texts
// first (containsDoubleQuote) and show kQuoteRefusalText. A run of backslashes that ends a
// quoted word is doubled, so that it does not escape the closing quote.
#include "platform/errors.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

inline constexpr const char* kQuoteRefusalText = "Names and paths may not contain double quotes.";

// The input field as the volume run uses it: one trailing separator removed.
std::string inputDirForCommand(std::string inDir);
// The output field as the runs use it: a trailing separator added when missing.
std::string outputDirForCommand(std::string outDir);

// "<D>rar" a -y -r -m5 -ep1 -v<S> "<O><N>" "<I>/*.*"
// "<D>ace32" a -y -r -m5 -v<S> "<O><N>" "<I>/*.*"
// programDir and outDir end in a separator, inDir does not (see the two helpers above).
std::string volumeCommandLine(const std::string& programDir, const std::string& size, const std::string& outDir,
                              const std::string& name, const std::string& inDir, bool useAce);

// "<D>zip" -9 -j "<O><Z>" "<F1>" ... "<Fn>"  with one blank after every quoted word.
std::string zipCommandLine(const std::string& programDir, const std::string& outDir, const std::string& zipName,
                           const std::vector<std::string>& files);

// "<D>zip" -T "<Z>": zip tests the zip it made (through unzip) and exits 8 when it is not sound.
std::string zipTestCommandLine(const std::string& programDir, const std::string& zipFile);

// The file "<outDir><zipName>" names for zip: zip adds ".zip" to a name whose last part has no
// period.
std::string zipFileMade(const std::string& outDir, const std::string& zipName);

inline constexpr const char* kStartFailureText = "Error while trying to start compression.";

// Which archiver a command line runs, for what its exit status means.
enum class ArchiverKind {
    Volumes,  // rar or ace32: the 7-Zip adapter exits with errno values
    Zip,      // Info-ZIP zip: statuses of its own
    Recovery, // par2: statuses of its own
};

// The "Compression error" text of a command that ran and failed. startError is the errno the
// stub reported when it could not start the archiver (0 when the archiver ran): then, and for
// the volume archivers, the system's text for the status; zip's own statuses say what zip
// documents for them.
std::string failedRunText(ArchiverKind archiver, int exitStatus, int startError);
// What Info-ZIP zip documents for an exit status, as a sentence.
std::string zipStatusText(int exitStatus);
// What par2 means by an exit status, as a sentence.
std::string par2StatusText(int exitStatus);

// "<D>par2" create -s<B> -c<K> -n<K> -u -B"<dir>" -- "<dir><series>.par2" "<F1>" ... : K recovery
// files of one block each, the block as large as the largest file (rounded up to a multiple of
// four, as PAR2 needs), so that any K of the files can be rebuilt, each from one recovery file.
// `dir` ends in a separator; the files lie in it.
std::string recoveryCommandLine(const std::string& programDir, const std::string& dir, const std::string& series,
                                std::uint64_t largestFile, int count, const std::vector<std::string>& files);
// A run ended because the program was asked to stop.
std::string stoppedText(int signal);
// A run ended by its Stop button: the log's last line.
inline constexpr const char* kRunStoppedText = "The run was stopped; nothing was replaced.";

// The lines that close an archiver run's log, however the run ended.
std::vector<std::string> closingLines(std::size_t filesCreated);

bool containsDoubleQuote(std::initializer_list<std::string_view> inserts);
bool containsDoubleQuote(const std::vector<std::string>& inserts);

} // namespace pkm
