// The commands as whole processes against what they stand for, timed in alternating rounds:
//   --version and --help against a C++ program that prints a line;
//   generate on the example set against cat writing its two templates to two files;
//   zips of 30 volumes against a loop running zip (and zip's test) with the run's own arguments.
//   pakmaster_commands_bench PROGRAM_DIR HELLO [ROUNDS]
// PROGRAM_DIR is a portable copy of the program with the example set beside it.
#include "archiving/command_line_split.h"
#include "archiving/run_plan.h"
#include "bench/processes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using pkm::bench::median;
using pkm::bench::runProcess;

namespace {

using Argv = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

struct Contender {
    std::string name;
    std::function<bool()> run;
    // Outside the timing: before each round.
    std::function<void()> prepare = [] {};
};

// Alternates the program and its reference for `rounds` rounds (after one round each to warm the
// caches) and prints the medians, their spread and the ratio of the medians.
void compare(const std::string& title, const Contender& program, const Contender& reference, int rounds)
{
    std::vector<double> times[2];
    const Contender* contenders[2] = {&program, &reference};
    for (int round = -1; round < rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            // Who goes first alternates, so neither always finds the caches the other left.
            const Contender& c = *contenders[(i + round + 2) % 2];
            c.prepare();
            const auto start = Clock::now();
            if (!c.run()) {
                std::cerr << title << ": " << c.name << " failed\n";
                std::exit(1);
            }
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            if (round >= 0)
                times[&c == &program ? 0 : 1].push_back(ms);
        }
    }
    const auto spread = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::to_string(v.front()).substr(0, 6) + "-" + std::to_string(v.back()).substr(0, 6);
    };
    std::printf("%-10s %-28s median %8.2f ms (%s)   %-34s median %8.2f ms (%s)   ratio %.2f\n", title.c_str(),
                program.name.c_str(), median(times[0]), spread(times[0]).c_str(), reference.name.c_str(),
                median(times[1]), spread(times[1]).c_str(), median(times[0]) / median(times[1]));
    std::fflush(stdout);
}

std::string noise(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: pakmaster_commands_bench PROGRAM_DIR HELLO [ROUNDS]\n";
        return 2;
    }
    const std::string programDir = fs::absolute(argv[1]).string() + "/";
    const std::string hello = fs::absolute(argv[2]).string();
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 21;
    const std::string program = programDir + "pakmaster";
    const std::string work = programDir + "bench-work/";
    fs::remove_all(work);
    fs::create_directories(work);

    const Contender helloLine {"hello (C++, prints a line)", [&] { return runProcess({hello}, work); }};
    compare("--version",
            {"pakmaster --version",
             [&] {
                 return runProcess({program, "--version"}, work);
             }},
            helloLine, rounds);
    compare("--help", {"pakmaster --help", [&] { return runProcess({program, "--help"}, work); }}, helloLine, rounds);

    // generate writes the NFO and DIZ beside the program, as a portable copy does.
    compare("generate",
            {"pakmaster generate",
             [&] {
                 return runProcess({program, "generate"}, work);
             }},
            {"cat clone.nfo > o1; cat clone.diz > o2",
             [&] {
                 return runProcess({"/bin/cat", programDir + "clone.nfo"}, work, work + "o1")
                     && runProcess({"/bin/cat", programDir + "clone.diz"}, work, work + "o2");
             }},
            rounds);

    // 30 volumes of 1,440,000 bytes (7-Zip's output does not compress), each with the NFO and DIZ.
    const std::string in = work + "in/";
    fs::create_directories(in);
    std::vector<std::string> volumes;
    for (int i = 1; i <= 30; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "rel.7z.%03d", i);
        std::ofstream(in + name, std::ios::binary) << noise(1'440'000, static_cast<unsigned>(i));
        volumes.push_back(in + name);
    }
    const std::string nfo = programDir + "clone.nfo";
    const std::string diz = programDir + "clone.diz";
    Argv zips = {program, "zips", "--output", work + "out", "--name", "disk01", "--count", "30"};
    for (const std::string& volume : volumes)
        zips.insert(zips.end(), {"--spread", volume});
    zips.insert(zips.end(), {"--each", nfo, "--each", diz});
    fs::create_directories(work + "out");
    const pkm::ZipSeriesPlan series = pkm::PlanZipSeries("disk01", 30, volumes, {nfo, diz});
    const pkm::ZipPlan plan = pkm::PlanZipRun(programDir, work + "out", series.zips.entries());
    if (series.refusal || plan.refusal) {
        const pkm::RunRefusal& refusal = series.refusal ? *series.refusal : *plan.refusal;
        std::cerr << "zips: " << refusal.caption << ": " << refusal.text << "\n";
        return 1;
    }
    const auto fresh = [&] {
        fs::remove_all(work + "out");
        fs::create_directories(work + "out");
    };
    compare("zips", {"pakmaster zips (30 volumes)", [&] { return runProcess(zips, work); }, fresh},
            {"loop: zip, zip -T per zip",
             [&] {
                 for (std::size_t i = 0; i < plan.commandLines.size(); ++i) {
                     if (!runProcess(pkm::splitCommandLine(plan.commandLines[i]), work)
                         || !runProcess(pkm::splitCommandLine(plan.testCommandLines[i]), work))
                         return false;
                 }
                 return true;
             },
             fresh},
            rounds);
    fs::remove_all(work);
    return 0;
}
