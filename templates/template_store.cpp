#include "templates/template_store.h"

#include <cstdint>
#include <optional>

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/profile_file.h"

namespace pkm {

namespace {

const char* const kNameKey = "Name";
const char* const kDefaultKey = "Default";
const char* const kLineKey = "Line";
const char* const kStartKey = "Start";
const char* const kWidthKey = "Width";
const char* const kCapsKey = "Caps";
const char* const kStyleKey = "Style";
const char* const kAlignmentKey = "Alignment";
const char* const kDizKey = "Diz";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view upperPrefix)
{
    if (text.size() < upperPrefix.size())
        return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i) {
        if (upperAscii(text[i]) != upperPrefix[i])
            return false;
    }
    return true;
}

std::string boolText(bool value)
{
    return value ? "1" : "0";
}

// The records of the file in the order the name list shows them, each with its label.
template <typename Visit>
void forEachRecord(const ProfileFile& file, const std::vector<std::string>& names, Visit visit)
{
    for (const std::string& name : names) {
        if (!IsRecordSection(name))
            continue;
        TParam record = ReadSectionRecord(file, name);
        if (record.Name.empty())
            continue;
        visit(name, std::move(record));
    }
}

} // namespace

bool ParseProfileInteger(std::string_view text, std::int32_t& result)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const bool hex = i < text.size() && text[i] == '$';
    if (hex)
        ++i;
    if (i >= text.size())
        return false;

    // Hexadecimal takes any 32-bit pattern ($FFFFFFFF is -1); decimal must fit the signed range.
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit)
            return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    result = static_cast<std::int32_t>(bits);
    return true;
}

std::int32_t ReadProfileInteger(const ProfileFile& file, std::string_view section, std::string_view key,
                                std::int32_t defaultValue)
{
    std::string text = file.readString(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    std::int32_t value = 0;
    return ParseProfileInteger(text, value) ? value : defaultValue;
}

bool ReadProfileBool(const ProfileFile& file, std::string_view section, std::string_view key)
{
    return ReadProfileInteger(file, section, key, 0) != 0;
}

bool IsRecordSection(std::string_view sectionName)
{
    return startsWithNoCase(sectionName, "SECTION");
}

bool IsMainSection(std::string_view sectionName)
{
    return sectionName.size() == 4 && startsWithNoCase(sectionName, "MAIN");
}

TParam ReadSectionRecord(const ProfileFile& file, std::string_view section)
{
    TParam record;
    record.Name = file.readString(section, kNameKey, "");
    record.Value = file.readString(section, kDefaultKey, "");
    record.Line = static_cast<std::uint16_t>(ReadProfileInteger(file, section, kLineKey, 1));
    record.Start = static_cast<std::uint16_t>(ReadProfileInteger(file, section, kStartKey, 1));
    record.Width = static_cast<std::uint16_t>(ReadProfileInteger(file, section, kWidthKey, 1));
    record.Caps = ReadProfileBool(file, section, kCapsKey);
    record.Style = ReadProfileBool(file, section, kStyleKey);
    // Stored one higher (1 left, 2 right, 3 center); other values are kept unchecked.
    const std::uint32_t stored = static_cast<std::uint32_t>(ReadProfileInteger(file, section, kAlignmentKey, 1));
    record.Alignment = static_cast<std::uint8_t>(stored - 1u);
    record.Diz = ReadProfileBool(file, section, kDizKey);
    return record;
}

namespace {

// The five settings, from the section `section` (found without regard to case).
TemplateSettings readSettings(const ProfileFile& file, const std::string& section)
{
    TemplateSettings settings;
    settings.NfoClone = file.readString(section, kNfoCloneKey, "");
    settings.NfoOutput = file.readString(section, kNfoOutputKey, "");
    settings.DizClone = file.readString(section, kDizCloneKey, "");
    settings.DizOutput = file.readString(section, kDizOutputKey, "");
    settings.OutputDir = file.readString(section, kOutputDirKey, "");
    return settings;
}

} // namespace

TemplateStore LoadTemplateStore(const std::string& path)
{
    TemplateStore store;
    store.fileBytes = readFileBytes(path).value_or(std::string {});
    const ProfileFile file = ProfileFile::parse(store.fileBytes);
    const std::vector<std::string> names = file.listedSectionNames();
    forEachRecord(file, names, [&](const std::string& name, TParam record) {
        store.records.push_back(std::move(record));
        store.labels.push_back(name);
    });
    for (const std::string& name : names) {
        if (!IsMainSection(name))
            continue;
        // A second listed "main" reads the same first section again.
        store.settings = readSettings(file, name);
    }
    return store;
}

std::string BuildTemplateStore(std::string_view oldContent, const SectionList& records,
                               const TemplateSettings& settings)
{
    ProfileFile file = ProfileFile::parse(oldContent);
    // Only what the name list shows is erased: sections beyond its 8192 bytes stay in the file,
    // and a name cut short there erases the section of that shorter name, if any.
    file.eraseSections(file.listedSectionNames());
    // The new sections go where the erased ones were, ahead of what the list did not reach, so
    // that the next reader lists them again. Appended after it, they would drop out of the
    // list, and the save after that would write empty settings.
    const ProfileFile unlisted = file.takeSections();

    file.writeString(kMainSection, kNfoCloneKey, settings.NfoClone);
    file.writeString(kMainSection, kNfoOutputKey, settings.NfoOutput);
    file.writeString(kMainSection, kDizCloneKey, settings.DizClone);
    file.writeString(kMainSection, kDizOutputKey, settings.DizOutput);
    file.writeString(kMainSection, kOutputDirKey, settings.OutputDir);

    for (std::size_t i = 0; i < records.size(); ++i) {
        const TParam& r = records[i];
        const std::string section = "Section " + std::to_string(i + 1);
        file.writeString(section, kNameKey, r.Name);
        file.writeString(section, kDefaultKey, r.Value);
        file.writeString(section, kLineKey, std::to_string(r.Line));
        file.writeString(section, kStartKey, std::to_string(r.Start));
        file.writeString(section, kWidthKey, std::to_string(r.Width));
        file.writeString(section, kCapsKey, boolText(r.Caps));
        file.writeString(section, kStyleKey, boolText(r.Style));
        file.writeString(section, kAlignmentKey, std::to_string(static_cast<int>(r.Alignment) + 1));
        file.writeString(section, kDizKey, boolText(r.Diz));
    }
    return file.serialize() + unlisted.serialize();
}

namespace {

// Read, compare and write under one lock. Without `expected` the file is replaced whatever
// it holds.
bool saveTemplateStore(const std::string& path, const SectionList& records, const TemplateSettings& settings,
                       std::string* expected)
{
    FileUpdate file(path);
    const std::optional<std::string> old = file.read();
    // A file that is there but cannot be read would lose its unlisted content: refuse it.
    if (!old && file.exists())
        throw Error(writeFailureText(WriteOutcome::WriteFailed, path));
    const std::string current = old.value_or(std::string {});
    if (expected != nullptr && current != *expected) {
        *expected = current;
        return false;
    }
    if (file.replace(BuildTemplateStore(current, records, settings)) != WriteOutcome::Written)
        throw Error(writeFailureText(WriteOutcome::WriteFailed, path));
    return true;
}

} // namespace

void SaveTemplateStore(const std::string& path, const SectionList& records, const TemplateSettings& settings)
{
    saveTemplateStore(path, records, settings, nullptr);
}

bool SaveTemplateStoreIfUnchanged(const std::string& path, const SectionList& records, const TemplateSettings& settings,
                                  std::string& expected)
{
    return saveTemplateStore(path, records, settings, &expected);
}

void LoadSectionLists(const std::string& path, SectionList& nfo, SectionList& diz)
{
    const ProfileFile file = ProfileFile::load(path);
    forEachRecord(file, file.listedSectionNames(),
                  [&](const std::string&, TParam record) { (record.Diz ? diz : nfo).push_back(std::move(record)); });
}

std::string ReadMainSetting(const std::string& path, std::string_view key)
{
    return ProfileFile::load(path).readString(kMainSection, key, "");
}

TemplateSettings ReadTemplateSettings(const std::string& path)
{
    return readSettings(ProfileFile::load(path), kMainSection);
}

} // namespace pkm
