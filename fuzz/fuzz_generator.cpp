// Generation on arbitrary templates and section lists, checked against a plain model of the
// rules: sections in list order, each on its current line (memo-style sections that add lines
// move every section beyond their line down), a Line naming no line at its turn fails the run.
// A run whose file would grow beyond the bound ends as too large at the same section.
// Also checked directly: the output ends with CR LF, and an edit-style piece of Alignment 0..2
// stands exactly Width long at Start when the line reaches Start.
#include "fuzz/fuzz_input.h"
#include "templates/generator.h"
#include "templates/text_lines.h"
#include "templates/word_wrap.h"

#include <string>
#include <vector>

namespace {

struct Model {
    bool ok = true;
    long long badIndex = 0;
    bool tooLarge = false;
    std::string bytes;
};

Model model(std::string_view templateBytes, const pkm::SectionList& sections)
{
    std::vector<std::string> lines = pkm::splitTextLines(templateBytes);
    // The file's size after each section, and the bytes of all lines built on the way.
    std::size_t size = pkm::joinTextLines(lines).size();
    std::size_t work = 0;
    if (size > pkm::kGeneratedFileLimit)
        return Model {false, 0, true, {}};
    std::vector<long long> at;
    for (const pkm::TParam& s : sections)
        at.push_back(s.Line);

    for (std::size_t k = 0; k < sections.size(); ++k) {
        const pkm::TParam& s = sections[k];
        const long long line = at[k];
        if (line < 1 || line > static_cast<long long>(lines.size()))
            return Model {false, line - 1, false, {}};
        std::string base = lines[line - 1];
        if (s.Start >= 1 && s.Start <= base.size())
            base.erase(s.Start - 1u, s.Width);
        const std::size_t insertAt = s.Start == 0 ? 0 : std::min<std::size_t>(s.Start - 1u, base.size());

        // The pieces first: the lines are built only when the file stays within the bound.
        std::vector<std::string> pieces;
        auto place = [&](std::string_view text) {
            std::string piece = pkm::AlignToWidth(pkm::Trim(text), s.Width, s.Alignment, s.Caps);
            if (s.Alignment <= 2)
                PKM_FUZZ_CHECK(piece.size() == s.Width);
            pieces.push_back(std::move(piece));
        };
        if (!s.Style) {
            place(s.Value);
        } else {
            std::string_view value = s.Value;
            value = value.substr(0, value.find('\0'));
            for (const pkm::DisplayLine& shown : pkm::layoutDisplayLines(value, s.Width))
                place(value.substr(shown.start, shown.length));
            if (pieces.empty())
                continue;
        }
        std::size_t bytes = 0;
        for (const std::string& piece : pieces)
            bytes += base.size() + piece.size() + 2;
        size = size - (lines[line - 1].size() + 2) + bytes;
        work += bytes;
        if (size > pkm::kGeneratedFileLimit || work > pkm::kGenerationWorkLimit)
            return Model {false, 0, true, {}};
        std::vector<std::string> built;
        for (const std::string& piece : pieces) {
            std::string out = base.substr(0, insertAt) + piece + base.substr(insertAt);
            if (!s.Style && s.Alignment <= 2 && s.Start >= 1 && s.Start - 1u <= base.size())
                PKM_FUZZ_CHECK(out.compare(s.Start - 1u, s.Width, piece) == 0);
            built.push_back(std::move(out));
        }
        lines[line - 1] = built.front();
        lines.insert(lines.begin() + line, built.begin() + 1, built.end());
        const long long added = static_cast<long long>(built.size()) - 1;
        if (added > 0) {
            for (long long& other : at) {
                if (other > line)
                    other += added;
            }
        }
    }
    return Model {true, 0, false, pkm::joinTextLines(lines)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pkmfuzz::Input in(data, size);
    const std::size_t count = in.byte() % 9;
    const std::uint8_t widthCap = in.byte();
    pkm::SectionList sections;
    for (std::size_t i = 0; i < count; ++i) {
        pkm::TParam p;
        const std::uint8_t flags = in.byte();
        p.Line = static_cast<std::uint16_t>(in.byte() % 24);
        if (flags & 0x80)
            p.Line = in.u16();
        p.Start = static_cast<std::uint16_t>(in.byte() % 48);
        if (flags & 0x40)
            p.Start = in.u16();
        p.Width = static_cast<std::uint16_t>(in.byte() % (widthCap | 1));
        if ((flags & 0x20) && (widthCap & 0x80))
            p.Width = in.u16();
        p.Style = flags & 1;
        p.Caps = flags & 2;
        p.Alignment = static_cast<std::uint8_t>((flags >> 2) & 3);
        if (flags & 0x10)
            p.Alignment = in.byte();
        p.Value = in.shortString();
        sections.push_back(p);
    }
    const std::string templateBytes = in.rest();

    const pkm::SectionList before = sections;
    const pkm::GenerateResult result = pkm::GenerateLines(templateBytes, sections);
    const Model expected = model(templateBytes, sections);

    PKM_FUZZ_CHECK(result.ok() == expected.ok);
    PKM_FUZZ_CHECK(result.tooLarge == expected.tooLarge);
    if (result.tooLarge) {
        PKM_FUZZ_CHECK(!result.badLineIndex && result.bytes.empty());
    } else if (!result.ok()) {
        PKM_FUZZ_CHECK(*result.badLineIndex == expected.badIndex);
        PKM_FUZZ_CHECK(result.bytes.empty());
        PKM_FUZZ_CHECK(!result.errorMessage().empty());
    } else {
        PKM_FUZZ_CHECK(result.bytes == expected.bytes);
        PKM_FUZZ_CHECK(result.bytes.empty() || result.bytes.ends_with("\r\n"));
    }
    for (std::size_t i = 0; i < sections.size(); ++i)
        PKM_FUZZ_CHECK(sections[i].Value == before[i].Value && sections[i].Line == before[i].Line);
    return 0;
}
