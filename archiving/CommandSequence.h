#pragma once
// runCommandSequence: command lines run through the stub one after the other. Shared by the
// pages' Start buttons and by the command line, with or without a window.
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QObject;
class TPiper;

struct CommandSequence {
    // The directory of the stub PKM.DLL, ending in a separator.
    std::string programDir;
    // Each line of the archivers' output.
    std::function<void(TPiper* sender, const std::string& line)> onLine;
    // Owner of the pipe while it runs; may be null.
    QObject* owner = nullptr;
};

// Runs the lines in order and stops at the first that fails to start or exits with an error.
// Returns the text of the "Compression error" message then, nothing when every line ran.
std::optional<std::string> runCommandSequence(const CommandSequence& sequence,
                                              const std::vector<std::string>& commandLines);
