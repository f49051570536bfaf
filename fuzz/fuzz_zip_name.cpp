// Zip names and the zip set's numbering: a parsed name formats back to itself, and a series
// of any length from any name generates distinct, properly numbered names without overflow.
#include "archiving/zip_set.h"
#include "fuzz/fuzz_input.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pkmfuzz::Input in(data, size);
    const std::uint8_t count = in.byte();
    const std::string name = in.rest();
    if (name.size() > 4096)
        return 0;

    const std::optional<pkm::ParsedZipName> parsed = pkm::parseZipNameField(name);
    if (parsed) {
        PKM_FUZZ_CHECK(parsed->number >= 0);
        PKM_FUZZ_CHECK(pkm::formatZipName(parsed->format, parsed->number) == name);
    } else {
        // No number: no digit at all, or a last digit run too large for 32 bits.
        const std::size_t last = name.find_last_of("0123456789");
        if (last != std::string::npos) {
            std::size_t first = last;
            while (first > 0 && name[first - 1] >= '0' && name[first - 1] <= '9')
                --first;
            const std::size_t significant = name.find_first_not_of('0', first);
            PKM_FUZZ_CHECK(significant != std::string::npos && significant <= last && last - significant + 1 >= 10);
        }
    }

    pkm::ZipSet set;
    set.ParseZipName(name);
    PKM_FUZZ_CHECK(set.ZipNameFormat.has_value() == parsed.has_value());
    set.AddSeries(name, count % 40);
    PKM_FUZZ_CHECK(set.size() >= (name.empty() ? 0u : 1u));
    PKM_FUZZ_CHECK(set.size() <= static_cast<std::size_t>(std::max(1, count % 40)));
    for (std::size_t i = 1; i < set.size(); ++i)
        PKM_FUZZ_CHECK(pkm::compareAsciiNoCase(set.entries()[i - 1].name, set.entries()[i].name) < 0);
    if (parsed)
        PKM_FUZZ_CHECK(set.NextZipNumber >= parsed->number);

    if (set.size() > 0)
        set.DeleteZips({0});
    (void)set.GenerateZipName();
    return 0;
}
