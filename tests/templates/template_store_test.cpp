#include "templates/template_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/profile_file.h"
#include "support/faulty_file_writer.h"
#include "support/temp_dir.h"
#include "tests/platform/profile_fixtures.h"

using namespace pkm;

namespace {

TParam record(std::string name, std::string value, std::uint16_t line, std::uint16_t start, std::uint16_t width,
              bool caps, bool style, std::uint8_t alignment, bool diz)
{
    TParam r;
    r.Name = std::move(name);
    r.Value = std::move(value);
    r.Line = line;
    r.Start = start;
    r.Width = width;
    r.Caps = caps;
    r.Style = style;
    r.Alignment = alignment;
    r.Diz = diz;
    return r;
}

void expectSameRecord(const TParam& actual, const TParam& expected)
{
    SCOPED_TRACE(expected.Name);
    EXPECT_EQ(actual.Name, expected.Name);
    EXPECT_EQ(actual.Value, expected.Value);
    EXPECT_EQ(actual.Line, expected.Line);
    EXPECT_EQ(actual.Start, expected.Start);
    EXPECT_EQ(actual.Width, expected.Width);
    EXPECT_EQ(actual.Caps, expected.Caps);
    EXPECT_EQ(actual.Style, expected.Style);
    EXPECT_EQ(actual.Alignment, expected.Alignment);
    EXPECT_EQ(actual.Diz, expected.Diz);
}

void expectSameRecords(const SectionList& actual, const SectionList& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        expectSameRecord(actual[i], expected[i]);
}

// The records of store_edge_cases.ini, in file order.
const TParam kTitle = record("Title", "padded default", 26, 16, 4464, true, false, 2, false);
const TParam kGroup = record("Group", "", 1, 1, 1, false, false, 0, true);
const TParam kDate = record("Date", "", 65535, 1, 1, false, false, 255, true);
const TParam kSize = record("Size", "", 1, 1, 1, false, true, 1, false);

} // namespace

TEST(ProfileNumbers, HexDecimalAndInvalidText)
{
    struct Row {
        const char* text;
        std::int32_t expected; // 77 is the default
    };
    const std::vector<Row> rows = {
        {"0x1A", 26},
        {"0X1a", 26},
        {"$1A", 26},
        {"$ff", 255},
        {"26", 26},
        {"+26", 26},
        {"-5", -5},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"$FFFFFFFF", -1},
        {"0xFFFFFFFF", -1},
        {"-$10", -16},
        {"\" 7\"", 7},
        {"abc", 77},
        {"", 77},
        {"0x", 77},
        {"0X", 77},
        {"$", 77},
        {"-", 77},
        {"12a", 77},
        {"1 2", 77},
        {"2147483648", 77},
        {"-2147483649", 77},
        {"$100000000", 77},
        {"x1A", 77},
        {"0x-5", 77},
        {"-0x10", 77},
        {"1.5", 77},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const ProfileFile file = ProfileFile::parse(std::string("[S]\r\nv=") + row.text + "\r\n");
        EXPECT_EQ(ReadProfileInteger(file, "S", "v", 77), row.expected);
    }
    const ProfileFile file = ProfileFile::parse("[S]\r\n");
    EXPECT_EQ(ReadProfileInteger(file, "S", "missing", 77), 77);
}

TEST(TemplateStoreSections, WhichNamesHoldRecordsAndSettings)
{
    for (const char* name : {"Section 1", "SECTION12", "Sectionx", "section", "sEcTiOn 7"})
        EXPECT_TRUE(IsRecordSection(name)) << name;
    for (const char* name : {"Sect 1", "Sectio", "", " Section 1", "Options", "Main"})
        EXPECT_FALSE(IsRecordSection(name)) << name;
    for (const char* name : {"Main", "MAIN", "main", "mAiN"})
        EXPECT_TRUE(IsMainSection(name)) << name;
    for (const char* name : {"Main1", "Mai", "Maintenance", ""})
        EXPECT_FALSE(IsMainSection(name)) << name;
}

TEST(TemplateStoreLoad, EdgeCaseFileReadsTheSameWithEveryLineEnd)
{
    for (const LineEndVariant& variant : lineEndVariants(readProfileFixture("store_edge_cases.ini"))) {
        SCOPED_TRACE(variant.name);
        TempDir dir;
        const std::string path = dir.write("Release.ini", variant.bytes);

        const TemplateStore store = LoadTemplateStore(path);
        expectSameRecords(store.records, {kTitle, kGroup, kDate, kSize});
        EXPECT_EQ(store.labels, (std::vector<std::string> {"Section 5", "SECTION12", "Sectionx", "Section 8"}));
        EXPECT_EQ(store.settings,
                  (TemplateSettings {"clone.nfo", "release.nfo", "clone.diz", "file_id.diz", "/srv/out"}));
        EXPECT_EQ(ReadTemplateSettings(path), store.settings);

        // The wizard's lists: DIZ and NFO records interleaved in the file, each list in file order.
        SectionList nfo, diz;
        LoadSectionLists(path, nfo, diz);
        expectSameRecords(nfo, {kTitle, kSize});
        expectSameRecords(diz, {kGroup, kDate});

        EXPECT_EQ(ReadMainSetting(path, "Output dir"), "/srv/out");
        EXPECT_EQ(ReadMainSetting(path, "nfo CLONE"), "clone.nfo");
        EXPECT_EQ(ReadMainSetting(path, "Missing"), "");
    }
}

TEST(TemplateStoreSave, SaveRenumbersAndDropsEverythingElse)
{
    struct Row {
        const char* input;
        const char* saved;
    };
    for (const Row& row : {Row {"store_edge_cases.ini", "store_edge_cases_saved.ini"},
                           Row {"main_and_section5.ini", "main_and_section5_saved.ini"}}) {
        for (const LineEndVariant& variant : lineEndVariants(readProfileFixture(row.input))) {
            SCOPED_TRACE(std::string(row.input) + " " + variant.name);
            TempDir dir;
            const std::string path = dir.write("Release.ini", variant.bytes);
            const TemplateStore loaded = LoadTemplateStore(path);

            SaveTemplateStore(path, loaded.records, loaded.settings);
            EXPECT_EQ(dir.read("Release.ini"), readProfileFixture(row.saved));

            const TemplateStore again = LoadTemplateStore(path);
            expectSameRecords(again.records, loaded.records);
            EXPECT_EQ(again.settings, loaded.settings);
            std::vector<std::string> labels;
            for (std::size_t i = 1; i <= loaded.records.size(); ++i)
                labels.push_back("Section " + std::to_string(i));
            EXPECT_EQ(again.labels, labels);
        }
    }
}

TEST(TemplateStoreSave, MissingFileIsCreatedAndRoundTrips)
{
    TempDir dir;
    const std::string path = dir.file("Release.ini");
    const SectionList records = {
        record("Title", "", 12, 20, 40, true, false, 2, false),
        record("Packer", "  kept blanks  ", 3, 5, 7, false, true, 1, true),
    };
    SaveTemplateStore(path, records, TemplateSettings {"clone.nfo", "release.nfo", "clone.diz", "file_id.diz", ""});
    EXPECT_EQ(dir.read("Release.ini"), readProfileFixture("two_sections_saved.ini"));

    // Values are read back trimmed; a name of blanks only reads as no name, so it is skipped.
    SectionList edited = records;
    edited.push_back(record("   ", "x", 1, 1, 1, false, false, 0, false));
    SaveTemplateStore(path, edited, {});
    SectionList nfo, diz;
    LoadSectionLists(path, nfo, diz);
    expectSameRecords(nfo, {records[0]});
    TParam packer = records[1];
    packer.Value = "kept blanks";
    expectSameRecords(diz, {packer});
    EXPECT_EQ(LoadTemplateStore(path).records.size(), 2u);
    EXPECT_NE(dir.read("Release.ini").find("[Section 3]\r\nName=   \r\n"), std::string::npos);

    // An empty list leaves only "Main" with its five keys.
    SaveTemplateStore(path, {}, {});
    EXPECT_EQ(dir.read("Release.ini"),
              "[Main]\r\nNFO clone=\r\nNFO output=\r\nDIZ clone=\r\nDIZ output=\r\nOutput dir=\r\n");
}

TEST(TemplateStoreSave, UnlistedContentStays)
{
    // Lines before the first section are no section: nothing erases them.
    EXPECT_EQ(BuildTemplateStore("; notes\r\nx=1\r\n[Old]\r\nk=v\r\n", {}, {}),
              "; notes\r\nx=1\r\n[Main]\r\nNFO clone=\r\nNFO output=\r\nDIZ clone=\r\nDIZ output=\r\nOutput dir=\r\n");

    // Sections beyond the 8192-byte name list are not erased, and not read either.
    std::string text;
    std::vector<std::string> names;
    for (int i = 1; i <= 100; ++i) {
        std::string name = "Section " + std::to_string(i) + " ";
        name.resize(99, '-');
        names.push_back(name);
        text += "[" + name + "]\r\nName=n" + std::to_string(i) + "\r\n";
    }
    TempDir dir;
    const std::string path = dir.write("Release.ini", text);
    const TemplateStore store = LoadTemplateStore(path);
    ASSERT_EQ(store.records.size(), 81u); // the 82nd name is cut and finds no section
    EXPECT_EQ(store.records.back().Name, "n81");

    SaveTemplateStore(path, {record("New", "", 1, 1, 1, false, false, 0, false)}, {});
    const ProfileFile saved = ProfileFile::load(path);
    // The new sections stand where the erased ones were, so the next reader lists them first.
    std::vector<std::string> expected {"Main", "Section 1"};
    expected.insert(expected.end(), names.begin() + 81, names.end());
    EXPECT_EQ(saved.sectionNames(), expected);
    EXPECT_EQ(saved.findString(names[81], "Name"), "n82");
}

TEST(TemplateStoreSave, AByteOrderMarkIsReadPastAndKeptThroughSaves)
{
    // As Windows editors write the file: the mark must not hide the "Main" header.
    const std::string mark = "\xEF\xBB\xBF";
    TempDir dir;
    const std::string path = dir.write("Release.ini",
                                       mark
                                           + "[Main]\r\nNFO clone=clone.nfo\r\nNFO output=release.nfo\r\n"
                                             "DIZ clone=clone.diz\r\nDIZ output=file_id.diz\r\n"
                                             "Output dir=/srv/out\r\n[Section 1]\r\nName=Title\r\n");
    for (int save = 1; save <= 2; ++save) {
        SCOPED_TRACE(save);
        const TemplateStore store = LoadTemplateStore(path);
        EXPECT_EQ(store.settings.NfoClone, "clone.nfo");
        EXPECT_EQ(store.settings.DizClone, "clone.diz");
        EXPECT_EQ(store.settings.OutputDir, "/srv/out");
        EXPECT_EQ(ReadMainSetting(path, kOutputDirKey), "/srv/out");
        ASSERT_EQ(store.records.size(), 1u);
        SaveTemplateStore(path, store.records, store.settings);
        const std::string saved = dir.read("Release.ini");
        EXPECT_EQ(saved.substr(0, 3), mark);
        EXPECT_EQ(ProfileFile::parse(saved).sectionNames(), (std::vector<std::string> {"Main", "Section 1"}));
    }
}

TEST(TemplateStoreSave, SectionsBeyondTheNameListSurviveRepeatedSaves)
{
    // "Main" and 200 sections of 99-character names: 81 records fit in the name list, and what
    // follows them fills more than another list. Each save stands for the section creator
    // opened and confirmed unchanged.
    std::string text = "[Main]\r\nNFO clone=clone.nfo\r\nNFO output=release.nfo\r\nDIZ clone=clone.diz\r\n"
                       "DIZ output=file_id.diz\r\nOutput dir=/srv/out\r\n";
    for (int i = 1; i <= 200; ++i) {
        std::string name = "Section " + std::to_string(i) + " ";
        name.resize(99, '-');
        text += "[" + name + "]\r\nName=n" + std::to_string(i) + "\r\nDefault=v" + std::to_string(i) + "\r\n";
    }
    TempDir dir;
    const std::string path = dir.write("Release.ini", text);

    std::vector<std::string> seen;
    std::vector<std::size_t> sizes;
    for (int save = 1; save <= 5; ++save) {
        SCOPED_TRACE(save);
        const TemplateStore store = LoadTemplateStore(path);
        EXPECT_EQ(store.settings.NfoClone, "clone.nfo");
        EXPECT_EQ(store.settings.OutputDir, "/srv/out");
        // Every record seen before is seen again, in its place and with its value.
        std::vector<std::string> now;
        for (const TParam& r : store.records) {
            EXPECT_EQ(r.Value, "v" + r.Name.substr(1));
            now.push_back(r.Name);
        }
        ASSERT_GE(now.size(), seen.size());
        EXPECT_EQ(std::vector<std::string>(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(seen.size())), seen);
        seen = now;
        SaveTemplateStore(path, store.records, store.settings);
        sizes.push_back(dir.read("Release.ini").size());
    }
    EXPECT_EQ(seen.size(), 200u) << "the hidden records come into the list as the names shrink";
    for (std::size_t i = 1; i < sizes.size(); ++i)
        EXPECT_LE(sizes[i], sizes[i - 1]) << "save " << i + 1;
    EXPECT_EQ(sizes[4], sizes[3]);
    EXPECT_EQ(ProfileFile::load(path).sectionNames().size(), 201u);
}

TEST(TemplateStoreSave, RefusedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string original = readProfileFixture("store_edge_cases.ini");
    const std::string path = dir.write("Release.ini", original);
    const TemplateStore store = LoadTemplateStore(path);
    {
        FaultyFileWriter fault;
        fault.failAfterBytes = 40;
        try {
            SaveTemplateStore(path, store.records, store.settings);
            ADD_FAILURE() << "the save should have failed";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        }
    }
    EXPECT_EQ(dir.read("Release.ini"), original);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string> {"Release.ini"});

    // A store path that is a directory cannot be written either.
    std::filesystem::create_directory(dir.file("Taken.ini"));
    try {
        SaveTemplateStore(dir.file("Taken.ini"), store.records, store.settings);
        ADD_FAILURE() << "the save should have failed";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.file("Taken.ini"));
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Taken.ini")));
}
