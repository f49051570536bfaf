#pragma once
// Release.ini: the five template settings of the section "Main" and the section records, one
// profile section each ("Section 1", "Section 2", ...).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "templates/section.h"

namespace pkm {

class ProfileFile;

inline constexpr const char* kMainSection = "Main";
inline constexpr const char* kNfoCloneKey = "NFO clone";
inline constexpr const char* kNfoOutputKey = "NFO output";
inline constexpr const char* kDizCloneKey = "DIZ clone";
inline constexpr const char* kDizOutputKey = "DIZ output";
inline constexpr const char* kOutputDirKey = "Output dir";

struct TemplateSettings {
    std::string NfoClone;  // "NFO clone": template of the NFO file, relative to the folder of Release.ini
    std::string NfoOutput; // "NFO output": name of the generated NFO file
    std::string DizClone;  // "DIZ clone"
    std::string DizOutput; // "DIZ output"
    std::string OutputDir; // "Output dir": empty means the folder of Release.ini

    bool operator==(const TemplateSettings&) const = default;
};

// What the section creator edits: every section record with the name of its profile section
// as the label, and the settings.
struct TemplateStore {
    SectionList records;
    std::vector<std::string> labels; // section names exactly as written in the file
    TemplateSettings settings;
    // The file as it was read (empty when missing), so that a save can tell a later change.
    std::string fileBytes;
};

// Profile numbers: "0x1A"/"0X1A" and "$1A" are hexadecimal, anything else a signed decimal
// 32-bit integer; a missing key or text that is not such a number gives the default.
std::int32_t ReadProfileInteger(const ProfileFile& file, std::string_view section, std::string_view key,
                                std::int32_t defaultValue);
// The number conversion alone; false when the text is not a number.
bool ParseProfileInteger(std::string_view text, std::int32_t& result);
// A Boolean is a number with default 0; any nonzero number is true.
bool ReadProfileBool(const ProfileFile& file, std::string_view section, std::string_view key);

// A section holds a record when its name starts with "section" in any case.
bool IsRecordSection(std::string_view sectionName);
// The settings live in the section named "MAIN" in any case.
bool IsMainSection(std::string_view sectionName);

// Reads one record (all nine keys, Diz included) from a section.
TParam ReadSectionRecord(const ProfileFile& file, std::string_view section);

// The section creator's view. A missing file reads as one without sections.
TemplateStore LoadTemplateStore(const std::string& path);

// The file's new content after a save over oldContent: every section the name list shows is
// erased, then "Main" and "Section 1" .. "Section N" are written in list order where the
// erased sections began, ahead of the sections the list did not reach. A byte-order mark at
// the start stays.
std::string BuildTemplateStore(std::string_view oldContent, const SectionList& records,
                               const TemplateSettings& settings);
// Rewrites (or creates) the file in one go, under the file's lock. A refused write, and a file
// that is there but cannot be read (its unlisted content would be lost), throw pkm::Error
// "Unable to write to <path>" and leave the old file as it was.
void SaveTemplateStore(const std::string& path, const SectionList& records, const TemplateSettings& settings);
// The same, only while the file still holds `expected` (a missing file counts as empty): when
// it holds something else, nothing is written, `expected` becomes what it holds now, and the
// result is false. Read, comparison and write happen under one lock, so no other save can
// come between them.
bool SaveTemplateStoreIfUnchanged(const std::string& path, const SectionList& records, const TemplateSettings& settings,
                                  std::string& expected);

// The wizard's view: records whose "Diz" is nonzero are appended to diz, all others to nfo,
// each in file order.
void LoadSectionLists(const std::string& path, SectionList& nfo, SectionList& diz);

// One setting of "Main" (empty when missing).
std::string ReadMainSetting(const std::string& path, std::string_view key);
// The five settings of "Main", read in one go.
TemplateSettings ReadTemplateSettings(const std::string& path);

} // namespace pkm
