#pragma once
// The start of a benchmark program that runs windows: offscreen unless a platform is asked for.
#include "platform/widgets/Application.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

inline int runWindowBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter = nullptr)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pkm::TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (reporter)
        benchmark::RunSpecifiedBenchmarks(reporter);
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
