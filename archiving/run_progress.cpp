// RunProgress: the archivers' percentages mapped onto the whole run, and the time estimate.
#include "archiving/run_progress.h"

#include <algorithm>
#include <cstdio>

namespace pkm {

namespace {

using std::chrono::seconds;

// 7zz's test of the new set reads back what it packed, far faster than -mx9 packs it: about a
// tenth of the whole run.
constexpr double kPackingShare = 0.9;
constexpr std::string_view kTestingStarts = "Testing archive:";
// par2's counter while it computes the recovery data; its other counters are short.
constexpr std::string_view kRecoveryCounter = "Processing: ";
// An estimate from less than this share done, or this time, is mostly noise.
constexpr double kEstimateFrom = 0.01;
constexpr seconds kEstimateAfter {1};

} // namespace

std::optional<double> leadingPercent(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    const auto digitsFrom = [&line](std::size_t at) {
        std::size_t end = at;
        while (end < line.size() && line[end] >= '0' && line[end] <= '9')
            ++end;
        return end;
    };
    std::size_t end = digitsFrom(i);
    if (end == i || end - i > 3)
        return std::nullopt;
    double value = 0;
    for (std::size_t k = i; k < end; ++k)
        value = value * 10 + (line[k] - '0');
    if (end < line.size() && line[end] == '.') {
        const std::size_t fraction = digitsFrom(end + 1);
        if (fraction == end + 1)
            return std::nullopt;
        double scale = 0.1;
        for (std::size_t k = end + 1; k < fraction; ++k, scale /= 10)
            value += (line[k] - '0') * scale;
        end = fraction;
    }
    if (end >= line.size() || line[end] != '%')
        return std::nullopt;
    return std::min(value, 100.0);
}

std::string clockText(seconds time)
{
    const long long total = std::max<long long>(0, time.count());
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

RunProgress::RunProgress(RunKind kind, Clock::time_point start)
    : kind_(kind)
    , start_(start)
    , spanSize_(kind == RunKind::Volumes ? kPackingShare : 1)
{
}

void RunProgress::reach(double share)
{
    done_ = std::clamp(share, done_, 1.0);
}

int RunProgress::percent() const
{
    // 0.45 of the way is 45%, however the product rounds.
    return static_cast<int>(done_ * 100 + 1e-9);
}

void RunProgress::step(std::size_t step, std::size_t steps)
{
    if (kind_ != RunKind::Zips || steps == 0)
        return;
    spanSize_ = 1.0 / static_cast<double>(steps);
    spanStart_ = static_cast<double>(std::min(step, steps)) * spanSize_;
    reach(spanStart_);
}

bool RunProgress::line(std::string_view text)
{
    const double before = done_;
    if (kind_ == RunKind::Volumes) {
        if (text.starts_with(kTestingStarts)) {
            spanStart_ = kPackingShare;
            spanSize_ = 1 - kPackingShare;
            reach(spanStart_);
        } else if (const std::optional<double> counter = leadingPercent(text)) {
            reach(spanStart_ + spanSize_ * *counter / 100);
        }
    } else if (text.starts_with(kRecoveryCounter)) {
        // zip prints no counter; its "(deflated 45%)" is how much smaller a file got.
        if (const std::optional<double> counter = leadingPercent(text.substr(kRecoveryCounter.size())))
            reach(spanStart_ + spanSize_ * *counter / 100);
    }
    return done_ != before;
}

void RunProgress::finish(Clock::time_point now, bool succeeded)
{
    if (!end_)
        end_ = now;
    if (succeeded)
        reach(1);
}

seconds RunProgress::elapsed(Clock::time_point now) const
{
    return std::max(seconds(0), std::chrono::duration_cast<seconds>(end_.value_or(now) - start_));
}

std::optional<seconds> RunProgress::remaining(Clock::time_point now) const
{
    if (end_ || done_ < kEstimateFrom)
        return std::nullopt;
    const auto taken = std::chrono::duration<double>(end_.value_or(now) - start_);
    if (taken < kEstimateAfter)
        return std::nullopt;
    return seconds(static_cast<long long>(taken.count() * (1 - done_) / done_ + 0.5));
}

std::string RunProgress::timeText(Clock::time_point now) const
{
    std::string text = clockText(elapsed(now)) + " elapsed";
    if (const std::optional<seconds> left = remaining(now))
        text += ", " + clockText(*left) + " left";
    return text;
}

std::string RunProgress::statusText(Clock::time_point now) const
{
    return std::to_string(percent()) + "%  " + timeText(now);
}

} // namespace pkm
