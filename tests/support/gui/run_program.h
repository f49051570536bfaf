#pragma once
// The program run as a process, the way a shell script runs it: no display at all.
#include <QStringList>

#include <string>

inline const std::string kProgram = PAKMASTER_BIN_DIR "/pakmaster";

struct ProgramResult {
    int exitCode = -1; // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// The program, without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM, in `workDir`.
ProgramResult runProgram(const std::string& program, const QStringList& args, const std::string& workDir);
