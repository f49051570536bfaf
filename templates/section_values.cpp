// Values by section name: the text stored as the window's editors store it, then set.
#include "templates/section_values.h"

#include "platform/cp437.h"
#include "platform/file_name_codec.h"
#include "templates/generator.h"
#include "templates/text_lines.h"

#include <algorithm>
#include <unordered_map>

namespace pkm {

std::string StoredText(std::string_view utf8)
{
    return joinValueLines(splitTextParagraphs(cp437Encode(fileNameDecode(utf8))));
}

std::optional<NamedValue> ParseNamedValue(std::string_view utf8)
{
    const std::size_t equals = utf8.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return NamedValue {StoredText(utf8.substr(0, equals)), StoredText(utf8.substr(equals + 1))};
}

std::optional<std::vector<NamedValue>> ParseValuesFile(std::string_view bytes, std::size_t& badLine)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::vector<NamedValue> values;
    std::size_t number = 0;
    for (std::string_view line : splitTextLineViews(bytes)) {
        ++number;
        if (line.empty())
            continue;
        std::optional<NamedValue> value = ParseNamedValue(line);
        if (!value) {
            badLine = number;
            return std::nullopt;
        }
        values.push_back(std::move(*value));
    }
    return values;
}

std::optional<std::size_t> SetSectionValues(SectionList& nfo, SectionList& diz, const std::vector<NamedValue>& values)
{
    const auto named = [](const SectionList& list, const std::string& name) {
        return std::any_of(list.begin(), list.end(), [&](const TParam& s) { return s.Name == name; });
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!named(nfo, values[i].name) && !named(diz, values[i].name))
            return i;
    }
    for (const NamedValue& value : values) {
        for (SectionList* list : {&nfo, &diz}) {
            for (TParam& section : *list) {
                if (section.Name == value.name)
                    section.Value = value.value;
            }
        }
    }
    return std::nullopt;
}

std::vector<ValueNotice> CheckSectionValues(const SectionList& sections, const std::vector<NamedValue>& values)
{
    // A values file may hold many thousands of lines.
    std::unordered_map<std::string_view, std::size_t> last;
    for (std::size_t i = 0; i < values.size(); ++i)
        last[values[i].name] = i;
    std::vector<ValueNotice> notices;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const NamedValue& value = values[i];
        if (last[value.name] != i)
            continue;
        const std::string piece = Trim(value.value);
        std::optional<ValueNotice> notice;
        for (const TParam& section : sections) {
            if (section.Name != value.name || section.Style)
                continue;
            if (piece.find_first_of("\r\n") != std::string::npos) {
                notice = ValueNotice {i, ValueProblem::LineBreak, section.Width};
                break;
            }
            if (piece.size() > section.Width && (!notice || section.Width < notice->width))
                notice = ValueNotice {i, ValueProblem::TooLong, section.Width};
        }
        if (notice)
            notices.push_back(*notice);
    }
    return notices;
}

} // namespace pkm
