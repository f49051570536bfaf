#include "archiving/Piper.h"

#include "platform/text_codec.h"

#include <QEventLoop>
#include <QProcess>

namespace {
const char* const kStubName = "PKM.DLL";
}

TPiper::TPiper(QObject* owner)
    : QObject(owner)
    , splitter_([this](const std::string& line) { EmitLine(line); })
{
}

TPiper::~TPiper() = default;

void TPiper::EmitLine(const std::string& line)
{
    if (OnNewLine)
        OnNewLine(this, line);
}

void TPiper::SplitChunk(std::string_view chunk)
{
    splitter_.SplitChunk(chunk);
}

void TPiper::FlushPending()
{
    splitter_.FlushPending();
}

// The run ends when the stub has exited and everything it wrote has been read. The stub waits
// for the archiver, so the archiver's output is complete by then; a background process the
// archiver may have left behind holding the output open does not keep the run (and the
// window's "Working..." state) going for ever, and what it writes later is not read.
int TPiper::RunCommand()
{
    ExitCode = 0;
    if (running_)
        return 2;
    running_ = true;
    struct RunningReset {
        bool& flag;
        ~RunningReset() { flag = false; }
    } reset{running_};

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The child's standard input stays an open pipe that is never written.
    process.setInputChannelMode(QProcess::ManagedInputChannel);
    process.setProgram(pathToQString(programDirectory() + kStubName));
    process.setArguments({pathToQString("?" + ImageName)});

    QEventLoop loop;
    char buffer[pkm::LineSplitter::kChunkSize];
    auto readAvailable = [&] {
        for (;;) {
            const qint64 got = process.read(buffer, sizeof buffer);
            if (got <= 0)
                break;
            SplitChunk(std::string_view(buffer, static_cast<std::size_t>(got)));
        }
    };
    bool ended = false;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, readAvailable);
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });

    process.start(QIODevice::ReadWrite);
    if (!process.waitForStarted(-1))
        return 2;
    ProcessHandle = process.processId();

    if (!ended && process.state() != QProcess::NotRunning)
        loop.exec();
    readAvailable();
    FlushPending();

    if (process.exitStatus() == QProcess::CrashExit) {
        // The stub itself died; Qt reports the signal number as the exit code.
        ExitCode = 128 + (process.exitCode() > 0 ? process.exitCode() : 0);
        if (ExitCode == 128)
            ExitCode = 1;
    } else {
        ExitCode = process.exitCode();
    }
    return 0;
}
