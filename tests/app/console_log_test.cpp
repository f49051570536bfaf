// An archiver's output on standard output: on a terminal a progress state rewrites the line it
// belongs to, as the log box shows it; in a file every line stays as it came.
#include "app/console_log.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ConsoleLog, ProgressRewritesItsLineOnlyOnATerminal)
{
    const std::vector<std::string> lines {" 1%", "Adding a.bin     ", " 50%", "100%", "Adding b", "100%", "Done"};
    std::ostringstream terminal;
    pkm::ConsoleLog onTerminal(terminal, true, true);
    std::ostringstream file;
    pkm::ConsoleLog inFile(file, false, true);
    for (const std::string& line : lines) {
        onTerminal.line(line);
        inFile.line(line);
    }
    onTerminal.finish();
    inFile.finish();
    EXPECT_EQ(terminal.str(),
              " 1%\nAdding a.bin     \rAdding a.bin  50%\x1b[K\rAdding a.bin 100%\x1b[K\nAdding b"
              "\rAddi100%\x1b[K\nDone\n");
    EXPECT_EQ(file.str(), " 1%\nAdding a.bin     \n 50%\n100%\nAdding b\n100%\nDone\n");

    // The Zip page's log has no progress states.
    std::ostringstream zips;
    pkm::ConsoleLog zipLog(zips, true, false);
    zipLog.line("adding: a (stored 0%)");
    zipLog.line("  50%");
    EXPECT_EQ(zips.str(), "adding: a (stored 0%)\n  50%\n");
}
