// TPiper: the stub started as a child process, its output read in slices and cut into lines.
#include "archiving/Piper.h"

#include "platform/child_process.h"
#include "platform/file_io.h"
#include "platform/scope_guard.h"
#include "platform/stop_signals.h"
#include "platform/widgets/StopSignals.h"
#include "platform/widgets/TextCodec.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

namespace {
const char* const kStubName = "PKM.DLL";
// Longest time the output is read and split in one turn of the event loop.
constexpr qint64 kSliceNs = 4'000'000;
// A stub asked to stop gets this long to let its command clean up before it is killed.
constexpr int kStopGraceMs = 10'000;

int gRunning = 0;

// The errno value the stub wrote for a command it could not start, 0 when it wrote none.
int readStartError(int fd)
{
    const std::string text = pkm::readToEnd(fd);
    return std::atoi(text.c_str());
}
} // namespace

int TPiper::running()
{
    return gRunning;
}

TPiper::TPiper(std::string programDir, QObject* owner)
    : QObject(owner)
    , programDir_(std::move(programDir))
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

void TPiper::Stop()
{
    if (stopNow_)
        stopNow_();
}

// The run ends when the stub has exited and everything it wrote has been read. The stub waits
// for the archiver, so the archiver's output is complete by then; a background process the
// archiver may have left behind holding the output open does not keep the run (and the
// window's "Working..." state) going for ever, and what it writes later is not read.
int TPiper::RunCommand()
{
    ExitCode = 0;
    StartError = 0;
    if (running_)
        return 2;
    running_ = true;
    ++gRunning;
    const pkm::ScopeGuard reset([this] {
        running_ = false;
        --gRunning;
    });

    // The stub says through this pipe when it could not start the command.
    int status[2];
    if (::pipe2(status, O_CLOEXEC | O_NONBLOCK) != 0)
        return 1;
    const pkm::ScopeGuard closeStatus([&status] {
        for (int fd : status) {
            if (fd >= 0)
                ::close(fd);
        }
    });

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The child's standard input stays an open pipe that is never written.
    process.setInputChannelMode(QProcess::ManagedInputChannel);
    process.setProgram(pathToQString(programDir_ + kStubName));
    process.setArguments({pathToQString("?" + ImageName)});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : Environment)
        environment.insert(QString::fromLocal8Bit(name), pathToQString(value));
    environment.insert(QStringLiteral("PKM_STUB_STATUS_FD"), QString::number(status[1]));
    process.setProcessEnvironment(environment);
    // In the child before the stub runs: the status pipe stays open across exec, and the stub
    // is told to stop when this process ends, however it ends.
    const int statusWriter = status[1];
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([statusWriter, parent] {
        ::fcntl(statusWriter, F_SETFD, 0);
        if (!pkm::endWithParent(SIGTERM, parent))
            ::_exit(128 + SIGTERM);
    });

    QEventLoop loop;
    char buffer[pkm::LineSplitter::kChunkSize];
    bool ended = false;
    bool scheduled = false;
    // Output is taken in time slices of at most kSliceNs per turn of the event loop, so a
    // child that prints faster than the lines can be handled never holds up the window: the
    // rest waits for the next turn.
    QElapsedTimer slice;
    std::function<void()> pump = [&] {
        scheduled = false;
        slice.start();
        while (slice.nsecsElapsed() < kSliceNs) {
            const qint64 got = process.read(buffer, sizeof buffer);
            if (got <= 0)
                break;
            SplitChunk(std::string_view(buffer, static_cast<std::size_t>(got)));
        }
        if (process.bytesAvailable() > 0) {
            if (!scheduled) {
                scheduled = true;
                QTimer::singleShot(0, &loop, [&] { pump(); });
            }
        } else if (ended) {
            loop.quit();
        }
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (!scheduled)
            pump();
    });
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        ended = true;
        if (!scheduled)
            pump();
    });

    // A stop signal, or Stop, ends the stub, which passes it on to the command and waits for it.
    bool stopping = false;
    const auto stop = [&] {
        if (stopping || process.state() == QProcess::NotRunning)
            return;
        stopping = true;
        process.terminate();
        QTimer::singleShot(kStopGraceMs, &loop, [&process] {
            if (process.state() != QProcess::NotRunning)
                process.kill();
        });
    };
    if (StopSignals* stopSignals = StopSignals::instance())
        QObject::connect(stopSignals, &StopSignals::stopRequested, &loop, stop);
    stopNow_ = stop;
    const pkm::ScopeGuard forgetStop([this] { stopNow_ = nullptr; });

    process.start(QIODevice::ReadWrite);
    if (!process.waitForStarted(-1))
        return 2;
    ::close(status[1]);
    status[1] = -1;
    if (pkm::stopSignal() != 0)
        stop();

    if (!ended || process.bytesAvailable() > 0 || scheduled)
        loop.exec();
    // Whatever arrived after the last slice.
    for (;;) {
        const qint64 got = process.read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        SplitChunk(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
    FlushPending();

    StartError = readStartError(status[0]);
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
