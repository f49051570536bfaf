// runCommandSequence: one pipe to the stub, the lines run in order, the first failure named.
#include "archiving/CommandSequence.h"

#include "archiving/Piper.h"
#include "archiving/command_lines.h"
#include "platform/errors.h"

std::optional<std::string> runCommandSequence(const CommandSequence& sequence,
                                              const std::vector<std::string>& commandLines)
{
    TPiper piper(sequence.programDir, sequence.owner);
    piper.OnNewLine = sequence.onLine;
    for (const std::string& commandLine : commandLines) {
        piper.ImageName = commandLine;
        if (piper.RunCommand() == 0 && piper.ExitCode == 0)
            continue;
        return piper.ExitCode == 0 ? std::string(pkm::kStartFailureText) : pkm::exitCodeText(piper.ExitCode);
    }
    return std::nullopt;
}
