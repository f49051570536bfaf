// An archiver's output on standard output: on a terminal a progress state rewrites the line it
// belongs to, as the log box shows it; in a file every line stays as it came.
#include "app/console_log.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ConsoleLog, ProgressRewritesItsLineOnlyOnATerminal)
{
    const std::vector<std::string> lines {" 1%", "Adding a.bin     ", " 50%", "100%", "Adding b", "100%", "Done"};
    std::ostringstream terminal;
    pkm::ConsoleLog onTerminal(terminal, {true, 0}, true);
    std::ostringstream file;
    pkm::ConsoleLog inFile(file, {}, true);
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
    pkm::ConsoleLog zipLog(zips, {true, 0}, false);
    zipLog.line("adding: a (stored 0%)");
    zipLog.line("  50%");
    EXPECT_EQ(zips.str(), "adding: a (stored 0%)\n  50%\n");
}

TEST(ConsoleLog, TheRunsProgressStaysOnTheLastRowOfATerminal)
{
    // Ten columns: the longer line takes two rows, and its progress state goes back up both.
    std::ostringstream volumes;
    pkm::ConsoleLog volumeLog(volumes, {true, 10}, true);
    std::ostringstream file;
    pkm::ConsoleLog inFile(file, {}, true);
    for (pkm::ConsoleLog* log : {&volumeLog, &inFile}) {
        log->line("Adding a");
        log->status("5%");
        log->line(" 50%");
        log->status("9%");
        log->line("A much longer line");
        log->line(" 75%");
        log->finish();
    }
    EXPECT_EQ(volumes.str(),
              "Adding a\n5%\x1b[K"
              "\r\x1b[K\x1b[1A\rAddi 50%\x1b[J\n5%\x1b[K"
              "\r9%\x1b[K"
              "\r\x1b[KA much longer line\n9%\x1b[K"
              "\r\x1b[K\x1b[2A\rA much longer  75%\x1b[J\n9%\x1b[K"
              "\r\x1b[K");
    EXPECT_EQ(file.str(), "Adding a\n 50%\nA much longer line\n 75%\n");

    std::ostringstream zips;
    pkm::ConsoleLog zipLog(zips, {true, 0}, false);
    zipLog.line("adding: a (stored 0%)");
    zipLog.status("25%");
    zipLog.line("test of disk01.zip OK");
    zipLog.finish();
    EXPECT_EQ(zips.str(), "adding: a (stored 0%)\n25%\x1b[K\r\x1b[Ktest of disk01.zip OK\n25%\x1b[K\r\x1b[K");
}
