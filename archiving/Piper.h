#pragma once
// TPiper runs one console command through the stub PKM.DLL of the program's directory and
// hands the command's output back one line at a time, keeping the window responsive meanwhile.
#include "archiving/line_splitter.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TPiper : public QObject {
    Q_OBJECT
public:
    using TOnNewLine = std::function<void(TPiper* sender, const std::string& line)>;

    // Runs the stub PKM.DLL of programDir (ending in a separator).
    TPiper(std::string programDir, QObject* owner);
    ~TPiper() override;

    // The command line to run: whatever follows "?" in the stub's argument.
    std::string ImageName;
    // Variables added to the stub's environment for the next RunCommand.
    std::vector<std::pair<std::string, std::string>> Environment;
    // The stub's exit code after RunCommand; 0 when it could not be started.
    std::int32_t ExitCode = 0;
    // Receives every line of output; unset means lines are dropped.
    TOnNewLine OnNewLine;
    // The errno value the stub reported when it could not start the command, 0 when the
    // command ran; ExitCode then holds the same value.
    int StartError = 0;

    // 0: the stub ran and its output was read to the end (ExitCode holds its exit code);
    // 1: the output channel could not be set up; 2: the stub could not be started (also when
    // this object is already running a command). Returns once the stub has ended. A stop
    // signal ends the stub (and with it the command) early; so does the end of this process.
    int RunCommand();
    // Ends the command under way as a stop signal does: the stub is asked to end (and passes
    // that on to the command, which cleans up), and is killed if it has not ended after its
    // grace. Nothing when no command runs.
    void Stop();

    // How many RunCommand calls are under way, nested ones included.
    static int running();

    // Splitting state, carried over from run to run on the same object.
    const std::string& PendingText() const { return splitter_.PendingText; }
    std::uint16_t LastChar() const { return splitter_.LastChar; }

private:
    void EmitLine(const std::string& line);
    void SplitChunk(std::string_view chunk);
    void FlushPending();

    std::string programDir_;
    pkm::LineSplitter splitter_;
    bool running_ = false;
    // Set while RunCommand runs.
    std::function<void()> stopNow_;
};
