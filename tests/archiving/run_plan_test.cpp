// The checks before a Start button runs anything, in the order the user meets them, and what
// each leaves in the fields.
#include "archiving/run_plan.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

TEST(RunPlan, VolumeChecksComeInOrderAndTheFieldsKeepWhatPassed)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("in"));
    std::filesystem::create_directory(dir.file("out"));
    const RunRefusal quote {"Input error", "Names and paths may not contain double quotes."};
    const RunRefusal noInput {"Input error", "Input directory not found."};
    const RunRefusal noOutput {"Output error", "Output directory not found."};
    const struct {
        VolumeRequest request;
        std::optional<RunRefusal> refusal;
        std::optional<std::string> inputField;
    } rows[] = {
        // A quote is refused before a missing directory is noticed.
        {{dir.file("nowhere"), dir.file("out"), "re\"l", "1440"}, quote, std::nullopt},
        {{dir.file("nowhere"), dir.file("out"), "rel", "1440"}, noInput, std::nullopt},
        // The input field has lost its separator when the output check refuses.
        {{dir.file("in") + "/", dir.file("nowhere"), "rel", "1440"}, noOutput, dir.file("in")},
        {{"/", dir.file("out"), "rel", "1440"}, std::nullopt, "/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.request.inputDir + " " + row.request.name);
        const VolumePlan plan = PlanVolumeRun("/p/", row.request);
        EXPECT_EQ(plan.refusal, row.refusal);
        EXPECT_EQ(plan.inputField, row.inputField);
        EXPECT_EQ(plan.commandLine.empty(), row.refusal.has_value());
    }
    const VolumePlan plan = PlanVolumeRun("/p/", {dir.file("in/"), dir.file("out"), "rel", "720", true});
    EXPECT_EQ(plan.outputField, dir.file("out/"));
    EXPECT_EQ(plan.commandLine,
              "\"/p/ace32\" a -y -r -m5 -v720 \"" + dir.file("out/rel") + "\" \"" + dir.file("in/*.*") + "\"");
}

TEST(RunPlan, ZipChecksRefuseAMissingDirectoryThenAnyQuote)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("out"));
    EXPECT_EQ(PlanZipRun("/p/", dir.file("nowhere"), {}).refusal,
              (RunRefusal {"Output error", "Output directory not found."}));

    const std::vector<ZipEntry> quoted {{"disk01", {"/v/rel.7z.001"}}, {"disk02", {"/v/a\"b"}}};
    const ZipPlan refused = PlanZipRun("/p/", dir.file("out"), quoted);
    EXPECT_EQ(refused.refusal, (RunRefusal {"Input error", "Names and paths may not contain double quotes."}));
    EXPECT_EQ(refused.outputField, dir.file("out/")) << "the field has its separator before the quote check";
    EXPECT_TRUE(refused.commandLines.empty()) << "no zip of the series runs";

    const ZipPlan plan = PlanZipRun("/p/", dir.file("out"), {{"disk01", {"/v/a", "/v/b"}}, {"disk02", {}}});
    ASSERT_FALSE(plan.refusal);
    EXPECT_EQ(plan.commandLines,
              (std::vector<std::string> {
                  "\"/p/zip\" -9 -j \"" + dir.file("out/disk01") + "\" \"/v/a\" \"/v/b\" ",
                  "\"/p/zip\" -9 -j \"" + dir.file("out/disk02") + "\" ",
              }));
    EXPECT_EQ(plan.zipFiles, (std::vector<std::string> {dir.file("out/disk01.zip"), dir.file("out/disk02.zip")}))
        << "each line's zip is the one moved aside while it is made afresh";
}

TEST(RunPlan, AZipSeriesGivenWholeSpreadsFilesOnePerZipAndPutsTheOthersIntoEvery)
{
    TempDir dir;
    for (const char* name : {"v.001", "v.002", "v.003", "r.nfo"})
        dir.write(name, name);
    const auto content = [](const ZipSeriesPlan& plan) {
        std::vector<std::vector<std::string>> lists;
        for (const ZipEntry& entry : plan.zips.entries())
            lists.push_back(entry.content);
        return lists;
    };
    const std::string a = dir.file("v.001"), b = dir.file("v.002"), c = dir.file("v.003"), n = dir.file("r.nfo");
    EXPECT_EQ(content(PlanZipSeries("d1", 3, {a, b, c}, {n})),
              (std::vector<std::vector<std::string>> {{n, a}, {n, b}, {n, c}}));
    // One volume goes into the first zip alone; two leave the last zip without one.
    EXPECT_EQ(content(PlanZipSeries("d1", 3, {a}, {n})), (std::vector<std::vector<std::string>> {{n, a}, {n}, {n}}));
    EXPECT_EQ(content(PlanZipSeries("d1", 3, {a, b}, {})), (std::vector<std::vector<std::string>> {{a}, {b}, {}}));

    EXPECT_EQ(PlanZipSeries("d1", 1, {a, b}, {}).refusal, (RunRefusal {"Zip error", "2 files to spread over 1 zips."}));
    EXPECT_EQ(PlanZipSeries("d1", 1, {}, {dir.file("none")}).refusal,
              (RunRefusal {"Input error", dir.file("none") + ": file not found."}));
    EXPECT_EQ(PlanZipSeries("setup", 3, {}, {}).refusal,
              (RunRefusal {"Zip error",
                           "The series from setup has 1 zip name, not 3: a name needs a number to count from."}));
}
