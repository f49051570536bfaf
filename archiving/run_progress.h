#pragma once
// RunProgress: how far a volume or zip run has come, read from what its archivers print as it
// reaches the log, and the time it has taken and will take. The clock is the caller's: every
// reading takes the time it is asked at.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pkm {

enum class RunKind {
    // One command: 7zz's counter while it packs, then while it tests the new set.
    Volumes,
    // One step per zip (and one for the recovery data): the steps done, and par2's own
    // percentage inside its step.
    Zips,
};

class RunProgress {
public:
    using Clock = std::chrono::steady_clock;

    RunProgress(RunKind kind, Clock::time_point start);

    // A command line starts: step `step` (0 based) of `steps` (SequenceHooks::onStep).
    void step(std::size_t step, std::size_t steps);
    // One line of the archivers' output. True when the run's share done moved.
    bool line(std::string_view text);
    // The run is over; one that succeeded is all done. The time stops.
    void finish(Clock::time_point now, bool succeeded);

    // The share done, 0 to 1; it never goes back.
    double done() const { return done_; }
    int percent() const;
    std::chrono::seconds elapsed(Clock::time_point now) const;
    // The time still to go at the pace so far; nothing until the run is far enough in to
    // tell, or once it is over.
    std::optional<std::chrono::seconds> remaining(Clock::time_point now) const;
    // "0:42 elapsed, 1:10 left", or "0:42 elapsed" without an estimate.
    std::string timeText(Clock::time_point now) const;
    // The percentage and the times on one line, for a terminal: "45%  0:42 elapsed, 1:10 left".
    std::string statusText(Clock::time_point now) const;

private:
    void reach(double share);

    RunKind kind_;
    Clock::time_point start_;
    std::optional<Clock::time_point> end_;
    // The span of the run the current step or phase covers.
    double spanStart_ = 0;
    double spanSize_ = 1;
    double done_ = 0;
};

// A counter at the start of a line, after blanks ("  45% + big.bin", " 7.5%"): its value.
std::optional<double> leadingPercent(std::string_view line);
// m:ss, or h:mm:ss from an hour on.
std::string clockText(std::chrono::seconds time);

} // namespace pkm
